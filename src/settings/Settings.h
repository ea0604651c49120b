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

// Throws the write error for a value the file cannot hold: a line break would end the
// value's line and begin lines of its own (a second section, a stray key). A caller that
// must not act on such a value checks it before acting.
void CheckValue(const std::string& key, const std::string& value);

// Creates the file and section where missing and leaves other sections and keys alone.
// Throws "In <path> kann nicht geschrieben werden" when the value cannot be stored, and
// writes nothing for a value that CheckValue refuses.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// Throws the write error unless the existing file can be written; changes nothing.
void RequireWritable();

}  // namespace settings
