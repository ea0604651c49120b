// File-name rules shared by every part of the program. Paths are single-byte strings
// in the ANSI code page, so a double-byte code page must be taken into account when
// looking at the last character.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace veld {

// Tells whether a byte starts a double-byte character in the active code page.
using LeadBytePredicate = std::function<bool(unsigned char)>;

// The bytes of the character that starts at offset: 2 for a lead byte and its trail
// byte, 1 otherwise (also for a lead byte that ends the text). Every walk over a path
// goes front to back by these steps: only a forward walk knows a trail byte.
size_t CharBytes(std::string_view text, size_t offset, const LeadBytePredicate& isLeadByte);

// The last complete character of text: its byte offset, or npos when text is empty.
size_t LastCharOffset(std::string_view text, const LeadBytePredicate& isLeadByte);

// dir followed by name, with one backslash between them unless dir already ends in one.
std::string JoinPath(std::string_view dir, std::string_view name, const LeadBytePredicate& isLeadByte);

// Everything after the last backslash (the whole path when there is none).
std::string FileNamePart(std::string_view path, const LeadBytePredicate& isLeadByte);

// From the last '.' of the file name, dot included, ASCII letters lowered; empty
// when the name has no dot.
std::string LowerExtension(std::string_view path, const LeadBytePredicate& isLeadByte);

}  // namespace veld
