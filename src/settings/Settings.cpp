#include "settings/Settings.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/ProgramDir.h"

#include <windows.h>

namespace settings {

std::string SettingsPath()
{
    return win::ProgramDir() + "/veld.ini";
}

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& fallback)
{
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                                  static_cast<DWORD>(std::size(buffer)), SettingsPath().c_str());
    return std::string(buffer, length);
}

void CheckValue(const std::string& key, const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        throw veld::Error(veld::texts::LineBreakInSetting(SettingsPath(), key));
}

void RequireWritable()
{
    // Opened for writing and closed untouched: a file that is protected, held open by
    // another program or is a folder fails here as the private-profile write would.
    const std::string path = SettingsPath();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw veld::Error(veld::texts::CannotWriteSettings(path));
    CloseHandle(file);
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value)
{
    CheckValue(key, value);
    const std::string path = SettingsPath();
    const bool written = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    // Flush the system's cached copy, so the file on disk is what was written. Its result
    // says nothing about the write (Wine reports FALSE for a successful flush).
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    if (!written)
        throw veld::Error(veld::texts::CannotWriteSettings(path));
}

}  // namespace settings
