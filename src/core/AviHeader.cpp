#include "core/AviHeader.h"

#include <cstring>

namespace veld {

namespace {

uint32_t Le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<AviHeader> ReadAviHeader(std::span<const uint8_t> bytes)
{
    // RIFF 'AVI ' LIST 'hdrl' 'avih' <size> MainAVIHeader: the fields sit at fixed places.
    constexpr size_t kAvih = 24;
    constexpr size_t kHeader = kAvih + 8;
    constexpr size_t kTotalFrames = kHeader + 16;
    constexpr size_t kWidth = kHeader + 32;
    constexpr size_t kHeight = kHeader + 36;
    if (bytes.size() < kHeight + 4)
        return std::nullopt;
    const uint8_t* p = bytes.data();
    if (std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "AVI ", 4) != 0 || std::memcmp(p + 12, "LIST", 4) != 0 ||
        std::memcmp(p + 20, "hdrl", 4) != 0 || std::memcmp(p + kAvih, "avih", 4) != 0 || Le32(p + kAvih + 4) < 40)
        return std::nullopt;
    return AviHeader{Le32(p + kWidth), Le32(p + kHeight), Le32(p + kTotalFrames)};
}

}  // namespace veld
