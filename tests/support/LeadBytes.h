// Code pages for the tests of the double-byte path rules: a single-byte one such as
// Windows-1252, and 932 (Japanese Shift-JIS).
#pragma once

namespace veld {

inline constexpr auto NoLeadBytes = [](unsigned char) { return false; };
inline constexpr auto CodePage932LeadByte = [](unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
};

}  // namespace veld
