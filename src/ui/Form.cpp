#include "ui/Form.h"

#include "ui/Application.h"

namespace ui {

namespace {

constexpr WORD kFirstControlId = 100;

}  // namespace

Form::~Form()
{
    if (handle_)
        DestroyWindow(handle_);
}

void Form::CreateHandle(const FormArgs& args)
{
    HINSTANCE instance = Application::Instance().ModuleInstance();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(instance, args.className, &windowClass)) {
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = args.className;
        if (args.iconId)
            windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(args.iconId));
        RegisterClassExA(&windowClass);
    }

    // "MS Sans Serif" at a character height of 11 pixels.
    font_.reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));

    // A borderless popup: the window rectangle is the client area.
    CreateWindowExA(WS_EX_CONTROLPARENT, args.className, args.caption, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                    args.clientWidth, args.clientHeight, args.owner, nullptr, instance, this);
}

void Form::ShowCentered()
{
    RECT window;
    GetWindowRect(handle_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    UpdateWindow(handle_);
}

void Form::Close()
{
    if (handle_)
        SendMessageA(handle_, WM_CLOSE, 0, 0);
}

WORD Form::Register(WindowedControl& control)
{
    windowed_.push_back(&control);
    return static_cast<WORD>(kFirstControlId + windowed_.size() - 1);
}

WindowedControl* Form::FindControl(HWND child) const
{
    for (WindowedControl* control : windowed_)
        if (control->Handle() == child)
            return control;
    return nullptr;
}

void Form::OnActivate(bool active)
{
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus))
            lastFocus_ = focus;
        return;
    }
    // Back to where the focus was, or to the first control in tab order.
    HWND target = lastFocus_;
    if (!target || !IsWindow(target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(handle_, nullptr, FALSE);
    if (target)
        SetFocus(target);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Application::Instance().Guard([this] { CreateControls(); });
        return 0;
    case WM_COMMAND:
        if (WindowedControl* control = FindControl(reinterpret_cast<HWND>(lParam))) {
            const WORD code = HIWORD(wParam);
            Application::Instance().Guard([control, code] { control->OnCommand(code); });
            return 0;
        }
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (WindowedControl* control = FindControl(reinterpret_cast<HWND>(lParam)))
            if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_CLOSE:
        // Whatever the close handler reports, the window closes.
        Application::Instance().Guard([this] { OnClose(); });
        DestroyWindow(handle_);
        return 0;
    case WM_DESTROY:
        if (Application::Instance().MainWindow() == handle_)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form* form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);

    const LRESULT result = form->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form->handle_ = nullptr;
        form->windowed_.clear();
    }
    return result;
}

}  // namespace ui
