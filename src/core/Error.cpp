#include "core/Error.h"

#include <algorithm>
#include <iterator>

namespace veld {

namespace {

// Windows-1252's characters at 0x80 to 0x9F; its other bytes are their own code points.
constexpr wchar_t kFrom0x80[] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
                                 0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

}  // namespace

Message::Message(std::string_view words)
{
    for (const char c : words) {
        const auto byte = static_cast<unsigned char>(c);
        text_ += byte >= 0x80 && byte < 0xA0 ? kFrom0x80[byte - 0x80] : static_cast<wchar_t>(byte);
    }
}

std::string Message::Plain() const
{
    std::string plain;
    for (const wchar_t c : text_) {
        const auto* special = std::find(std::begin(kFrom0x80), std::end(kFrom0x80), c);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            plain += static_cast<char>(c);
        else
            plain += special != std::end(kFrom0x80) ? static_cast<char>(0x80 + (special - kFrom0x80)) : '?';
    }
    return plain;
}

Message ErrorBoxText(Message message)
{
    std::wstring& text = message.text_;
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    if (!text.empty() && text.back() > L'.')
        text += L'.';
    return message;
}

}  // namespace veld
