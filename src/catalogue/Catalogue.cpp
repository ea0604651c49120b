#include "catalogue/Catalogue.h"

#include "core/Paths.h"
#include "core/WallpaperFolder.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"

#include <windows.h>

namespace catalogue {

std::string ChooseWallpaperDir(const std::string& programDir, win::ScreenSize screen)
{
    const std::string_view folder = veld::WallpaperSubfolder(screen.width, screen.height);
    return folder.empty() ? std::string() : programDir + std::string(folder);
}

void FindFiles(const std::string& dir, std::vector<std::string>& list, const std::string& mask)
{
    // Joining an empty folder would search the root of the current drive.
    if (dir.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(veld::JoinPath(dir, mask, win::IsLeadByte).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    win::FindHandle owner(search);
    // Read-only, hidden, system and archive files count; folders and volume labels do not.
    constexpr DWORD kExcluded = FILE_ATTRIBUTE_DIRECTORY | 0x8;
    do {
        if ((found.dwFileAttributes & kExcluded) == 0)
            list.push_back(veld::JoinPath(dir, found.cFileName, win::IsLeadByte));
    } while (FindNextFileA(search, &found));
}

}  // namespace catalogue
