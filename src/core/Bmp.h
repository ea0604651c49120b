// A decoded picture in the layout of a device-independent bitmap, which both
// StretchDIBits and a BMP file take as it is, and the BMP file's headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veld {

// One colour table entry, in the order the file stores it.
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;

    bool operator==(const RgbQuad&) const = default;
};

// What a picture is, without its pixels.
struct DibFormat {
    int32_t width = 0;
    int32_t height = 0;            // positive: the first stored row is the bottom one
    uint16_t bitsPerPixel = 24;    // 24 (blue, green, red) or 8 (palette indexes)
    std::vector<RgbQuad> palette;  // 8-bit only

    // Bytes per stored row: rows start on 4-byte boundaries.
    size_t Stride() const;
};

// A picture for the screen.
struct DibImage : DibFormat {
    std::vector<uint8_t> pixels;  // Stride() * height bytes
};

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;

// Everything a BMP file holds in front of the pixels: file header, BITMAPINFOHEADER
// and, for 8-bit images, the colour table. Resolution fields are 0 (no preference),
// as Windows writes them for screen bitmaps.
// Throws std::invalid_argument for a format the decoder never produces.
std::vector<uint8_t> BmpHeaders(const DibFormat& format);

}  // namespace veld
