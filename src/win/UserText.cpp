#include "win/UserText.h"

#include <windows.h>

namespace win {

namespace {

constexpr UINT kWindows1252 = 1252;

std::wstring Widened(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
    return wide;
}

}  // namespace

std::wstring FromWindows1252(std::string_view text)
{
    return Widened(kWindows1252, text);
}

std::wstring MessageW(const veld::Message& message)
{
    std::wstring wide;
    for (const veld::Message::Part& part : message.Parts()) {
        using From = veld::Message::From;
        wide += part.from == From::SystemWide
                    ? part.wide
                    : Widened(part.from == From::SystemAnsi ? CP_ACP : kWindows1252, part.bytes);
    }
    return wide;
}

std::string MessageIn1252(const veld::Message& message)
{
    const std::wstring wide = MessageW(message);
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(kWindows1252, 0, wide.data(), length, nullptr, 0, "?", nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(kWindows1252, 0, wide.data(), length, narrow.data(), size, "?", nullptr);
    return narrow;
}

}  // namespace win
