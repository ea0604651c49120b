#include "catalogue/Catalogue.h"

#include "core/Error.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "core/WallpaperFolder.h"
#include "win/Files.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"

#include <windows.h>

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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(veld::JoinPath(dir, mask, win::IsLeadByte).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    win::FindHandle owner(search);
    // Read-only, hidden, system and archive files count; folders and volume labels do not.
    constexpr DWORD kExcluded = FILE_ATTRIBUTE_DIRECTORY | 0x8;
    do {
        if ((found.dwFileAttributes & kExcluded) == 0)
            list.push_back({veld::JoinPath(dir, found.cFileName, win::IsLeadByte), found.cAlternateFileName});
    } while (FindNextFileA(search, &found));
}

void CheckListedFile(const WallpaperFile& file)
{
    const std::string& path = file.path;
    const std::string& shortName = file.shortName;
    // Without a short name the listed name is an 8.3 name of its own, or the system keeps
    // no short names and nothing better than the listed name is known.
    if (shortName.empty())
        return;
    const std::optional<std::wstring> reached = win::IdentityOf(path);
    if (!reached)
        return;
    const std::string name = veld::FileNamePart(path, win::IsLeadByte);
    const std::string dir = path.substr(0, path.size() - name.size());
    if (win::IdentityOf(veld::JoinPath(dir, shortName, win::IsLeadByte)) != reached)
        throw veld::Error(veld::texts::LeadsToAnotherFile(path));
}

}  // namespace catalogue
