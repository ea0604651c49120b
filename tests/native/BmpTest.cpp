#include "core/Bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace veld {
namespace {

// The file the headers begin: headers, then the rows.
std::vector<uint8_t> FileOf(const DibImage& image)
{
    std::vector<uint8_t> file = BmpHeaders(image);
    file.insert(file.end(), image.pixels.begin(), image.pixels.end());
    return file;
}

DibImage Filled(int32_t width, int32_t height, uint16_t bits, size_t colours)
{
    DibImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    for (size_t i = 0; i < colours; ++i)
        image.palette.push_back({static_cast<uint8_t>(i), 0x20, 0x30, 0});
    image.pixels.resize(image.Stride() * static_cast<size_t>(std::max(height, 0)));
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(i * 7 + 1);
    return image;
}

TEST(BmpHeaders, AreLittleEndianBitmapInfoHeaders)
{
    // 5 pixels of 3 bytes need one byte of padding to reach 16 per row.
    const std::vector<uint8_t> file = FileOf(Filled(5, 2, 24, 0));
    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M', 86, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file size 54 + 32, pixels at 54
        40, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0,               // header size, width, height (bottom-up)
        1, 0, 24, 0, 0, 0, 0, 0, 32, 0, 0, 0,              // planes, bits, BI_RGB, image size
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    // resolution, colours used and important
    };
    // clang-format on
    ASSERT_EQ(file.size(), 86u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 54), expected);
    EXPECT_EQ(file[54], 1);
    EXPECT_EQ(file.back(), static_cast<uint8_t>(31 * 7 + 1));
}

TEST(BmpHeaders, EightBitFileCarriesItsColourTableInBlueGreenRedOrder)
{
    const std::vector<uint8_t> file = FileOf(Filled(3, 2, 8, 236));
    EXPECT_EQ(file[28], 8);
    EXPECT_EQ(file[46] | file[47] << 8, 236);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + 4 * 5, file.begin() + 54 + 4 * 6),
              (std::vector<uint8_t>{5, 0x20, 0x30, 0}));
    EXPECT_EQ(file[54 + 4 * 236], 1) << "pixels follow the table";
}

TEST(BmpHeaders, InconsistentImagesAreRejected)
{
    // A palette on a 24-bit image, more colours than 8 bits can index, an unknown bit
    // count, no width, and top-down rows, which the decoder never produces.
    const DibImage cases[] = {
        Filled(4, 4, 24, 2), Filled(4, 4, 8, 257), Filled(4, 4, 16, 0), Filled(0, 4, 24, 0), Filled(4, -4, 24, 0),
    };
    for (const DibImage& image : cases)
        EXPECT_THROW(BmpHeaders(image), std::invalid_argument) << image.width << "x" << image.height;
}

}  // namespace
}  // namespace veld
