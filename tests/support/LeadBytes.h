// Code pages for the tests of the double-byte path rules.
#pragma once

namespace veld {

// A single-byte code page such as Windows-1252.
inline bool NoLeadBytes(unsigned char)
{
    return false;
}

// Code page 932 (Japanese Shift-JIS).
inline bool CodePage932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace veld
