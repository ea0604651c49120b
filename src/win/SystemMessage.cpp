#include "win/SystemMessage.h"

#include "core/Texts.h"

#include <memory>

namespace win {

veld::Message SystemMessage(DWORD error)
{
    // Wide, as the system keeps it: the ANSI call would turn the letters its code page
    // lacks into '?', and a text of any length fits a buffer the system sizes.
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, HLOCAL (*)(HLOCAL)> owner(buffer, LocalFree);
    std::wstring message(buffer ? buffer : L"", buffer ? length : 0);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    if (message.empty())
        return veld::texts::ErrorNumber(error);
    return veld::Message(std::move(message));
}

}  // namespace win
