// Start-up to window shown: starts a program, waits until its main window is visible
// and painted, closes it, and repeats, alternating between Veldana and a minimal Win32
// window so both see the same machine. Prints the medians and their ratio.
// Usage: startup_bench VELDANA.exe MINIMAL.exe [rounds]
#include "Clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Seconds from CreateProcess to a visible window of the class; negative on failure.
double TimeStart(const std::string& exe, const char* windowClass)
{
    std::string command = "\"" + exe + "\"";
    std::string dir = exe.substr(0, exe.find_last_of('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &process))
        return -1;
    double shown = -1;
    while (Now() - start < 60) {
        HWND window = FindWindowA(windowClass, nullptr);
        if (window && IsWindowVisible(window)) {
            // Answering a message means start-up is over and the loop runs.
            DWORD_PTR result;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &result);
            shown = Now() - start;
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench VELDANA.exe MINIMAL.exe [rounds]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
    std::vector<double> ours, reference;
    TimeStart(argv[1], "TForm1");  // warm the file cache
    TimeStart(argv[2], "MinimalWindow");
    for (int i = 0; i < rounds; ++i) {
        const double a = TimeStart(argv[1], "TForm1");
        const double b = TimeStart(argv[2], "MinimalWindow");
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        ours.push_back(a);
        reference.push_back(b);
    }
    const double o = Median(ours), r = Median(reference);
    std::printf("start-up to window shown (median of %d, under Wine)\n", rounds);
    std::printf("  Veldana        %8.1f ms\n", o * 1000);
    std::printf("  minimal window %8.1f ms\n", r * 1000);
    std::printf("  ratio          %8.2f  (target <= 1.3)\n", o / r);
    return 0;
}
