// Code page conversions: the program's own words are Windows-1252 bytes whatever the
// system's ANSI code page, names from the system's ANSI calls are in that code page, and
// the screen takes UTF-16.
#pragma once

#include "core/Error.h"

#include <string>
#include <string_view>

namespace win {

// Words of the program's own, Windows-1252.
std::wstring FromWindows1252(std::string_view text);

// The ANSI code page's text as the system's wide text.
std::wstring FromAnsi(std::string_view text);
// The nearest ANSI spelling of text, for showing: a letter the code page lacks becomes
// "?" or one without its accent.
std::string AnsiNearest(const std::wstring& text);

// The same message in Windows-1252, as the log keeps it: a character of a system part
// that Windows-1252 lacks becomes its nearest spelling there, or '?'.
std::string MessageIn1252(const veld::Message& message);

}  // namespace win
