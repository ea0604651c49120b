// Errors carry the text the user reads in the error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace veld {

// A text for the user, in UTF-16 as the screen takes it. The program's own words are
// Windows-1252 bytes, made wide here; a name or reason from the system is made wide
// where it is received, from the code page it comes in.
class Message {
public:
    Message() = default;
    // The program's own words.
    Message(const char* words) : Message(std::string_view(words)) {}
    Message(const std::string& words) : Message(std::string_view(words)) {}
    explicit Message(std::string_view words);
    // The system's words, or a name as it spells it.
    explicit Message(std::wstring text) : text_(std::move(text)) {}

    Message& operator+=(const Message& other)
    {
        text_ += other.text_;
        return *this;
    }
    friend Message operator+(Message left, const Message& right) { return left += right; }

    const std::wstring& Wide() const { return text_; }
    // In Windows-1252, a character it lacks as '?'.
    std::string Plain() const;

private:
    friend Message ErrorBoxText(Message message);
    std::wstring text_;
};

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
