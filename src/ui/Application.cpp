#include "ui/Application.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"
#include "win/SystemMessage.h"
#include "win/UserText.h"

#include <commctrl.h>

#include <optional>

namespace ui {

namespace {

// The owner window's class is named as the one-window mutex is, after what the program
// folder is: a second start finds the running one's by it.
std::string OwnerClass()
{
    const std::wstring name = win::ProgramFolderObjectName(L"window");
    std::string ansi;
    for (const wchar_t c : name.substr(name.find(L'\\') + 1))
        ansi += static_cast<char>(c);  // letters, digits and dashes
    return ansi;
}

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
    const std::string className = OwnerClass();
    ownerClass.lpszClassName = className.c_str();
    if (!RegisterClassExA(&ownerClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));

    const POINT middle = win::CentredOnScreen({0, 0});
    owner_ = CreateWindowExA(0, className.c_str(), title_.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, middle.x, middle.y,
                             0, 0, nullptr, nullptr, instance, nullptr);
    if (!owner_)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));
}

bool Application::ClaimProgramFolder()
{
    instanceMutex_.emplace(win::ProgramFolderObjectName(L"window"));
    // The first one made it; and one the system could not make tells nothing about another
    // Veldana: run rather than refuse.
    if (!instanceMutex_->AlreadyExisted())
        return true;
    // The running one may still be starting: its mutex comes before its owner window.
    const std::string ownerClass = OwnerClass();
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND owner = FindWindowA(ownerClass.c_str(), nullptr)) {
            // One that does not answer within 5 s hangs, and nothing of it would come forward.
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored))
                break;
            // Minimised, it is restored as its task-bar button would; then its window, or
            // the box it shows, comes to the front.
            if (IsIconic(owner))
                SendMessageTimeoutA(owner, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
            SetForegroundWindow(GetLastActivePopup(owner));
            return false;
        }
        Sleep(100);
    }
    // It hangs, or shows on another desktop: nothing comes forward, and the user must
    // know why.
    ShowError(veld::texts::kAlreadyRunning);
    return false;
}

void Application::SetTitle(std::string_view title)
{
    title_ = title;
    if (owner_)
        SetWindowTextA(owner_, title_.c_str());
}

void Application::ShowError(const veld::Message& message)
{
    // Through the -W call: the texts' code page need not be the system's.
    const std::wstring text = veld::ErrorBoxText(message).Wide();
    if (errorSink_) {
        errorSink_(text);
        return;
    }
    HWND parent = GetActiveWindow();
    if (!parent)
        parent = main_ ? main_ : owner_;
    MessageBoxW(parent, text.c_str(), win::FromWindows1252(title_).c_str(), MB_OK | MB_ICONSTOP);
}

void Application::ShowCurrentError() noexcept
{
    try {
        try {
            throw;
        } catch (const veld::Error& error) {
            ShowError(error.Text());
        } catch (const std::exception& error) {
            ShowError(error.what());
        } catch (...) {
            ShowError(veld::texts::kUnknownErrorInWindow);
        }
    } catch (...) {
        // Nothing is left to report with when even the error box fails.
    }
}

int Application::Run()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
    return static_cast<int>(message.wParam);
}

void Application::Dispatch(MSG& message)
{
    if (main_ && IsWindow(main_)) {
        // The keys that move the focus show it from then on, as Windows' dialog manager
        // has it; Wine's leaves that to the window.
        const bool moves = message.wParam == VK_TAB || (message.wParam >= VK_LEFT && message.wParam <= VK_DOWN);
        if (message.message == WM_KEYDOWN && moves && (message.hwnd == main_ || IsChild(main_, message.hwnd)))
            SendMessageA(main_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        // Tab, arrow and Alt keys move between the controls as in a dialog.
        if (IsDialogMessageA(main_, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

LRESULT CALLBACK Application::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Application& app = Instance();
    HWND main = app.main_;
    switch (message) {
    case WM_CLOSE:
        // The task bar's close request (SC_CLOSE becomes this one) belongs to the main
        // window.
        if (main)
            PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
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
