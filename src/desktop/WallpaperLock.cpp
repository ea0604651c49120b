#include "desktop/WallpaperLock.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"

namespace desktop {

namespace {

// Twice the longest conversion seen (the largest picture accepted, on a busy machine):
// a holder past that hangs, and the user who clicked is told why nothing happens.
constexpr DWORD kPatience = 10'000;

}  // namespace

WallpaperLock::WallpaperLock() : mutex_(win::ProgramFolderObjectName(L"wallpaper"))
{
    if (!mutex_.Made())
        throw veld::Error(veld::texts::CannotLockWallpaper(win::SystemMessage(mutex_.Error())));
    held_ = mutex_.Acquire(kPatience);
    if (!held_)
        throw veld::Error(veld::texts::kWallpaperBusy);
}

WallpaperLock::WallpaperLock(IfFree) : mutex_(win::ProgramFolderObjectName(L"wallpaper"))
{
    held_ = mutex_.Acquire(0);
}

}  // namespace desktop
