#include "win/ProgramDir.h"

#include "core/Error.h"
#include "core/SignIn.h"
#include "core/Texts.h"
#include "win/Files.h"

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

// The short (8.3) form of path, or empty when the system cannot give one.
std::wstring SystemShortPath(const std::wstring& path)
{
    std::wstring result(kLongestPath, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), result.data(), static_cast<DWORD>(result.size()));
    if (length == 0 || length >= result.size())
        return {};
    result.resize(length);
    return result;
}

}  // namespace

std::wstring FromAnsi(std::string_view text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string AnsiNearest(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::optional<std::string> AnsiExactly(const std::wstring& text)
{
    std::string ansi = AnsiNearest(text);
    if (FromAnsi(ansi) != text)
        return std::nullopt;
    return ansi;
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
    std::wstring shortForm = overrides.shortPath ? overrides.shortPath(folder) : SystemShortPath(folder);
    if (!shortForm.empty() && shortForm.back() != L'\\')
        shortForm += L'\\';
    const std::optional<std::string> shortAnsi = AnsiExactly(shortForm);
    if (shortAnsi && !shortAnsi->empty() && ReachesItsFiles(*shortAnsi))
        return *shortAnsi;
    if (!ansi && !(shortAnsi && !shortAnsi->empty()))
        throw veld::Error(veld::texts::ProgramFolderCannotBeSpelled(AnsiNearest(folder)));
    throw veld::Error(veld::texts::ProgramFolderTooLong(AnsiNearest(folder)));
}

std::wstring ProgramFolderW()
{
    std::wstring path = Overrides().modulePath;
    if (path.empty()) {
        path.resize(MAX_PATH);
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0)
                return {};
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            if (path.size() >= kLongestPath)
                return {};
            path.resize(path.size() * 2);
        }
    }
    const size_t separator = path.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring FolderKey(const std::wstring& folder)
{
    std::wstring key(kLongestPath, L'\0');
    const DWORD length = GetLongPathNameW(folder.c_str(), key.data(), static_cast<DWORD>(key.size()));
    if (length == 0 || length >= key.size())
        key = folder;
    else
        key.resize(length);
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
    return L"Local\\Veldana-" + std::wstring(purpose) + L"-" + identity.value_or(L"");
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
