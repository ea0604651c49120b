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

// A character the code page lacks becomes its nearest spelling there, or '?'.
std::string Narrowed(UINT codePage, const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring FromWindows1252(std::string_view text)
{
    return Widened(kWindows1252, text);
}

std::wstring FromAnsi(std::string_view text)
{
    return Widened(CP_ACP, text);
}

std::string AnsiNearest(const std::wstring& text)
{
    return Narrowed(CP_ACP, text);
}

std::string MessageIn1252(const veld::Message& message)
{
    return Narrowed(kWindows1252, message.Wide());
}

}  // namespace win
