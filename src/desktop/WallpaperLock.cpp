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

WallpaperLock::WallpaperLock()
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, win::ProgramFolderObjectName(L"wallpaper").c_str());
    if (!mutex)
        throw veld::Error(veld::texts::CannotLockWallpaper(win::SystemMessage(GetLastError())));
    mutex_.reset(mutex);
    // WAIT_ABANDONED: the holder ended half-way; the safe replacement has left every file
    // whole, so the lock is ours to use.
    const DWORD waited = WaitForSingleObject(mutex, kPatience);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        mutex_.reset();
        throw veld::Error(veld::texts::kWallpaperBusy);
    }
}

WallpaperLock::~WallpaperLock()
{
    ReleaseMutex(mutex_.get());
}

}  // namespace desktop
