#include "core/Bmp.h"

#include <limits>
#include <stdexcept>

namespace veld {

size_t DibFormat::Stride() const
{
    const uint64_t bitsPerRow = static_cast<uint64_t>(width > 0 ? width : 0) * bitsPerPixel;
    return static_cast<size_t>((bitsPerRow + 31) / 32 * 4);
}

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A format that does not describe itself consistently would give a file that Windows
// reads differently; that is a programming error, not a user's.
void CheckFormat(const DibFormat& format)
{
    const bool eightBit = format.bitsPerPixel == 8;
    if (format.width <= 0 || format.height <= 0 || (!eightBit && format.bitsPerPixel != 24))
        throw std::invalid_argument("DIB with unsupported size or bit count");
    if (eightBit ? format.palette.size() > 256 : !format.palette.empty())
        throw std::invalid_argument("DIB palette does not fit its bit count");
}

}  // namespace

std::vector<uint8_t> BmpHeaders(const DibFormat& image)
{
    CheckFormat(image);
    const uint64_t headersSize =
        kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * static_cast<uint64_t>(image.palette.size());
    const uint64_t pixelBytes = static_cast<uint64_t>(image.Stride()) * static_cast<uint64_t>(image.height);
    if (headersSize + pixelBytes > std::numeric_limits<uint32_t>::max())
        throw std::invalid_argument("DIB too large for a BMP file");

    std::vector<uint8_t> out(static_cast<size_t>(headersSize), 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(headersSize + pixelBytes));
    Put32(out, 10, static_cast<uint32_t>(headersSize));

    const size_t info = kBmpFileHeaderSize;
    Put32(out, info + 0, kBmpInfoHeaderSize);
    Put32(out, info + 4, static_cast<uint32_t>(image.width));
    Put32(out, info + 8, static_cast<uint32_t>(image.height));
    Put16(out, info + 12, 1);
    Put16(out, info + 14, image.bitsPerPixel);
    Put32(out, info + 20, static_cast<uint32_t>(pixelBytes));
    Put32(out, info + 32, static_cast<uint32_t>(image.palette.size()));

    size_t at = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    for (const RgbQuad& entry : image.palette) {
        out[at++] = entry.blue;
        out[at++] = entry.green;
        out[at++] = entry.red;
        out[at++] = entry.reserved;
    }
    return out;
}

}  // namespace veld
