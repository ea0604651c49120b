// Setting and clearing the Windows desktop wallpaper.
#pragma once

#include "desktop/WallpaperLock.h"

#include <functional>
#include <string>

namespace desktop {

// A Veldana program killed on its way (a sign-in cut short) leaves the temporary file of
// the bitmap (hundreds of megabytes for a large picture) or of the sign-in log beside
// the file it never replaced, or an added wallpaper's copy under its temporary name in
// a wallpaper folder: removes them, without waiting. The bitmap's stays while another
// program holds the wallpaper lock, as its conversion in progress; a folder of such a
// name is not ours and stays.
void RemoveLeftovers();

// What will do as a picture. The window shows what it can: a missing file changes
// nothing and a JPEG whose data ends early is shown as far as it goes. At sign-in nobody
// looks: only a whole picture will do, and a JPEG file that is gone, unreadable or
// incomplete throws veld::PictureError (the sign-in program offers only .jpg files).
enum class Picture { ShowWhatIsThere, RefuseUnlessWhole };

// A .bmp file is handed to the system as it is; a .jpg file is decoded into
// tmp_wallpaper.bmp first. Any other extension changes nothing. False when nothing was
// handed to the system.
bool SetDesktopWallpaper(const std::string& path, Picture picture = Picture::ShowWhatIsThere);

// The conversion alone: bitmapPath holds either its old contents or the whole picture.
// What is wrong with the JPEG file itself throws veld::PictureError.
void ConvertJpegToBitmap(const std::string& jpegPath, const std::string& bitmapPath,
                         Picture picture = Picture::ShowWhatIsThere);

// Empties the stored wallpaper value, then tells the system to show none.
void ClearDesktopWallpaper();

// The system's wallpaper call, SystemParametersInfoA(action, param, value, flags). Tests
// put a stand-in here to see what is passed; an empty one means the system's own.
using WallpaperCall = std::function<int(unsigned action, unsigned param, void* value, unsigned flags)>;
void SetWallpaperCallForTests(WallpaperCall call);

// Setting the wallpaper and noting it as DefaultWP are one step for every Veldana
// program, taken under the wallpaper lock, so that the wallpaper the system shows and the
// one veld.ini names stay the same: SetDesktopWallpaper with the caller's picture, then
// DefaultWP, unless it set nothing (the file gone, another extension): then nothing
// changes. A path DefaultWP cannot hold is refused before anything changes (it is
// checked there, once); changed runs right after the system call; a DefaultWP that
// cannot be written throws after the wallpaper has changed.
void SetDefaultWallpaper(const std::string& path, Picture picture, const std::function<void()>& changed = {});
// The same for a caller that holds the lock already, to choose the file under it.
void SetDefaultWallpaper(const WallpaperLock& held, const std::string& path, Picture picture);

// No wallpaper, and DefaultWP emptied, the same way.
void ClearDefaultWallpaper(const std::function<void()>& changed = {});

}  // namespace desktop
