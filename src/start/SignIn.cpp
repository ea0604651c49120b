#include "start/SignIn.h"

#include "catalogue/Catalogue.h"
#include "core/Jpeg.h"
#include "core/Paths.h"
#include "core/SignIn.h"
#include "core/Texts.h"
#include "desktop/Desktop.h"
#include "desktop/WallpaperLock.h"
#include "settings/Settings.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"
#include "win/UserText.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <random>
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

// Whether path lies in folder, as the folders themselves say: the window writes
// DefaultWP in whichever spelling of the program folder it was started from. Nothing
// when either folder cannot be asked.
std::optional<bool> InFolder(const std::string& path, const std::string& folder)
{
    const std::optional<std::wstring> itsFolder = win::FolderIdentity(
        win::FromAnsi(path.substr(0, path.size() - veld::FileNamePart(path, win::IsLeadByte).size())));
    const std::optional<std::wstring> identity = itsFolder ? win::FolderIdentity(win::FromAnsi(folder)) : std::nullopt;
    if (!identity)
        return std::nullopt;
    return itsFolder == identity;
}

// Tries the wallpapers in their sign-in order until one becomes the wallpaper and
// DefaultWP; a file that will not do (unreadable, vanished, no JPEG, too large, its data
// ending early) is passed over with a line naming it in passedOver. False when every one
// was passed over; true when one was set or the settings do not ask for a change or
// there is nothing to choose. Throws what no other file would mend (veld.ini, the bitmap,
// the lock), leaving the wallpaper as it was.
bool ChangeWallpaper(std::vector<veld::Message>& passedOver)
{
    if (!settings::Read(settings::Flag::Active) || !settings::Read(settings::Flag::Random))
        return true;
    const std::string dir = catalogue::ChooseWallpaperDir(win::ProgramFolderA(), win::PrimaryScreenSize());
    std::vector<catalogue::WallpaperFile> found;
    catalogue::FindFiles(dir, found, catalogue::kWallpaperMask);
    std::vector<std::string> files;
    for (const catalogue::WallpaperFile& file : found)
        if (!file.path.empty())
            files.push_back(file.path);
    if (files.empty())
        return true;

    desktop::WallpaperLock lock;
    // Read under the lock: the window may just have set another one.
    const std::string current = settings::ReadDefaultWallpaper();
    // The system's random source (rand_s), which nobody can guess from the time.
    std::random_device random;
    const std::vector<size_t> order = veld::SignInOrder(
        files, current, InFolder(current, dir), [&] { return static_cast<uint32_t>(random()); }, win::IsLeadByte);
    if (order.empty())
        return true;
    // A wallpaper that DefaultWP could not name afterwards would part the two.
    settings::RequireWritable();
    for (const size_t index : order) {
        const std::string& file = files[index];
        try {
            desktop::SetDefaultWallpaper(lock, file, desktop::Picture::RefuseUnlessWhole);
            return true;
        } catch (const veld::PictureError& error) {
            const std::string name = veld::FileNamePart(file, win::IsLeadByte);
            passedOver.push_back(error.Reason().empty() ? error.Text()
                                                        : veld::texts::PassedOver(win::FromAnsi(name), error.Reason()));
        }
    }
    return false;
}

// Adds one dated line per message to veldstart.log beside the program, keeping it within
// 64 KB; throws when it cannot.
void Log(const std::vector<veld::Message>& messages)
{
    if (messages.empty())
        return;
    const std::string path = win::ProgramFolderA() + veld::kSignInLogName;
    std::vector<uint8_t> old;
    if (win::FileExists(path))
        old = win::ReadWholeFile(path);
    std::string log(reinterpret_cast<const char*>(old.data()), old.size());
    const std::string now = Now();
    for (const veld::Message& message : messages)
        log = veld::AppendLogLine(log, veld::LogLine(now, win::MessageIn1252(message)), kLogCap);
    // Replaced whole, like the bitmap: a log cut off half-way helps nobody.
    win::ReplaceFile(path, {std::span(reinterpret_cast<const uint8_t*>(log.data()), log.size())});
}

}  // namespace

int Run() noexcept
{
    std::vector<veld::Message> failures;
    bool done = false;
    try {
        desktop::RemoveLeftovers();
        done = ChangeWallpaper(failures);
    } catch (const veld::Error& error) {
        failures.push_back(error.Text());
    } catch (const std::exception& error) {
        failures.push_back(error.what());
    } catch (...) {
        failures.push_back(veld::texts::kUnknownErrorAtSignIn);
    }
    try {
        Log(failures);
    } catch (...) {
        return 2;
    }
    return done ? 0 : 1;
}

}  // namespace start
