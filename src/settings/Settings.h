// veld.ini beside the program, read and written through the system's private-profile
// functions; nothing is cached between calls. Its section and keys are named here only:
// callers use the typed calls below.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The value, cut to 2047 characters, or fallback when the file, section or key is missing.
// Throws the file-open error when veld.ini is there but cannot be read.
std::string ReadSetting(const std::string& section, const std::string& key, const std::string& fallback);

// Creates the file and section where missing and leaves other sections and keys alone.
// Throws "In <path> kann nicht geschrieben werden" when the value cannot be stored, and
// writes nothing for a value with a line break, which would end the value's line and
// begin lines of its own (a second section, a stray key).
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// Throws the write error unless the existing file can be written; changes nothing.
void RequireWritable();

// The check boxes' settings: true only for a stored "True", exactly; each read and write
// opens and closes the file on its own.
bool ReadActive();
bool ReadRandom();
void WriteActive(bool active);
void WriteRandom(bool random);

// DefaultWP: the full path of the wallpaper last set as default, or empty.
std::string ReadDefaultWallpaper();
// Throws the write error for a path DefaultWP cannot hold. Its writer acts on the path
// first, so it checks the path before acting; the write does not check it again.
void CheckDefaultWallpaper(const std::string& path);
void WriteDefaultWallpaper(const std::string& path);

}  // namespace settings
