// veld.ini beside the program, read and written one value at a time through the
// system's private-profile functions. A read throws the file-open error when veld.ini is
// there but cannot be read; a write creates the file and section where missing, leaves
// other keys alone and throws "In <path> kann nicht geschrieben werden" when it fails.
#pragma once

#include <string>

namespace settings {

// The check boxes' settings: stored "True" or "False", true only for "True", exactly.
enum class Flag { Active, Random };
bool Read(Flag flag);
void Write(Flag flag, bool value);

// DefaultWP: the full path of the wallpaper last set as default, or empty.
std::string ReadDefaultWallpaper();
// Throws the write error, changing nothing, for a path DefaultWP cannot hold: a line
// break would end the value's line and begin lines of its own.
void CheckDefaultWallpaper(const std::string& path);
// Checks the path as CheckDefaultWallpaper does, then stores it.
void WriteDefaultWallpaper(const std::string& path);

// Throws the write error unless the existing file can be written; changes nothing.
void RequireWritable();

}  // namespace settings
