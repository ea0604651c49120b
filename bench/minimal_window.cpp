// The references for start-up time: the least a Win32 program does to show a window
// and, built with VELD_COMMON_CONTROLS, the same window in a program that also loads
// and initialises the common controls the way Veldana does. Like Veldana_steps.exe they
// note when each step ends and write it to EXE.steps when they end.
#include <windows.h>
#ifdef VELD_COMMON_CONTROLS
#include <commctrl.h>
#endif

namespace {

struct Mark {
    const char* step;
    LONGLONG ticks;
};
Mark marks[8];
int count = 0;

void MarkStep(const char* step)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    marks[count++] = {step, now.QuadPart};
}

void WriteSteps()
{
    char path[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + length, ".steps");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    for (int i = 0; i < count; ++i) {
        char line[64];
        const int size = wsprintfA(line, "%s %I64d\n", marks[i].step, marks[i].ticks);
        DWORD written;
        WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    }
    CloseHandle(file);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStep("loaded");
#ifdef VELD_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_ANIMATE_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    MarkStep("initialised");
#endif
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "MinimalWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_POPUP, 100, 100, 762, 540, nullptr, nullptr,
                                  instance, nullptr);
    MarkStep("created");
    ShowWindow(window, SW_SHOW);
    MarkStep("shown");
    UpdateWindow(window);
    MarkStep("painted");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    WriteSteps();
    return 0;
}
