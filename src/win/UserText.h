// The program's texts on their way to the screen and into the log. Its own words are
// Windows-1252 bytes whatever the system's ANSI code page; names and reasons from the
// system are in that code page (veld::SystemText marks them). The screen gets UTF-16,
// each part converted from its own code page.
#pragma once

#include <string>
#include <string_view>

namespace win {

// Words of the program's own, Windows-1252.
std::wstring FromWindows1252(std::string_view text);

// A message of the program's own words and marked system parts.
std::wstring MessageW(std::string_view message);

// The same message in Windows-1252, as the log keeps it: a character of a system part
// that Windows-1252 lacks becomes its nearest spelling there, or '?'.
std::string MessageIn1252(std::string_view message);

}  // namespace win
