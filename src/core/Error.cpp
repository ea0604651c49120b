#include "core/Error.h"

namespace veld {

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

}  // namespace veld
