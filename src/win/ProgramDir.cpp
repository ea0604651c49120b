#include "win/ProgramDir.h"

#include "core/Error.h"
#include "core/SignIn.h"
#include "core/Texts.h"
#include "win/Files.h"
#include "win/UserText.h"

#include <windows.h>

#include <optional>

namespace win {

namespace {

// Paths can be longer than MAX_PATH where the system allows it; this is its limit.
constexpr size_t kLongestPath = 32768;

// The ANSI calls reach at most MAX_PATH - 1 characters, and the longest name Veldana
// puts in its folder is the temporary file of the bitmap a wallpaper is turned into.
bool ReachesItsFiles(const std::string& dir)
{
    return TemporaryFileOf(dir + veld::kConvertedWallpaperName).size() < MAX_PATH;
}

struct ProgramPathOverrides {
    std::optional<std::string> dir;
    std::wstring modulePath;
    ShortPathLookup shortPath;
};

ProgramPathOverrides& Overrides()
{
    static ProgramPathOverrides overrides;
    return overrides;
}

// The ANSI spelling of text, or nothing when the code page has no exact one: its
// nearest spelling would be another path.
std::optional<std::string> AnsiExactly(const std::wstring& text)
{
    std::string ansi = AnsiNearest(text);
    if (FromAnsi(ansi) != text)
        return std::nullopt;
    return ansi;
}

}  // namespace

std::wstring PathFromSystem(const std::function<DWORD(wchar_t* buffer, DWORD size)>& ask)
{
    std::wstring path(kLongestPath, L'\0');
    const DWORD length = ask(path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::optional<std::string> AnsiReaching(const std::wstring& name, const std::wstring& shortName)
{
    if (std::optional<std::string> exact = AnsiExactly(name))
        return exact;
    std::optional<std::string> shortForm = AnsiExactly(shortName);
    if (!shortForm || shortForm->empty())
        return std::nullopt;
    return shortForm;
}

std::string ProgramFolderA()
{
    ProgramPathOverrides& overrides = Overrides();
    if (overrides.dir)
        return *overrides.dir;
    const std::wstring folder = ProgramFolderW();
    const std::optional<std::string> ansi = AnsiExactly(folder);
    if (ansi && ReachesItsFiles(*ansi))
        return *ansi;
    // A nearest spelling could name another folder; the short form is spelled in ASCII,
    // and shorter.
    std::wstring shortForm =
        overrides.shortPath ? overrides.shortPath(folder) : PathFromSystem([&](wchar_t* buffer, DWORD size) {
            return GetShortPathNameW(folder.c_str(), buffer, size);
        });
    if (!shortForm.empty() && shortForm.back() != L'\\')
        shortForm += L'\\';
    const std::optional<std::string> shortAnsi = AnsiExactly(shortForm);
    if (shortAnsi && !shortAnsi->empty() && ReachesItsFiles(*shortAnsi))
        return *shortAnsi;
    if (!ansi && !(shortAnsi && !shortAnsi->empty()))
        throw veld::Error(veld::texts::ProgramFolderCannotBeSpelled(FromAnsi(AnsiNearest(folder))));
    throw veld::Error(veld::texts::ProgramFolderTooLong(FromAnsi(AnsiNearest(folder))));
}

std::wstring ProgramFolderW()
{
    std::wstring path = Overrides().modulePath;
    if (path.empty())
        path = PathFromSystem([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    const size_t separator = path.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring FolderKey(const std::wstring& folder)
{
    std::wstring key =
        PathFromSystem([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(folder.c_str(), buffer, size); });
    if (key.empty())
        key = folder;
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

std::wstring ProgramFolderObjectName(std::wstring_view purpose)
{
    // Named after what the folder is, not how it was reached: C:\vel and the same
    // folder through another drive letter or a link share one window and one lock.
    const std::wstring folder = ProgramFolderW();
    std::optional<std::wstring> identity = FolderIdentity(folder);
    // A folder that cannot be asked is named after its key, as a path is.
    if (!identity)
        identity = IdentityFrom({.finalPath = FolderKey(folder)});
    return L"Local\\Veldana-" + std::wstring(purpose) + L"-" + *identity;
}

void SetProgramFolderForTests(std::string dir)
{
    Overrides().dir = std::move(dir);
}

void SetProgramPathSourcesForTests(std::wstring modulePath, ShortPathLookup shortPath)
{
    Overrides() = {std::nullopt, std::move(modulePath), std::move(shortPath)};
}

bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace win
