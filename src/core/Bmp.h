// A decoded picture in the layout Windows wants for device-independent bitmaps, and
// the BMP file around it. The same bytes serve CreateDIBSection, StretchDIBits and the
// wallpaper file, so nothing is converted between decoding and showing or saving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

struct DibImage {
    int32_t width = 0;
    int32_t height = 0;            // positive: the first stored row is the bottom one
    uint16_t bitsPerPixel = 24;    // 24 (blue, green, red) or 8 (palette indexes)
    std::vector<RgbQuad> palette;  // 8-bit only
    std::vector<uint8_t> pixels;   // Stride() * height bytes

    // Bytes per stored row: rows start on 4-byte boundaries.
    size_t Stride() const;
};

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;

// Everything a BMP file holds in front of the pixels: file header, BITMAPINFOHEADER
// and, for 8-bit images, the colour table. Resolution fields are 0 (no preference),
// as Windows writes them for screen bitmaps.
std::vector<uint8_t> BmpHeaders(const DibImage& image);

// Writes headers and pixels to path, replacing the file. Throws Error when it cannot.
void WriteBmpFile(const std::string& path, const DibImage& image);

}  // namespace veld
