// VeldanaStart's whole run, process start to exit, against a minimal windowless
// program's start to exit plus the conversion of the same wallpaper alone (in this
// process), taken in turn so all three see the same machine. Prints the medians and the
// ratio of the whole run to the sum of the other two.
// Usage: signin_bench VELDANASTART.exe MINIMAL.exe WALLPAPER.jpg [rounds]
#include "Clock.h"

#include "desktop/Desktop.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// Seconds from CreateProcess to the end of the process; negative when it fails.
double TimeRun(const std::string& exe)
{
    std::string command = "\"" + exe + "\"";
    const std::string dir = exe.substr(0, exe.find_last_of('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &process))
        return -1;
    const bool ended = WaitForSingleObject(process.hProcess, 60'000) == WAIT_OBJECT_0;
    const double took = Now() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended && code == 0 ? took : -1;
}

double TimeConversion(const std::string& jpeg, const std::string& bmp)
{
    const double start = Now();
    desktop::ConvertJpegToBitmap(jpeg, bmp);
    return Now() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: signin_bench VELDANASTART.exe MINIMAL.exe WALLPAPER.jpg [rounds]\n");
        return 2;
    }
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 15;
    const std::string jpeg = argv[3];
    const std::string bmp = jpeg.substr(0, jpeg.find_last_of('\\') + 1) + "..\\converted.bmp";
    std::vector<double> whole, minimal, conversion;
    try {
        // Warm the file cache and the loader.
        TimeRun(argv[1]);
        TimeRun(argv[2]);
        TimeConversion(jpeg, bmp);
        for (int i = 0; i < rounds; ++i) {
            whole.push_back(TimeRun(argv[1]));
            minimal.push_back(TimeRun(argv[2]));
            conversion.push_back(TimeConversion(jpeg, bmp));
            if (whole.back() < 0 || minimal.back() < 0) {
                std::fprintf(stderr, "a program failed or did not end (see veldstart.log)\n");
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "conversion failed: %s\n", error.what());
        return 1;
    }
    const double w = Median(whole), m = Median(minimal), c = Median(conversion);
    std::printf("sign-in run for a 1920x1200 wallpaper (median of %d, under Wine)\n", rounds);
    std::printf("  VeldanaStart, start to exit      %8.1f ms\n", w * 1000);
    std::printf("  minimal windowless, start to exit %7.1f ms\n", m * 1000);
    std::printf("  conversion alone                 %8.1f ms\n", c * 1000);
    std::printf("  ratio to their sum               %8.2f  (target <= 1.2)\n", w / (m + c));
    return 0;
}
