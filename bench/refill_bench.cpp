// The wallpaper list refill with 100, 1,000 and 10,000 files: the main window in a
// temporary program folder (Media copied from the program folder given), its list
// refilled several times for each count. Prints medians and how they grow.
// Usage: refill_bench PROGRAM_FOLDER
#include "app/Form1.h"
#include "app/resource.h"
#include "catalogue/Catalogue.h"
#include "ui/Application.h"
#include "win/ProgramDir.h"

#include "Clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: refill_bench PROGRAM_FOLDER\n");
        return 2;
    }
    std::string source = argv[1];
    if (source.back() != '\\')
        source += '\\';
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "veld-refill-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount64()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CopyFolder(source + "Media\\", dir + "Media\\");

    ui::Application& app = ui::Application::Instance();
    app.Initialize(GetModuleHandleA(nullptr), IDI_PROGRAM);
    app.SetErrorSink([](const std::wstring& text) { std::fprintf(stderr, "error: %ls\n", text.c_str()); });
    win::SetProgramFolderForTests(dir);
    const std::string wallpapers = catalogue::ChooseWallpaperDir(dir, win::PrimaryScreenSize());
    CreateDirectoryA(wallpapers.c_str(), nullptr);

    TForm1 form;
    Form1 = &form;
    app.SetMainWindow(nullptr);
    form.Create();

    std::printf("wallpaper list refill (median of 9, under Wine)\n");
    int made = 0;
    double previous = 0;
    for (const int count : {100, 1000, 10000}) {
        for (; made < count; ++made) {
            char name[64];
            std::snprintf(name, sizeof(name), "Wallpaper %05d.jpg", made);
            HANDLE file =
                CreateFileA((wallpapers + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
        std::vector<double> times;
        for (int i = 0; i < 9; ++i) {
            const double start = Now();
            form.RefillWallpaperList();
            times.push_back(Now() - start);
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        if (form.ListBox1.Count() != count) {
            std::fprintf(stderr, "the list shows %d entries, not %d\n", form.ListBox1.Count(), count);
            return 1;
        }
        if (previous > 0)
            std::printf("  %6d files %9.2f ms   x%.1f for 10 times the files (target <= 12)\n", count, median * 1000,
                        median / previous);
        else
            std::printf("  %6d files %9.2f ms\n", count, median * 1000);
        previous = median;
    }
    form.Close();
    // The folder goes with its files.
    std::string command = "cmd /c rmdir /s /q \"" + dir.substr(0, dir.size() - 1) + "\"";
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 0;
}
