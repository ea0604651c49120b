// Errors carry the text the user reads in the error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veld {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's own words are Windows-1252 bytes, while a name or a reason that the
// system hands over is in the system's ANSI code page, which may be another (UTF-8,
// Shift-JIS). A message keeps the two apart: each part from the system stands between
// kSystemBegin and kSystemEnd, bytes that occur in no path, no system message and no
// text of ours, so that the screen can convert each part from its own code page.
inline constexpr char kSystemBegin = '\x01';
inline constexpr char kSystemEnd = '\x02';

// text, marked as handed over by the system.
std::string SystemText(std::string_view text);

// One part of a message: the program's own words, or a part from the system.
struct MessagePart {
    std::string_view text;
    bool fromSystem = false;
};
std::vector<MessagePart> MessageParts(std::string_view message);

// The message's bytes without the marks: what it reads as where both code pages agree.
std::string PlainText(std::string_view message);

// The error box's text for a message: a trailing line break (system messages end in
// CR LF) is dropped, and a period is added when the last character sorts above '.'
// (a letter, a digit, a colon), but not after a period, a space or a ')'.
std::string ErrorBoxText(std::string_view message);

}  // namespace veld
