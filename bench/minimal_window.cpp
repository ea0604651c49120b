// The references for start-up time: the least a Win32 program does to show a window
// and, built with VELD_COMMON_CONTROLS, the same window in a program that also loads
// and initialises the common controls the way Veldana does. Built with VELD_SHAPED as
// well, the window also does what any window of Veldana's looks must do: it loads the
// same background picture from its resources, cuts the same outline from it (the
// program's own key-colour runs, one ExtCreateRegion), sets it before it is shown and
// paints the picture with one BitBlt. At another display scale it is a window of
// Veldana's size at that scale, with the outline enlarged to it and the picture
// stretched into it. Like Veldana_steps.exe they note when each step
// ends and write it to EXE.steps when they end.
#include <windows.h>
#ifdef VELD_COMMON_CONTROLS
#include <commctrl.h>
#endif
#ifdef VELD_SHAPED
#include "app/resource.h"
#include "core/ShapeMask.h"

#include <vector>
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

#ifdef VELD_SHAPED
HBITMAP background = nullptr;
int dpi = 96;

int Scaled(int value)
{
    return MulDiv(value, dpi, 96);
}

// The background less its key-colour pixels, as Veldana's window outline, at the scale.
HRGN Outline(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(format.bmiHeader), width, -height, 1, 24, BI_RGB};
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const std::vector<veld::KeptRect> rects =
        veld::KeptRects(veld::KeyColourRuns(pixels.data(), width, height, stride), width, height);
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh = {sizeof(RGNDATAHEADER),
                 RDH_RECTANGLES,
                 static_cast<DWORD>(rects.size()),
                 static_cast<DWORD>(rects.size() * sizeof(RECT)),
                 {0, 0, width, height}};
    auto* out = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < rects.size(); ++i)
        out[i] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    const XFORM scale{dpi / 96.0f, 0, 0, dpi / 96.0f, 0, 0};
    return ExtCreateRegion(dpi == 96 ? nullptr : &scale, static_cast<DWORD>(buffer.size()), data);
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, background);
    if (dpi == 96) {
        BitBlt(dc, 0, 0, 762, 540, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, Scaled(762), Scaled(540), source, 0, 0, 762, 540, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
    EndPaint(window, &paint);
}
#endif

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
#ifdef VELD_SHAPED
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        Paint(window);
        return 0;
    }
#endif
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
#ifdef VELD_SHAPED
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int width = Scaled(762), height = Scaled(540);
#else
    const int width = 762, height = 540;
#endif
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "MinimalWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_POPUP, 100, 100, width, height, nullptr, nullptr,
                                  instance, nullptr);
    MarkStep("created");
#ifdef VELD_SHAPED
    background = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    MarkStep("picture");
    SetWindowRgn(window, Outline(background, 762, 540), FALSE);
    MarkStep("region");
#endif
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
