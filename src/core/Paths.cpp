#include "core/Paths.h"

namespace veld {

bool NoLeadBytes(unsigned char)
{
    return false;
}

bool CodePage932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t LastCharOffset(std::string_view text, const LeadBytePredicate& isLeadByte)
{
    // Walk from the start: only a forward walk knows whether a byte is a trail byte.
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < text.size();) {
        last = i;
        i += (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return last;
}

namespace {

// Byte offset of the last backslash that is a character of its own, or npos.
size_t LastSeparator(std::string_view path, const LeadBytePredicate& isLeadByte)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < path.size();) {
        if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (path[i] == '\\')
            found = i;
        ++i;
    }
    return found;
}

}  // namespace

std::string JoinPath(std::string_view dir, std::string_view name, const LeadBytePredicate& isLeadByte)
{
    std::string result(dir);
    const size_t last = LastCharOffset(dir, isLeadByte);
    const bool endsInSeparator = last != std::string_view::npos && last + 1 == dir.size() && dir[last] == '\\';
    if (!endsInSeparator)
        result += '\\';
    result += name;
    return result;
}

std::string FileNamePart(std::string_view path, const LeadBytePredicate& isLeadByte)
{
    const size_t separator = LastSeparator(path, isLeadByte);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string LowerExtension(std::string_view path, const LeadBytePredicate& isLeadByte)
{
    const std::string name = FileNamePart(path, isLeadByte);
    size_t dot = std::string::npos;
    for (size_t i = 0; i < name.size();) {
        if (isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            i += 2;
            continue;
        }
        if (name[i] == '.')
            dot = i;
        ++i;
    }
    if (dot == std::string::npos)
        return {};
    std::string extension = name.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

}  // namespace veld
