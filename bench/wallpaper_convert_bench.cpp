// The wallpaper conversion as it ships: the program's own JPEG to tmp_wallpaper.bmp
// conversion (what "Set as default" runs before the system call), writing into a
// program folder on disk, against djpeg.exe -bmp built from the same libjpeg-turbo
// source and writing to the same folder, round-robin in the same run.
//
// Usage: wallpaper_convert_bench DJPEG.exe FOLDER REPETITIONS SIZE...
// FOLDER holds SIZE.jpg for every SIZE given (1920x1200, ...).
//
// Ours is timed inside this process, as the program's window process runs it, step by
// step through the marks the conversion sets. djpeg.exe is a process of its own: its
// time is the process's, less the median start and exit of `djpeg.exe -version` timed
// in the same rounds.
#include "core/Steps.h"
#include "desktop/Desktop.h"

#include "Clock.h"
#include "djpeg_in_process.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, double> marks;

void RecordMark(const char* step)
{
    marks[step] = Now();
}

// Wall time of one run of the command line, in seconds; negative when it fails.
double TimeProcess(std::string commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const double start = Now();
    double elapsed = -1;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        elapsed = Now() - start;
        DWORD code = 1;
        if (!GetExitCodeProcess(process.hProcess, &code) || code != 0)
            elapsed = -1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(nul);
    return elapsed;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t PixelOffset(const std::string& bmp)
{
    uint32_t offset = 0;
    if (bmp.size() >= 14)
        std::memcpy(&offset, bmp.data() + 10, 4);
    return offset;
}

bool SamePixels(const std::string& ours, const std::string& theirs)
{
    const uint32_t a = PixelOffset(ours), b = PixelOffset(theirs);
    return a != 0 && b != 0 && a <= ours.size() && b <= theirs.size() &&
           ours.compare(a, std::string::npos, theirs, b, std::string::npos) == 0;
}

double Ms(double seconds)
{
    return seconds * 1000;
}

// djpeg's own code in this process, writing the BMP; seconds, negative when it fails.
double TimeDjpegInProcess(const std::string& jpeg, const std::string& bmp)
{
    std::string arguments[] = {"djpeg", "-bmp", "-outfile", bmp, jpeg};
    char* argv[std::size(arguments)];
    for (size_t i = 0; i < std::size(arguments); ++i)
        argv[i] = arguments[i].data();
    const double start = Now();
    const int code = RunDjpeg(static_cast<int>(std::size(argv)), argv);
    const double elapsed = Now() - start;
    return code == 0 ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: wallpaper_convert_bench DJPEG.exe FOLDER REPETITIONS SIZE...\n");
        return 2;
    }
    const std::string djpegExe = argv[1];
    std::string folder = argv[2];
    if (folder.back() != '\\')
        folder += '\\';
    const int repetitions = std::max(1, std::atoi(argv[3]));
    const std::string ours = folder + "tmp_wallpaper.bmp";
    const std::string theirs = folder + "djpeg.bmp";
    const std::string theirsExe = folder + "djpeg-exe.bmp";
    veld::SetStepObserver(RecordMark);

    std::printf("JPEG to BMP as shipped, under Wine, into a program folder on disk (medians of %d rounds)\n\n",
                repetitions);
    std::printf("%-10s %6s %8s %6s | %6s %6s | %6s | %6s %6s | %10s %10s\n", "image", "read", "dec+wri", "ours",
                "flush", "move", "djpeg", "exe", "start", "ours/djpeg", "+flush+mv");
    std::printf("%-10s %6s %8s %6s | %6s %6s | %6s | %6s %6s | %10s %10s\n", "", "ms", "ms", "ms", "ms", "ms", "ms",
                "ms", "ms", "(<= 0.70)", "");
    for (int i = 4; i < argc; ++i) {
        const std::string size = argv[i];
        const std::string jpeg = folder + size + ".jpg";
        const std::string convert = "\"" + djpegExe + "\" -bmp -outfile \"" + theirsExe + "\" \"" + jpeg + "\"";
        const std::string version = "\"" + djpegExe + "\" -version";
        std::vector<double> read, decode, total, flush, move, safe, djpeg, exe, start;
        try {
            // Warm the file cache and the loader, and check that all three write the same picture.
            desktop::ConvertJpegToBitmap(jpeg, ours);
            if (TimeDjpegInProcess(jpeg, theirs) < 0 || TimeProcess(convert) < 0 || TimeProcess(version) < 0) {
                std::fprintf(stderr, "djpeg did not run\n");
                return 1;
            }
            const std::string reference = ReadFile(theirs);
            if (!SamePixels(ReadFile(ours), reference) || !SamePixels(ReadFile(theirsExe), reference)) {
                std::fprintf(stderr, "the pictures differ for %s\n", size.c_str());
                return 1;
            }
            // Round-robin, so a busy moment of the machine hits every side alike.
            for (int round = 0; round < repetitions; ++round) {
                marks.clear();
                const double begin = Now();
                desktop::ConvertJpegToBitmap(jpeg, ours);
                read.push_back(marks.at("read") - begin);
                decode.push_back(marks.at("written") - marks.at("read"));
                total.push_back(marks.at("written") - begin);
                flush.push_back(marks.at("flushed") - marks.at("written"));
                move.push_back(marks.at("moved") - marks.at("flushed"));
                safe.push_back(marks.at("moved") - begin);
                djpeg.push_back(TimeDjpegInProcess(jpeg, theirs));
                exe.push_back(TimeProcess(convert));
                start.push_back(TimeProcess(version));
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", size.c_str(), error.what());
            return 1;
        }
        std::printf("%-10s %6.1f %8.1f %6.1f | %6.1f %6.1f | %6.1f | %6.1f %6.1f | %10.2f %10.2f\n", size.c_str(),
                    Ms(Median(read)), Ms(Median(decode)), Ms(Median(total)), Ms(Median(flush)), Ms(Median(move)),
                    Ms(Median(djpeg)), Ms(Median(exe)), Ms(Median(start)), Median(total) / Median(djpeg),
                    Median(safe) / Median(djpeg));
    }
    std::printf("\nours   the program's conversion up to the written temporary file: reading the JPEG, then\n"
                "       decoding it whole and writing it into the temporary file (dec+wri)\n"
                "flush  FlushFileBuffers of the temporary file; move: closing it and moving it into place\n"
                "djpeg  djpeg -bmp from the same source, its main called in this process like ours\n"
                "exe    djpeg.exe -bmp as a process of its own; start: djpeg.exe -version, the process alone\n"
                "ratios ours / djpeg, and the whole safe replacement (ours + flush + move) / djpeg\n");
    return 0;
}
