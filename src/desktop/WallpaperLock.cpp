#include "desktop/WallpaperLock.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"

namespace desktop {

namespace {

// A conversion of the largest wallpaper takes about a second; far longer means the
// holder hangs.
constexpr DWORD kPatience = 30'000;

}  // namespace

WallpaperLock::WallpaperLock() : mutex_(win::ProgramFolderObjectName(L"wallpaper"))
{
    if (!mutex_.Made())
        throw veld::Error(veld::texts::CannotLockWallpaper(win::SystemMessage(mutex_.Error())));
    if (!mutex_.Acquire(kPatience))
        throw veld::Error(veld::texts::kWallpaperBusy);
}

}  // namespace desktop
