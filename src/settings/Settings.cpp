#include "settings/Settings.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/Files.h"
#include "win/ProgramDir.h"

#include <windows.h>

namespace settings {

namespace {

constexpr char kSection[] = "Settings";
constexpr char kActive[] = "Active";
constexpr char kRandom[] = "Random";
constexpr char kDefaultWallpaper[] = "DefaultWP";
constexpr char kTrue[] = "True";
constexpr char kFalse[] = "False";

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
        throw veld::Error(veld::texts::LineBreakInName(SettingsPath(), value));
}

bool ReadFlag(const char* key)
{
    return ReadSetting(kSection, key, "") == kTrue;
}

void WriteFlag(const char* key, bool value)
{
    WriteSetting(kSection, key, value ? kTrue : kFalse);
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& fallback)
{
    // The private-profile read gives the fallback for a file another program holds as
    // for a missing one.
    const std::string path = SettingsPath();
    win::HoldReadableIfPresent(path);
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                                  static_cast<DWORD>(std::size(buffer)), path.c_str());
    return std::string(buffer, length);
}

void RequireWritable()
{
    // A file that is protected, held open by another program or is a folder fails here
    // as the private-profile write would.
    const std::string path = SettingsPath();
    if (!win::CanWriteExisting(path))
        throw veld::Error(veld::texts::CannotWriteSettings(path));
}

namespace {

// The write of a value already checked.
void Store(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string path = SettingsPath();
    const bool written = win::RetryWhileHeld(path, win::FileAction::ReadOrWrite, [&] {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
    });
    // Flush the system's cached copy, so the file on disk is what was written. Its result
    // says nothing about the write (Wine reports FALSE for a successful flush).
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    if (!written)
        throw veld::Error(veld::texts::CannotWriteSettings(path));
}

}  // namespace

void WriteSetting(const std::string& section, const std::string& key, const std::string& value)
{
    CheckValue(value);
    Store(section, key, value);
}

bool ReadActive()
{
    return ReadFlag(kActive);
}

bool ReadRandom()
{
    return ReadFlag(kRandom);
}

void WriteActive(bool active)
{
    WriteFlag(kActive, active);
}

void WriteRandom(bool random)
{
    WriteFlag(kRandom, random);
}

std::string ReadDefaultWallpaper()
{
    return ReadSetting(kSection, kDefaultWallpaper, "");
}

void WriteDefaultWallpaper(const std::string& path)
{
    Store(kSection, kDefaultWallpaper, path);
}

void CheckDefaultWallpaper(const std::string& path)
{
    CheckValue(path);
}

}  // namespace settings
