#include "core/Bmp.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include "TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace veld {
namespace {

namespace fs = std::filesystem;

class BmpFile : public fixture::TempDirTest {
protected:
    std::vector<uint8_t> WriteAndRead(const DibImage& image)
    {
        const fs::path path = dir_ / "out.bmp";
        WriteBmpFile(path.string(), image);
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

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

TEST_F(BmpFile, HeadersAreLittleEndianBitmapInfoHeaders)
{
    // 5 pixels of 3 bytes need one byte of padding to reach 16 per row.
    const std::vector<uint8_t> file = WriteAndRead(Filled(5, 2, 24, 0));
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

TEST_F(BmpFile, EightBitFileCarriesItsColourTableInBlueGreenRedOrder)
{
    const std::vector<uint8_t> file = WriteAndRead(Filled(3, 2, 8, 236));
    EXPECT_EQ(file[28], 8);
    EXPECT_EQ(file[46] | file[47] << 8, 236);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + 4 * 5, file.begin() + 54 + 4 * 6),
              (std::vector<uint8_t>{5, 0x20, 0x30, 0}));
    EXPECT_EQ(file[54 + 4 * 236], 1) << "pixels follow the table";
}

TEST(BmpHeaders, InconsistentImagesAreRejected)
{
    DibImage shortPixels = Filled(4, 4, 24, 0);
    shortPixels.pixels.pop_back();
    // A palette on a 24-bit image, more colours than 8 bits can index, an unknown bit
    // count, no width, and top-down rows, which the decoder never produces.
    const DibImage cases[] = {
        shortPixels,         Filled(4, 4, 24, 2), Filled(4, 4, 8, 257),
        Filled(4, 4, 16, 0), Filled(0, 4, 24, 0), Filled(4, -4, 24, 0),
    };
    for (const DibImage& image : cases)
        EXPECT_THROW(BmpHeaders(image), std::invalid_argument) << image.width << "x" << image.height;
}

TEST_F(BmpFile, UnwritablePlaceGivesAnErrorNamingTheFile)
{
    // A folder where the file should go stops root as well.
    const fs::path path = dir_ / "taken.bmp";
    fs::create_directory(path);
    try {
        WriteBmpFile(path.string(), Filled(2, 2, 24, 0));
        FAIL() << "written";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Die Datei \"" + path.string() + "\" kann nicht geschrieben werden.");
    }
}

}  // namespace
}  // namespace veld
