// Errors carry the text the user reads in the error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veld {

// A text for the user, in parts that keep their own encoding until the screen converts
// the whole once. The program's own words are Windows-1252 bytes; a name the system hands
// over (a path) is in the system's ANSI code page, which may be another (UTF-8,
// Shift-JIS); the system's own reason for an error comes as wide text, in whatever
// language the user reads, with no code page to lose letters in.
class Message {
public:
    enum class From { Program, SystemAnsi, SystemWide };
    struct Part {
        From from = From::Program;
        std::string bytes;  // the program's words, or the system's ANSI text
        std::wstring wide;  // the system's wide text
    };

    Message() = default;
    // The program's own words.
    Message(const char* words) : Message(std::string(words)) {}
    Message(std::string words);

    Message& operator+=(const Message& other);
    friend Message operator+(Message left, const Message& right) { return left += right; }

    const std::vector<Part>& Parts() const { return parts_; }
    // The text as it reads where every code page agrees: the bytes as they are, a wide
    // character outside ASCII as '?'.
    std::string Plain() const;

private:
    friend Message SystemText(std::string_view ansi);
    friend Message SystemText(std::wstring wide);
    friend Message ErrorBoxText(Message message);
    std::vector<Part> parts_;
};

// A name or path as the system's ANSI calls hand it over.
Message SystemText(std::string_view ansi);
// The system's own words.
Message SystemText(std::wstring wide);

// The error box's text for a message: a trailing line break (system messages end in
// CR LF) is dropped, and a period is added when the last character sorts above '.'
// (a letter, a digit, a colon), but not after a period, a space or a ')'.
Message ErrorBoxText(Message message);

class Error : public std::runtime_error {
public:
    explicit Error(Message text) : std::runtime_error(text.Plain()), text_(std::move(text)) {}
    const Message& Text() const { return text_; }

private:
    Message text_;
};

}  // namespace veld
