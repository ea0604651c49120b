#include "settings/Settings.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/UserText.h"

#include <windows.h>

namespace settings {

namespace {

constexpr char kSection[] = "Settings";
constexpr char kDefaultWallpaper[] = "DefaultWP";
constexpr char kTrue[] = "True";

const char* KeyOf(Flag flag)
{
    return flag == Flag::Active ? "Active" : "Random";
}

// The program folder (ending in a backslash) followed by "/veld.ini": the file system
// resolves the doubled separator.
std::string SettingsPath()
{
    return win::ProgramFolderA() + "/veld.ini";
}

// Only DefaultWP holds more than True or False: the path of a file, whose name the user
// can change.
void CheckValue(const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        throw veld::Error(veld::texts::LineBreakInName(win::FromAnsi(SettingsPath()), win::FromAnsi(value)));
}

// The value, cut to 2047 characters, or empty where the file, section or key is missing.
std::string Load(const char* key)
{
    // The private-profile read gives the default for a file another program holds as for
    // a missing one: ours is held open, shared, until the read has ended.
    const std::string path = SettingsPath();
    const win::Handle held = win::HoldReadableIfPresent(path);
    char buffer[2048];
    const DWORD length =
        GetPrivateProfileStringA(kSection, key, "", buffer, static_cast<DWORD>(std::size(buffer)), path.c_str());
    return std::string(buffer, length);
}

void Save(const char* key, const std::string& value)
{
    CheckValue(value);
    const std::string path = SettingsPath();
    const bool written = win::RetryWhileHeld(path, win::FileAction::ReadOrWrite, [&] {
        return WritePrivateProfileStringA(kSection, key, value.c_str(), path.c_str()) != FALSE;
    });
    // Flush the system's cached copy, so the file on disk is what was written. Its result
    // says nothing about the write (Wine reports FALSE for a successful flush).
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    if (!written)
        throw veld::Error(veld::texts::CannotWriteSettings(win::FromAnsi(path)));
}

}  // namespace

bool Read(Flag flag)
{
    return Load(KeyOf(flag)) == kTrue;
}

void Write(Flag flag, bool value)
{
    Save(KeyOf(flag), value ? kTrue : "False");
}

std::string ReadDefaultWallpaper()
{
    return Load(kDefaultWallpaper);
}

void CheckDefaultWallpaper(const std::string& path)
{
    CheckValue(path);
}

void WriteDefaultWallpaper(const std::string& path)
{
    Save(kDefaultWallpaper, path);
}

void RequireWritable()
{
    // A file that is protected, held open by another program or is a folder fails here
    // as the private-profile write would.
    const std::string path = SettingsPath();
    if (!win::CanWriteExisting(path))
        throw veld::Error(veld::texts::CannotWriteSettings(win::FromAnsi(path)));
}

}  // namespace settings
