// Linked into Veldana_steps.exe, a build of the program for the start-up benchmark: it
// records when each start-up step ends (the marks the program sets) and, when the
// program ends, writes them to Veldana_steps.exe.steps, one "step ticks" line each,
// ticks of the performance counter, which all processes share.
#include "core/Steps.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Mark {
    const char* step;
    LONGLONG ticks;
};

class Recorder {
public:
    Recorder() { veld::SetStepObserver(Record); }
    ~Recorder()
    {
        char exe[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        const std::string path = std::string(exe, length) + ".steps";
        if (std::FILE* file = std::fopen(path.c_str(), "w")) {
            for (int i = 0; i < count; ++i)
                std::fprintf(file, "%s %lld\n", marks[i].step, marks[i].ticks);
            std::fclose(file);
        }
    }

    static void Record(const char* step)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (count < kMost)
            marks[count++] = {step, now.QuadPart};
    }

private:
    static constexpr int kMost = 64;
    static inline Mark marks[kMost];
    static inline int count = 0;
};

const Recorder recorder;

}  // namespace
