#include "core/Error.h"

#include <type_traits>

namespace veld {

namespace {

// Calls use with the part's text, whichever kind it holds.
template <typename Use>
auto WithText(Message::Part& part, Use&& use)
{
    return part.from == Message::From::SystemWide ? use(part.wide) : use(part.bytes);
}

}  // namespace

Message::Message(std::string words)
{
    if (!words.empty())
        parts_.push_back({From::Program, std::move(words), {}});
}

Message& Message::operator+=(const Message& other)
{
    parts_.insert(parts_.end(), other.parts_.begin(), other.parts_.end());
    return *this;
}

std::string Message::Plain() const
{
    std::string plain;
    for (const Part& part : parts_) {
        plain += part.bytes;
        for (const wchar_t c : part.wide)
            plain += static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '?';
    }
    return plain;
}

Message SystemText(std::string_view ansi)
{
    Message message;
    if (!ansi.empty())
        message.parts_.push_back({Message::From::SystemAnsi, std::string(ansi), {}});
    return message;
}

Message SystemText(std::wstring wide)
{
    Message message;
    if (!wide.empty())
        message.parts_.push_back({Message::From::SystemWide, {}, std::move(wide)});
    return message;
}

Message ErrorBoxText(Message message)
{
    std::vector<Message::Part>& parts = message.parts_;
    // A part left empty gives its turn to the one before it.
    while (!parts.empty() && WithText(parts.back(), [](auto& text) {
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
            text.pop_back();
        return text.empty();
    }))
        parts.pop_back();
    if (!parts.empty() && WithText(parts.back(), [](const auto& text) {
            using Unit = std::make_unsigned_t<typename std::decay_t<decltype(text)>::value_type>;
            return static_cast<Unit>(text.back()) > Unit{'.'};
        }))
        message += ".";
    return message;
}

}  // namespace veld
