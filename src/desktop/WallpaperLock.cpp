#include "desktop/WallpaperLock.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"

namespace desktop {

namespace {

// Converting the largest picture Veldana accepts (64 megapixels of noise, progressive)
// took 5 s under Wine on a busy two-core machine: a holder that lets go within twice
// that is converting, one that does not hangs. A user who clicked hears after this why
// nothing happens.
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
