// The lock shared by every Veldana program started from one program folder around its
// change of the desktop wallpaper and DefaultWP, so that the wallpaper the system shows
// and the one veld.ini names are always the same, and around the removal of a leftover
// tmp_wallpaper.bmp.new, which may be another program's conversion in progress.
#pragma once

#include "win/NamedMutex.h"

namespace desktop {

class WallpaperLock {
public:
    // Waits for the other holder as long as its conversion of the largest picture could
    // take; throws the busy text when it does not let go in time.
    WallpaperLock();
    // Takes the lock only when nobody holds it; Held says whether it did. For what
    // nobody asked for, which can wait for the next time.
    struct IfFree {};
    explicit WallpaperLock(IfFree);
    WallpaperLock(const WallpaperLock&) = delete;
    WallpaperLock& operator=(const WallpaperLock&) = delete;

    bool Held() const { return held_; }

private:
    win::NamedMutex mutex_;
    bool held_ = false;
};

}  // namespace desktop
