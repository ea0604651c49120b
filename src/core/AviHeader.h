#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace veld {

struct AviHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frames = 0;
};

// The frame size and count from the main header ('avih') of an AVI file's first bytes;
// nothing when the bytes are not an AVI file.
std::optional<AviHeader> ReadAviHeader(std::span<const uint8_t> bytes);

}  // namespace veld
