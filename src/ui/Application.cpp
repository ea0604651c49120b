#include "ui/Application.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/Files.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"
#include "win/UserText.h"

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <utility>

namespace ui {

namespace {

constexpr char kOwnerClass[] = "VeldanaApplication";

// The running program asks the one already running from its folder to come forward.
UINT BringToFrontMessage()
{
    static const UINT message = RegisterWindowMessageA("Veldana.BringToFront");
    return message;
}

// The folder as the same folder under any spelling: its identity, or where it cannot be
// asked, its key.
struct SameFolder {
    std::optional<std::wstring> identity;
    std::wstring key;

    explicit SameFolder(const std::wstring& folder) : identity(win::FolderIdentity(folder)), key(win::FolderKey(folder))
    {
    }
    bool operator==(const SameFolder& other) const
    {
        return identity && other.identity ? identity == other.identity : key == other.key;
    }
};

// The owner window of another Veldana running from this folder, or null.
HWND FindRunningOwner(const SameFolder& ours)
{
    struct Search {
        const SameFolder& ours;
        HWND found = nullptr;
    } search{ours};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(param);
            char className[64];
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (!GetClassNameA(window, className, static_cast<int>(std::size(className))) ||
                std::string_view(className) != kOwnerClass || process == GetCurrentProcessId())
                return TRUE;
            const std::wstring folder = win::ProcessFolderW(process);
            if (folder.empty())
                return TRUE;
            if (!(SameFolder(folder) == search.ours))
                return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    ownerClass.lpszClassName = kOwnerClass;
    if (!RegisterClassExA(&ownerClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));

    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    owner_ = CreateWindowExA(0, kOwnerClass, title_.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr,
                             nullptr, instance, nullptr);
    if (!owner_)
        throw veld::Error(veld::texts::CannotCreateWindow(win::SystemMessage(GetLastError())));
}

bool Application::ClaimProgramFolder()
{
    const SameFolder ours(win::ProgramFolderW());
    instanceMutex_.emplace(win::ProgramFolderObjectName(L"window"));
    // The first one made it; and one the system could not make tells nothing about another
    // Veldana: run rather than refuse.
    if (!instanceMutex_->AlreadyExisted())
        return true;
    // The running one may still be starting: its owner window comes first of all.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND owner = FindRunningOwner(ours)) {
            DWORD process = 0;
            GetWindowThreadProcessId(owner, &process);
            // This process was just started by the user, so it may hand the foreground on.
            AllowSetForegroundWindow(process);
            PostMessageA(owner, BringToFrontMessage(), 0, 0);
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
    const std::wstring text = win::MessageW(veld::ErrorBoxText(message));
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

void Application::HandlerEnded() noexcept
{
    if (--handlersRunning_ == 0 && closeWhenIdle_)
        PostMessageA(std::exchange(closeWhenIdle_, nullptr), WM_CLOSE, 0, 0);
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
    if (message == BringToFrontMessage()) {
        if (main) {
            // Minimised through the task bar, the main window is hidden: restore as the task bar does.
            if (IsIconic(window))
                SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
            SetForegroundWindow(GetLastActivePopup(main));
        } else if (HWND box = GetLastActivePopup(window); box != window) {
            // Before the main window is made, a box of start-up's is what shows.
            SetForegroundWindow(box);
        }
        return 0;
    }
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
