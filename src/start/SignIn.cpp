#include "start/SignIn.h"

#include "catalogue/Catalogue.h"
#include "core/SignIn.h"
#include "core/Texts.h"
#include "desktop/Desktop.h"
#include "desktop/WallpaperLock.h"
#include "settings/Settings.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/Random.h"
#include "win/Screen.h"
#include "win/UserText.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <vector>

namespace start {

namespace {

constexpr size_t kLogCap = 64 * 1024;

std::string Now()
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    char text[32];
    std::snprintf(text, std::size(text), "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

}  // namespace

std::string LogPath()
{
    return win::ProgramDir() + veld::kSignInLogName;
}

void ChangeWallpaper()
{
    if (!settings::ReadActive() || !settings::ReadRandom())
        return;
    const std::string dir = catalogue::ChooseWallpaperDir(win::ProgramDir(), win::PrimaryScreenSize());
    std::vector<catalogue::WallpaperFile> found;
    catalogue::FindFiles(dir, found, catalogue::kWallpaperMask);
    if (found.empty())
        return;
    std::vector<std::string> files;
    for (const catalogue::WallpaperFile& file : found)
        files.push_back(file.path);
    const uint32_t random = win::SystemRandom();

    desktop::WallpaperLock lock;
    // Read under the lock: the window may just have set another one.
    const std::string current = settings::ReadDefaultWallpaper();
    const auto chosen = veld::ChooseSignInWallpaper(files, current, random, win::IsLeadByte);
    if (!chosen)
        return;
    // A wallpaper that DefaultWP could not name afterwards would part the two.
    settings::RequireWritable();
    // A file gone since the search is a failure here, not a wallpaper left as it was.
    win::RequireReadable(files[*chosen]);
    desktop::SetDefaultWallpaper(lock, files[*chosen]);
}

void Log(std::string_view message)
{
    const std::string path = LogPath();
    std::vector<uint8_t> old;
    if (win::FileExists(path))
        old = win::ReadWholeFile(path);
    const std::string log = veld::AppendLogLine(std::string_view(reinterpret_cast<const char*>(old.data()), old.size()),
                                                veld::LogLine(Now(), win::MessageIn1252(message)), kLogCap);
    // Replaced whole, like the bitmap: a log cut off half-way helps nobody.
    win::ReplaceFile(path, {std::span(reinterpret_cast<const uint8_t*>(log.data()), log.size())});
}

int Run() noexcept
{
    std::string failure;
    try {
        desktop::RemoveLeftovers();
        ChangeWallpaper();
        return 0;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = veld::texts::kUnknownErrorAtSignIn;
    }
    try {
        Log(failure);
        return 1;
    } catch (...) {
        return 2;
    }
}

}  // namespace start
