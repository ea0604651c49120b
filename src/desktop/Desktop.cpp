#include "desktop/Desktop.h"

#include "catalogue/Catalogue.h"
#include "core/Bmp.h"
#include "core/Paths.h"
#include "core/SignIn.h"
#include "core/WallpaperFolder.h"
#include "desktop/WallpaperLock.h"
#include "preview/Preview.h"
#include "settings/Settings.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/Registry.h"

#include <windows.h>

namespace desktop {

namespace {

constexpr UINT kSetFlags = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;
constexpr UINT kClearFlags = SPIF_SENDWININICHANGE;

WallpaperCall& WallpaperCallStandIn()
{
    static WallpaperCall call;
    return call;
}

// The system's answer is not looked at: there is nothing the user could do about it.
void CallSystem(const char* path, UINT flags)
{
    void* value = const_cast<char*>(path);
    if (const WallpaperCall& standIn = WallpaperCallStandIn())
        standIn(SPI_SETDESKWALLPAPER, 0, value, flags);
    else
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, value, flags);
}

std::string ConvertedWallpaperPath()
{
    return win::ProgramFolderA() + veld::kConvertedWallpaperName;
}

}  // namespace

void ConvertJpegToBitmap(const std::string& jpegPath, const std::string& bitmapPath, Picture picture)
{
    const veld::DibImage image = preview::DecodeFile(jpegPath, picture == Picture::RefuseUnlessWhole);
    win::ReplaceFile(bitmapPath, {veld::BmpHeaders(image), image.pixels});
}

void RemoveLeftovers()
{
    // Not looked at: one that cannot go now goes at the next start, and the next
    // replacement replaces it. The log's is open without sharing while it is written.
    win::RemoveFile(win::TemporaryFileOf(win::ProgramFolderA() + veld::kSignInLogName));
    // While another program holds the lock, the bitmap's is its conversion in progress.
    if (WallpaperLock lock{WallpaperLock::IfFree{}}; lock.Held())
        win::RemoveFile(win::TemporaryFileOf(ConvertedWallpaperPath()));
    // An Add cut off half-way, at whichever screen size the window ran.
    for (const std::string_view subfolder : veld::kWallpaperSubfolders) {
        std::vector<catalogue::WallpaperFile> found;
        catalogue::FindFiles(win::ProgramFolderA() + std::string(subfolder), found,
                             std::string(veld::kCopyPrefix) + "*.tmp");
        for (const catalogue::WallpaperFile& file : found)
            if (veld::IsCopyInProgressName(file.name))
                win::RemoveCopy(file.path);
    }
}

bool SetDesktopWallpaper(const std::string& path, Picture picture)
{
    // At sign-in a file gone since the search is a failure, which reading it reports.
    if (picture == Picture::ShowWhatIsThere && !win::FileExists(path))
        return false;
    const std::string extension = veld::LowerExtension(path, win::IsLeadByte);
    if (extension == ".bmp") {
        CallSystem(path.c_str(), kSetFlags);
    } else if (extension == ".jpg") {
        const std::string converted = ConvertedWallpaperPath();
        ConvertJpegToBitmap(path, converted, picture);
        CallSystem(converted.c_str(), kSetFlags);
    }
    return extension == ".bmp" || extension == ".jpg";
}

void ClearDesktopWallpaper()
{
    win::SetUserString("Control Panel\\Desktop", "Wallpaper", "");
    // An empty name removes the wallpaper; Windows takes no name at all (a null pointer)
    // for its own default picture.
    CallSystem("", kClearFlags);
}

void SetWallpaperCallForTests(WallpaperCall call)
{
    WallpaperCallStandIn() = std::move(call);
}

namespace {

// Under the lock, for a path DefaultWP can hold.
void SetAndRecord(const std::string& path, Picture picture, const std::function<void()>& changed)
{
    // veld.ini names the wallpaper the desktop shows, not one that was never set.
    if (!SetDesktopWallpaper(path, picture))
        return;
    if (changed)
        changed();
    settings::WriteDefaultWallpaper(path);
}

}  // namespace

void SetDefaultWallpaper(const std::string& path, Picture picture, const std::function<void()>& changed)
{
    // Refused before waiting for the lock: nothing would come of it.
    settings::CheckDefaultWallpaper(path);
    WallpaperLock lock;
    SetAndRecord(path, picture, changed);
}

void SetDefaultWallpaper(const WallpaperLock&, const std::string& path, Picture picture)
{
    settings::CheckDefaultWallpaper(path);
    SetAndRecord(path, picture, {});
}

void ClearDefaultWallpaper(const std::function<void()>& changed)
{
    WallpaperLock lock;
    ClearDesktopWallpaper();
    if (changed)
        changed();
    settings::WriteDefaultWallpaper("");
}

}  // namespace desktop
