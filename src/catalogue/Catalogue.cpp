#include "catalogue/Catalogue.h"

#include "core/Error.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "core/WallpaperFolder.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"
#include "win/UserText.h"

#include <windows.h>

#include <optional>

namespace catalogue {

std::string ChooseWallpaperDir(const std::string& programDir, win::ScreenSize screen)
{
    const std::string_view folder = veld::WallpaperSubfolder(screen.width, screen.height);
    return folder.empty() ? std::string() : programDir + std::string(folder);
}

void FindFiles(const std::string& dir, std::vector<WallpaperFile>& list, const std::string& mask)
{
    // Joining an empty folder would search the root of the current drive.
    if (dir.empty())
        return;
    // Searched in the system's own spelling, so each name can be tried in the code page.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(win::FromAnsi(veld::JoinPath(dir, mask, win::IsLeadByte)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    win::FindHandle owner(search);
    // Read-only, hidden, system and archive files count; folders and volume labels do not.
    constexpr DWORD kExcluded = FILE_ATTRIBUTE_DIRECTORY | 0x8;
    do {
        if ((found.dwFileAttributes & kExcluded) != 0)
            continue;
        const std::optional<std::string> reaching = win::AnsiReaching(found.cFileName, found.cAlternateFileName);
        list.push_back({reaching ? veld::JoinPath(dir, *reaching, win::IsLeadByte) : std::string(), found.cFileName});
    } while (FindNextFileW(search, &found));
}

std::string ReachableFile(const std::string& dir, const WallpaperFile& file)
{
    if (file.path.empty())
        throw veld::Error(veld::texts::NameOutsideCodePage(
            win::FromAnsi(veld::JoinPath(dir, win::AnsiNearest(file.name), win::IsLeadByte))));
    return file.path;
}

}  // namespace catalogue
