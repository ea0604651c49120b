#include "core/Bmp.h"

#include "core/Error.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <stdexcept>

namespace veld {

size_t DibImage::Stride() const
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

// An image that does not describe itself consistently would give a file whose header
// promises bytes that are not there; that is a programming error, not a user's.
void CheckLayout(const DibImage& image)
{
    const bool eightBit = image.bitsPerPixel == 8;
    if (image.width <= 0 || image.height <= 0 || (!eightBit && image.bitsPerPixel != 24))
        throw std::invalid_argument("DIB with unsupported size or bit count");
    if (eightBit ? image.palette.size() > 256 : !image.palette.empty())
        throw std::invalid_argument("DIB palette does not fit its bit count");
    if (image.pixels.size() != static_cast<uint64_t>(image.Stride()) * static_cast<uint64_t>(image.height))
        throw std::invalid_argument("DIB pixel buffer does not match its size");
}

}  // namespace

std::vector<uint8_t> BmpHeaders(const DibImage& image)
{
    CheckLayout(image);
    const uint64_t headersSize =
        kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * static_cast<uint64_t>(image.palette.size());
    const uint64_t pixelBytes = image.pixels.size();
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

void WriteBmpFile(const std::string& path, const DibImage& image)
{
    const std::vector<uint8_t> headers = BmpHeaders(image);
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "wb"));
    bool written = file != nullptr && std::fwrite(headers.data(), 1, headers.size(), file.get()) == headers.size() &&
                   std::fwrite(image.pixels.data(), 1, image.pixels.size(), file.get()) == image.pixels.size();
    // A full disk may only show when the buffered tail is flushed.
    if (file != nullptr && std::fclose(file.release()) != 0)
        written = false;
    if (!written)
        throw Error("Die Datei \"" + path + "\" kann nicht geschrieben werden.");
}

}  // namespace veld
