#include "ui/Dialogs.h"

#include "ui/Application.h"
#include "win/Screen.h"
#include "win/UserText.h"

#include <commdlg.h>

namespace ui {

namespace {

// The captions for the message box being created on this thread.
thread_local const std::vector<std::string>* pendingCaptions = nullptr;
thread_local HHOOK captionHook = nullptr;

LRESULT CALLBACK RelabelButtons(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && pendingCaptions) {
        HWND box = reinterpret_cast<HWND>(wParam);
        // Buttons in their creation order take the captions in turn.
        const int ids[] = {IDOK, IDCANCEL};
        for (size_t i = 0; i < std::size(ids) && i < pendingCaptions->size(); ++i)
            SetDlgItemTextW(box, ids[i], win::FromWindows1252((*pendingCaptions)[i]).c_str());
        RECT r;
        GetWindowRect(box, &r);
        const POINT place = win::CentredOnScreen({r.right - r.left, r.bottom - r.top});
        SetWindowPos(box, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pendingCaptions = nullptr;
    }
    return CallNextHookEx(captionHook, code, wParam, lParam);
}

// Loaded on first use: the file dialog's library is heavy and most starts never need it.
using GetOpenFileNameProc = BOOL(WINAPI*)(OPENFILENAMEA*);
GetOpenFileNameProc OpenFileNameFunction()
{
    static const auto function = reinterpret_cast<GetOpenFileNameProc>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comdlg32.dll"), "GetOpenFileNameA")));
    return function;
}

// A box over the main window under the application title, through the -W call: the
// texts' code page need not be the system's.
int Box(const veld::Message& message, UINT type)
{
    Application& app = Application::Instance();
    return MessageBoxW(app.MainWindow(), message.Wide().c_str(), win::FromWindows1252(app.Title()).c_str(), type);
}

}  // namespace

int AskYesNo(const veld::Message& message, const std::vector<std::string>& captions)
{
    pendingCaptions = &captions;
    captionHook = SetWindowsHookExA(WH_CBT, RelabelButtons, nullptr, GetCurrentThreadId());
    const int answer = Box(message, MB_OKCANCEL | MB_DEFBUTTON1 | MB_APPLMODAL);
    if (captionHook)
        UnhookWindowsHookEx(captionHook);
    captionHook = nullptr;
    pendingCaptions = nullptr;
    return answer == IDOK ? 1 : 2;
}

void ShowInformation(const veld::Message& message)
{
    Box(message, MB_OK | MB_ICONINFORMATION);
}

bool OpenDialog::Execute(HWND owner)
{
    const GetOpenFileNameProc getOpenFileName = OpenFileNameFunction();
    if (!getOpenFileName)
        return false;
    // The filter takes NULs between its parts and two at its end.
    std::string filter = args_.filter;
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    filter.append(2, '\0');

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file_;
    dialog.nMaxFile = static_cast<DWORD>(std::size(file_));
    dialog.lpstrDefExt = args_.defaultExtension.empty() ? nullptr : args_.defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    return getOpenFileName(&dialog) != FALSE;
}

}  // namespace ui
