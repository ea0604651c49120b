#include "core/Paths.h"

namespace veld {

size_t CharBytes(std::string_view text, size_t offset, const LeadBytePredicate& isLeadByte)
{
    return isLeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < text.size() ? 2 : 1;
}

namespace {

// The byte offset of the last character that is the single byte c, or npos.
size_t LastSingleByte(std::string_view text, char c, const LeadBytePredicate& isLeadByte)
{
    size_t found = std::string_view::npos;
    for (size_t i = 0, width = 0; i < text.size(); i += width) {
        width = CharBytes(text, i, isLeadByte);
        if (width == 1 && text[i] == c)
            found = i;
    }
    return found;
}

}  // namespace

size_t LastCharOffset(std::string_view text, const LeadBytePredicate& isLeadByte)
{
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += CharBytes(text, i, isLeadByte))
        last = i;
    return last;
}

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
    const size_t separator = LastSingleByte(path, '\\', isLeadByte);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string LowerExtension(std::string_view path, const LeadBytePredicate& isLeadByte)
{
    const std::string name = FileNamePart(path, isLeadByte);
    const size_t dot = LastSingleByte(name, '.', isLeadByte);
    if (dot == std::string::npos)
        return {};
    std::string extension = name.substr(dot);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

}  // namespace veld
