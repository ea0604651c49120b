// veld.ini beside the program, read and written through the system's private-profile
// functions; nothing is cached between calls.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The file's path: the program folder (ending in a backslash) followed by "/veld.ini";
// the file system resolves the doubled separator.
std::string SettingsPath();

// The value, cut to 2047 characters, or fallback when the file, section or key is missing.
std::string ReadSetting(const std::string& section, const std::string& key, const std::string& fallback);

// Creates the file and section where missing and leaves other sections and keys alone.
// Throws "In <path> kann nicht geschrieben werden" when the value cannot be stored.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

}  // namespace settings
