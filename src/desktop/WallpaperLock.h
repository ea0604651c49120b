// The lock shared by every Veldana program started from one program folder around its
// change of the desktop wallpaper and DefaultWP, so that the wallpaper the system shows
// and the one veld.ini names are always the same, and around the removal of a leftover
// tmp_wallpaper.bmp.new, which may be another program's conversion in progress.
#pragma once

#include "win/NamedMutex.h"

namespace desktop {

class WallpaperLock {
public:
    // Waits for the other holder; throws when it does not let go in time.
    WallpaperLock();
    WallpaperLock(const WallpaperLock&) = delete;
    WallpaperLock& operator=(const WallpaperLock&) = delete;

private:
    win::NamedMutex mutex_;
};

}  // namespace desktop
