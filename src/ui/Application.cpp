#include "ui/Application.h"

#include "core/Error.h"

#include <commctrl.h>

namespace ui {

namespace {

constexpr char kOwnerClass[] = "VeldanaApplication";

}  // namespace

Application& Application::Instance()
{
    static Application application;
    return application;
}

void Application::Initialize(HINSTANCE instance, int iconId)
{
    if (owner_)
        return;
    instance_ = instance;

    // Only what the window uses: the animation control and tooltips (ICC_TAB_CLASSES).
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_ANIMATE_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXA ownerClass{};
    ownerClass.cbSize = sizeof(ownerClass);
    ownerClass.lpfnWndProc = OwnerProc;
    ownerClass.hInstance = instance;
    ownerClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    ownerClass.hIconSm =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ownerClass.lpszClassName = kOwnerClass;
    RegisterClassExA(&ownerClass);

    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    owner_ = CreateWindowExA(0, kOwnerClass, title_.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr,
                             nullptr, instance, nullptr);
}

void Application::SetTitle(std::string_view title)
{
    title_ = title;
    if (owner_)
        SetWindowTextA(owner_, title_.c_str());
}

void Application::ShowError(std::string_view message)
{
    const std::string text = veld::ErrorBoxText(message);
    if (errorSink_) {
        errorSink_(text);
        return;
    }
    HWND parent = GetActiveWindow();
    if (!parent)
        parent = main_ ? main_ : owner_;
    MessageBoxA(parent, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void Application::ShowErrorNoThrow(std::string_view message) noexcept
{
    try {
        ShowError(message);
    } catch (...) {
        // Nothing is left to report with when even the error box fails.
    }
}

int Application::Run()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab, arrow and Alt keys move between the controls as in a dialog.
        if (main_ && IsWindow(main_) && IsDialogMessageA(main_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Application::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Application& app = Instance();
    HWND main = app.main_;
    switch (message) {
    case WM_CLOSE:
        // The task bar's close request belongs to the main window.
        if (main)
            PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (main)
                PostMessageA(main, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            if (main)
                ShowWindow(main, SW_HIDE);
            break;
        case SC_RESTORE:
            if (main) {
                const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
                ShowWindow(main, SW_SHOW);
                SetForegroundWindow(main);
                return result;
            }
            break;
        }
        break;
    case WM_ACTIVATE:
        // The owner itself is never used; keep the focus in the main window.
        if (LOWORD(wParam) != WA_INACTIVE && main && IsWindowVisible(main)) {
            SetActiveWindow(main);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui
