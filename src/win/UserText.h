// The program's texts on their way to the screen and into the log. Its own words are
// Windows-1252 bytes whatever the system's ANSI code page; names from the system are in
// that code page and its reasons are wide. The screen gets UTF-16, each part converted
// from its own encoding.
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

std::wstring MessageW(const veld::Message& message);

// The same message in Windows-1252, as the log keeps it: a character of a system part
// that Windows-1252 lacks becomes its nearest spelling there, or '?'.
std::string MessageIn1252(const veld::Message& message);

}  // namespace win
