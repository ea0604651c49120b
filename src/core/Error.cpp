#include "core/Error.h"

namespace veld {

namespace {

bool IsMark(char c)
{
    return c == kSystemBegin || c == kSystemEnd;
}

// The end of the last byte that is not a mark.
size_t TextEnd(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && IsMark(text[end - 1]))
        --end;
    return end;
}

}  // namespace

std::string SystemText(std::string_view text)
{
    std::string marked(1, kSystemBegin);
    for (char c : text)
        if (!IsMark(c))
            marked += c;
    marked += kSystemEnd;
    return marked;
}

std::vector<MessagePart> MessageParts(std::string_view message)
{
    std::vector<MessagePart> parts;
    bool fromSystem = false;
    size_t start = 0;
    for (size_t i = 0; i <= message.size(); ++i) {
        if (i < message.size() && !IsMark(message[i]))
            continue;
        if (i > start)
            parts.push_back({message.substr(start, i - start), fromSystem});
        if (i < message.size())
            fromSystem = message[i] == kSystemBegin;
        start = i + 1;
    }
    return parts;
}

std::string PlainText(std::string_view message)
{
    std::string plain;
    for (const MessagePart& part : MessageParts(message))
        plain += part.text;
    return plain;
}

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    for (size_t end = TextEnd(text); end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n'); end = TextEnd(text))
        text.erase(end - 1, 1);
    const size_t end = TextEnd(text);
    if (end > 0 && static_cast<unsigned char>(text[end - 1]) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

}  // namespace veld
