// A picture button lighting up and going out: the main window in a temporary program
// folder (Media copied from the program folder given, started in the active look), the
// mouse moved onto "Set as default" and off it again, each move repainted at once
// (UpdateWindow), against a plain BitBlt of a picture of the button's size onto the
// window, round-robin in the same run. Prints medians and ratios.
// Usage: hover_bench PROGRAM_FOLDER [rounds]
#include "app/Form1.h"
#include "app/resource.h"
#include "ui/Application.h"
#include "win/ProgramDir.h"

#include "Clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void RemoveFolder(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(dir + name + "\\");
            else
                DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: hover_bench PROGRAM_FOLDER [rounds]\n");
        return 2;
    }
    std::string source = argv[1];
    if (source.back() != '\\')
        source += '\\';
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 501;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "veld-hover-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount64()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CopyFolder(source + "Media\\", dir + "Media\\");
    const char ini[] = "[Settings]\r\nActive=True\r\n";
    HANDLE file = CreateFileA((dir + "veld.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, ini, sizeof(ini) - 1, &written, nullptr);
    CloseHandle(file);

    ui::Application& app = ui::Application::Instance();
    app.Initialize(GetModuleHandleA(nullptr), IDI_PROGRAM);
    app.SetErrorSink([](const std::wstring& text) { std::fprintf(stderr, "error: %ls\n", text.c_str()); });
    win::SetProgramFolderForTests(dir);
    TForm1 form;
    Form1 = &form;
    app.SetMainWindow(nullptr);
    form.Create();
    HWND window = form.Handle();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);

    const ui::Bounds button = form.ImageSetAsDefault.GetBounds();
    const LPARAM on = MAKELPARAM(button.left + button.width / 2, button.top + button.height / 2);
    const LPARAM off = MAKELPARAM(60, 300);
    // The reference: a picture of the same size, already in a memory DC, copied onto the
    // window, as the repaint's last step does.
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP picture = CreateCompatibleBitmap(windowDc, button.width, button.height);
    HGDIOBJ old = SelectObject(memory, picture);
    PatBlt(memory, 0, 0, button.width, button.height, WHITENESS);

    std::vector<double> enter, leave, blit, bare;
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        SendMessageA(window, WM_MOUSEMOVE, 0, on);
        UpdateWindow(window);
        enter.push_back(Now() - start);

        start = Now();
        SendMessageA(window, WM_MOUSEMOVE, 0, off);
        UpdateWindow(window);
        leave.push_back(Now() - start);

        // Under Wine a window's pixels reach the X server when its DC is given back.
        start = Now();
        HDC dc = GetDC(window);
        BitBlt(dc, button.left, button.top, button.width, button.height, memory, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
        blit.push_back(Now() - start);

        start = Now();
        BitBlt(windowDc, button.left, button.top, button.width, button.height, memory, 0, 0, SRCCOPY);
        bare.push_back(Now() - start);
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);

    const double b = Median(blit);
    std::printf("picture button repaint, %dx%d (median of %d, under Wine)\n", button.width, button.height, rounds);
    std::printf("  lighting up                %8.3f ms   / BitBlt %5.2f\n", Median(enter) * 1000, Median(enter) / b);
    std::printf("  going out                  %8.3f ms   / BitBlt %5.2f\n", Median(leave) * 1000, Median(leave) / b);
    std::printf("  BitBlt of the same size    %8.3f ms   (GetDC, BitBlt, ReleaseDC: onto the screen)\n", b * 1000);
    std::printf("  the BitBlt alone           %8.3f ms   (into the window's pixels, not yet shown)\n",
                Median(bare) * 1000);
    form.Close();
    RemoveFolder(dir);
    return 0;
}
