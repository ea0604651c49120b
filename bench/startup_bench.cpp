// Start-up to the first complete paint: starts a program, waits until its window is
// painted and the program waits for input (WaitForInputIdle: nothing is left to paint,
// the child windows included), closes it, and repeats, round-robin between Veldana, the
// build of it that records its start-up steps, and three references: a minimal Win32
// window, the same window in a program that also loads and initialises the common
// controls, and that one with Veldana's size, background and outline, which is the
// least a window that looks like Veldana's does before its first paint. Prints the
// medians, their ratios and where the time goes.
// Usage: startup_bench VELDANA.exe VELDANA_STEPS.exe MINIMAL.exe MINIMAL_CC.exe MINIMAL_SHAPED.exe [rounds]
#include "Clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string exe;
    const char* windowClass;
};

double TicksPerSecond()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

double NowTicks()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart);
}

// Seconds from CreateProcess until the program first waits for input with its window
// shown and painted; negative on failure. started gets the counter at CreateProcess.
double TimeStart(const Program& program, double& started)
{
    std::string command = "\"" + program.exe + "\"";
    const std::string dir = program.exe.substr(0, program.exe.find_last_of('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    started = NowTicks();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &startup, &process))
        return -1;
    double idle = -1;
    if (WaitForInputIdle(process.hProcess, 60000) == 0) {
        idle = (NowTicks() - started) / TicksPerSecond();
        HWND window = FindWindowA(program.windowClass, nullptr);
        if (!window || !IsWindowVisible(window))
            idle = -1;  // idle before its window was up: not a start-up to time
        if (window)
            PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return idle;
}

// When each step of a program that notes them ended, in seconds from CreateProcess, in
// the order they came: medians over the rounds.
struct Steps {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;

    void Read(const std::string& exe, double started)
    {
        std::ifstream file(exe + ".steps");
        std::string step;
        double ticks = 0;
        while (file >> step >> ticks)
            Add(step, (ticks - started) / TicksPerSecond());
    }
    void Add(const std::string& step, double seconds)
    {
        if (times.find(step) == times.end())
            order.push_back(step);
        times[step].push_back(seconds);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: startup_bench VELDANA.exe VELDANA_STEPS.exe MINIMAL.exe MINIMAL_CC.exe "
                             "MINIMAL_SHAPED.exe [rounds]\n");
        return 2;
    }
    const int rounds = argc > 6 ? std::max(1, std::atoi(argv[6])) : 15;
    const Program programs[] = {
        {argv[1], "TForm1"},
        {argv[2], "TForm1"},
        {argv[3], "MinimalWindow"},
        {argv[4], "MinimalWindow"},
        {argv[5], "MinimalWindow"},
    };
    const char* const names[] = {"Veldana", "Veldana_steps", "minimal window", "minimal window + common controls",
                                 "the same, shaped, one bitmap painted"};
    std::vector<double> totals[std::size(programs)];
    Steps steps[std::size(programs)];
    double started = 0;
    for (const Program& program : programs)
        TimeStart(program, started);  // warm the file cache and the loader
    // Round-robin, so a busy moment of the machine hits every program alike, each round
    // starting with the next program: the one started right after another has ended
    // found Wine still tidying up after it.
    for (int round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < std::size(programs); ++k) {
            const size_t i = (k + static_cast<size_t>(round)) % std::size(programs);
            Sleep(50);
            DeleteFileA((programs[i].exe + ".steps").c_str());
            const double total = TimeStart(programs[i], started);
            if (total < 0) {
                std::fprintf(stderr, "%s did not show its window\n", programs[i].exe.c_str());
                return 1;
            }
            totals[i].push_back(total);
            steps[i].Read(programs[i].exe, started);
            steps[i].Add("idle", total);
        }
    }

    const double ours = Median(totals[0]), minimal = Median(totals[2]), common = Median(totals[3]),
                 shaped = Median(totals[4]);
    std::printf("start-up to the first complete paint (median of %d rounds, under Wine)\n", rounds);
    std::printf("  %-36s %8.1f ms\n", names[0], ours * 1000);
    std::printf("  %-36s %8.1f ms   Veldana / it %5.2f\n", names[2], minimal * 1000, ours / minimal);
    std::printf("  %-36s %8.1f ms   Veldana / it %5.2f\n", names[3], common * 1000, ours / common);
    std::printf("  %-36s %8.1f ms   Veldana / it %5.2f  (target <= 1.3)\n", names[4], shaped * 1000, ours / shaped);
    std::printf("\nwhere the time goes: when each step ends, ms after CreateProcess (step's own ms)\n");
    for (size_t i = 1; i < std::size(programs); ++i) {
        std::printf("  %s\n", names[i]);
        double previous = 0;
        for (const std::string& step : steps[i].order) {
            const double at = Median(steps[i].times[step]);
            std::printf("    %-12s %7.1f  (%6.1f)\n", step.c_str(), at * 1000, (at - previous) * 1000);
            previous = at;
        }
    }
    std::printf("loaded: process created and started, up to WinMain; initialised: common controls (and\n"
                "Veldana's task-bar owner window); controls: the main window and its controls; pictures,\n"
                "clips, region, list, settings: Veldana's start-up steps; picture, region: the shaped\n"
                "reference loading its background and setting its outline; shown: shown and brought to the\n"
                "front; painted: the window's own paint; idle: the child windows painted too and the\n"
                "program waiting for input (WaitForInputIdle), the time above.\n");
    return 0;
}
