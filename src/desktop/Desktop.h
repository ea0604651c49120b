// Setting and clearing the Windows desktop wallpaper.
#pragma once

#include "desktop/WallpaperLock.h"

#include <functional>
#include <string>

namespace desktop {

// Removes, without waiting, what a Veldana program killed on its way leaves: the
// temporary file of the bitmap or of the sign-in log, and an added wallpaper's copy under
// its temporary name. The bitmap's stays while another program holds the wallpaper lock
// (its conversion in progress); folders of such names stay.
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

// SetDesktopWallpaper, then DefaultWP, under the wallpaper lock, so that the desktop and
// veld.ini name the same wallpaper. A path DefaultWP cannot hold is refused before
// anything changes, a call that set nothing records nothing, changed runs right after the
// system call, and a DefaultWP that cannot be written throws after the wallpaper changed.
void SetDefaultWallpaper(const std::string& path, Picture picture, const std::function<void()>& changed = {});
// The same for a caller that holds the lock already, to choose the file under it.
void SetDefaultWallpaper(const WallpaperLock& held, const std::string& path, Picture picture);

// No wallpaper, and DefaultWP emptied, the same way.
void ClearDefaultWallpaper(const std::function<void()>& changed = {});

}  // namespace desktop
