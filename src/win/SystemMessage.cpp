#include "win/SystemMessage.h"

#include "core/Error.h"
#include "core/Texts.h"

namespace win {

std::string SystemMessage(DWORD error)
{
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, static_cast<DWORD>(std::size(text)), nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    if (message.empty())
        return veld::texts::ErrorNumber(error);
    return veld::SystemText(message);
}

}  // namespace win
