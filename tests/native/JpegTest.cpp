#include "core/Jpeg.h"
#include "core/Bmp.h"
#include "core/Texts.h"

#include <gtest/gtest.h>

#include "TempDir.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "JpegFixture.h"

namespace veld {
namespace {

namespace fs = std::filesystem;

// How a fixture is compressed. Defaults give a small 4:2:0 colour baseline file.
using Encoding = fixture::JpegRecipe;

std::vector<uint8_t> Encode(const Encoding& e)
{
    return fixture::EncodeJpeg(e);
}

// A progressive script for one-component files: the DC scan, then every AC coefficient
// on its own, its bits sent one at a time. Valid, and 694 scans long.
std::vector<jpeg_scan_info> OneCoefficientPerScan(size_t count)
{
    std::vector<jpeg_scan_info> scans;
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k) {
        scans.push_back({1, {0}, k, k, 0, 10});
        for (int bit = 9; bit >= 0; --bit)
            scans.push_back({1, {0}, k, k, bit + 1, bit});
    }
    scans.resize(std::min(count, scans.size()));
    return scans;
}

// Offset of the first marker segment of one of the given kinds, or 0.
size_t FindMarker(const std::vector<uint8_t>& file, std::initializer_list<uint8_t> kinds)
{
    for (size_t at = 2; at + 4 < file.size(); at += 2 + (static_cast<size_t>(file[at + 2]) << 8 | file[at + 3])) {
        if (std::find(kinds.begin(), kinds.end(), file[at + 1]) != kinds.end())
            return at;
    }
    return 0;
}

// Claims another size in the frame header, leaving the data as it is.
void ClaimSize(std::vector<uint8_t>& file, uint16_t width, uint16_t height)
{
    const size_t frame = FindMarker(file, {0xC0, 0xC1, 0xC2});
    ASSERT_NE(frame, 0u);
    file[frame + 5] = static_cast<uint8_t>(height >> 8);
    file[frame + 6] = static_cast<uint8_t>(height);
    file[frame + 7] = static_cast<uint8_t>(width >> 8);
    file[frame + 8] = static_cast<uint8_t>(width);
}

std::vector<uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void RunTool(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Checks our file's own layout and that Windows would read the same picture from it as
// from djpeg's, which leaves biSizeImage 0, copies the JFIF density and pads its palette
// to 256 entries.
void ExpectSamePicture(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& djpeg)
{
    ASSERT_GE(ours.size(), 54u);
    ASSERT_GE(djpeg.size(), 54u);
    const uint32_t colours = Get32(ours, 46);
    const uint32_t offset = Get32(ours, 10);
    EXPECT_EQ(offset, 54 + 4 * colours);
    EXPECT_EQ(Get32(ours, 2), ours.size());
    EXPECT_EQ(Get32(ours, 34), ours.size() - offset);
    for (size_t field : {18, 22, 26})  // width, height, planes and bit count
        EXPECT_EQ(Get32(ours, field), Get32(djpeg, field)) << "field at " << field;
    EXPECT_TRUE(std::equal(ours.begin() + 54, ours.begin() + offset, djpeg.begin() + 54)) << "palettes differ";
    const uint32_t theirOffset = Get32(djpeg, 10);
    EXPECT_TRUE(std::equal(ours.begin() + offset, ours.end(), djpeg.begin() + theirOffset, djpeg.end()))
        << "pixels differ from djpeg's";
}

// Decodes for the screen; the BMP file made of it, as the wallpaper's is, goes to
// bmpFile when asked for.
DibImage Decode(const std::vector<uint8_t>& file, bool eightBitScreen = false, std::vector<uint8_t>* bmpFile = nullptr)
{
    DecodeOptions options;
    options.eightBitScreen = eightBitScreen;
    options.displayName = L"Bild.jpg";
    DibImage image = DecodeJpeg(file, options);
    if (bmpFile != nullptr) {
        *bmpFile = BmpHeaders(image);
        bmpFile->insert(bmpFile->end(), image.pixels.begin(), image.pixels.end());
    }
    return image;
}

using JpegDecoding = fixture::TempDirTest;

TEST_F(JpegDecoding, PicturesComeOutAsDjpegWritesThem)
{
    Encoding odd;
    odd.width = 61;  // rows need padding in both bit depths
    odd.height = 37;
    Encoding grey = odd;
    grey.input = JCS_GRAYSCALE;
    Encoding full;
    full.lumaSampling = 1;
    Encoding rgb;
    rgb.stored = JCS_RGB;
    Encoding progressive = odd;
    progressive.progressive = true;
    struct Case {
        const char* name;
        Encoding encoding;
        bool eightBitScreen;
        uint16_t bits;
    };
    const Case cases[] = {
        {"colour", odd, false, 24},
        {"colour444", full, false, 24},
        {"storedRgb", rgb, false, 24},
        {"progressive", progressive, false, 24},
        {"greyscale", grey, false, 8},
        {"greyscaleOnEightBitScreen", grey, true, 8},
        {"colourOnEightBitScreen", odd, true, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> jpeg = Encode(c.encoding);
        std::vector<uint8_t> bmp;
        const DibImage image = Decode(jpeg, c.eightBitScreen, &bmp);
        EXPECT_EQ(image.bitsPerPixel, c.bits);
        EXPECT_LE(image.palette.size(), 236u);
        const std::string base = (dir_ / c.name).string();
        std::ofstream(base + ".jpg", std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
        // A progressive file is compared with djpeg's picture of its baseline twin.
        std::string reference = base + ".jpg";
        if (c.encoding.progressive) {
            RunTool("jpegtran -outfile '" + base + ".baseline.jpg' '" + reference + "'");
            reference = base + ".baseline.jpg";
        }
        RunTool("djpeg -bmp " + std::string(c.bits == 8 ? "-colors 236" : "") + " -outfile '" + base + ".djpeg.bmp' '" +
                reference + "'");
        ExpectSamePicture(bmp, ReadFile(base + ".djpeg.bmp"));
    }
}

// Print pictures, which djpeg refuses: GraphicsMagick's conversion is the reference.
// Dithering moves single pixels, so pictures are compared as averages of 4 x 4 blocks.
TEST_F(JpegDecoding, CmykPicturesComeOutAsGraphicsMagickConvertsThem)
{
    Encoding cmyk;
    cmyk.input = JCS_CMYK;
    Encoding ycck = cmyk;
    ycck.stored = JCS_YCCK;
    for (const auto& [name, encoding] : {std::pair{"cmyk", cmyk}, std::pair{"ycck", ycck}}) {
        const std::vector<uint8_t> jpeg = Encode(encoding);
        const std::string base = (dir_ / name).string();
        std::ofstream(base + ".jpg", std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
        RunTool("gm convert '" + base + ".jpg' -colorspace RGB -depth 8 '" + base + ".ppm'");
        const std::vector<uint8_t> ppm = ReadFile(base + ".ppm");
        const size_t header = ppm.size() - size_t{3} * encoding.width * encoding.height;
        for (bool eightBitScreen : {false, true}) {
            SCOPED_TRACE(std::string(name) + (eightBitScreen ? " on an eight-bit screen" : ""));
            const DibImage image = Decode(jpeg, eightBitScreen);
            ASSERT_EQ(image.bitsPerPixel, eightBitScreen ? 8 : 24);
            EXPECT_LE(image.palette.size(), 236u);
            const auto ours = [&](int x, int y, int c) {
                const uint8_t* row = image.pixels.data() + (image.height - 1 - y) * image.Stride();
                if (!eightBitScreen)
                    return int{row[3 * x + 2 - c]};
                const RgbQuad& colour = image.palette.at(row[x]);
                return int{c == 0 ? colour.red : c == 1 ? colour.green : colour.blue};
            };
            double difference = 0;
            for (int y = 0; y < encoding.height; y += 4)
                for (int x = 0; x < encoding.width; x += 4)
                    for (int c = 0; c < 3; ++c) {
                        int sum = 0;
                        for (int i = 0; i < 16; ++i)
                            sum += ours(x + i % 4, y + i / 4, c) -
                                   ppm[header + 3 * ((y + i / 4) * encoding.width + x + i % 4) + c];
                        difference += std::abs(sum) / 16.0;
                    }
            difference /= encoding.width * encoding.height * 3 / 16;
            // The fixed palette for inks has 6 levels a colour: its dithered blocks are coarser.
            EXPECT_LE(difference, eightBitScreen ? 2.5 : 1.0);
        }
    }
}

TEST(JpegErrors, LibjpegRefusalsCarryItsMessageNumber)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        int number;
    };
    const Case cases[] = {
        {"empty file", {}, 42},
        {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, 53},
        {"only the start marker", {0xFF, 0xD8}, 51},  // JERR_NO_IMAGE
    };
    for (const Case& c : cases) {
        for (bool eightBitScreen : {false, true}) {
            try {
                Decode(c.file, eightBitScreen);
                ADD_FAILURE() << c.name << " decoded";
            } catch (const JpegError& e) {
                EXPECT_EQ(e.number(), c.number) << c.name;
                EXPECT_EQ(e.what(), texts::JpegError(c.number)) << c.name;
            }
        }
    }
}

TEST(JpegDecodingLimits, DamagedEndOfFileShowsWhatIsThere)
{
    Encoding e;
    e.width = e.height = 256;
    const std::vector<uint8_t> whole = Encode(e);
    const DibImage full = Decode(whole);
    const auto cut = [&](size_t keep) { return std::vector<uint8_t>(whole.begin(), whole.begin() + keep); };
    // The scan once more where the end marker should be: the picture is complete by then.
    std::vector<uint8_t> scanAgain = cut(whole.size() - 2);
    scanAgain.insert(scanAgain.end(), whole.begin() + FindMarker(whole, {0xDA}), whole.end());
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        bool whole;  // all of the picture's data is there
    };
    const Case cases[] = {
        {"a quarter", cut(whole.size() / 4), false},
        {"half", cut(whole.size() / 2), false},
        {"no end marker", cut(whole.size() - 2), true},
        {"a second scan after the picture", scanAgain, true},
    };
    for (const Case& c : cases) {
        // Where only a whole picture will do, the rest is refused.
        DecodeOptions wholeOnly;
        wholeOnly.wholePictureOnly = true;
        try {
            DecodeJpeg(c.file, wholeOnly);
            EXPECT_TRUE(c.whole) << c.name;
        } catch (const PictureError& error) {
            EXPECT_FALSE(c.whole) << c.name;
            EXPECT_EQ(error.Reason(), texts::kIncomplete) << c.name;
        }
        const DibImage part = Decode(c.file);
        ASSERT_EQ(part.width, 256) << c.name;
        ASSERT_EQ(part.height, 256) << c.name;
        // The top 16 rows (stored last) come from data that is entirely there.
        const size_t topRows = 16 * full.Stride();
        EXPECT_TRUE(std::equal(part.pixels.end() - topRows, part.pixels.end(), full.pixels.end() - topRows)) << c.name;
    }
}

TEST(JpegDecodingLimits, OversizedPicturesAreRefusedBeforeDecoding)
{
    struct Case {
        uint16_t width, height;
        bool refused;
        uint64_t maxPixels = kMaxJpegPixels;  // lowered by the fuzzer
    };
    const Case cases[] = {
        {65500, 65500, true}, {16385, 16, true},           {16, 16385, true},
        {9000, 8000, true},   {8192, 8193, true},          {16384, 16, false},
        {16, 16384, false},   {1025, 1024, true, 1 << 20}, {1024, 1024, false, 1 << 20},
    };
    const std::vector<uint8_t> small = Encode({});
    for (const Case& c : cases) {
        std::vector<uint8_t> file = small;
        ClaimSize(file, c.width, c.height);
        const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
        DecodeOptions options;
        options.displayName = L"Bild.jpg";
        options.maxPixels = c.maxPixels;
        try {
            const DibImage image = DecodeJpeg(file, options);
            EXPECT_FALSE(c.refused) << size << " decoded";
            EXPECT_EQ(image.width, c.width);
        } catch (const JpegError& e) {
            ADD_FAILURE() << size << ": " << e.what();
        } catch (const Error& e) {
            EXPECT_TRUE(c.refused) << size;
            EXPECT_EQ(e.what(), texts::PictureRefused(L"Bild.jpg", texts::TooLarge(size + " Pixel")).Plain());
        }
    }
}

TEST(JpegDecodingLimits, FilesWithTooManyScansAreRefused)
{
    Encoding e;
    e.input = JCS_GRAYSCALE;
    e.progressive = true;
    for (size_t scans : {size_t{100}, size_t{101}, size_t{694}}) {
        e.scans = OneCoefficientPerScan(scans);
        ASSERT_EQ(e.scans.size(), scans);
        const std::vector<uint8_t> file = Encode(e);
        if (scans <= kMaxJpegScans) {
            EXPECT_EQ(Decode(file).width, e.width);
            continue;
        }
        try {
            Decode(file);
            ADD_FAILURE() << scans << " scans decoded";
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), texts::PictureRefused(L"Bild.jpg", texts::TooManyScans(100)).Plain());
        }
    }
}

TEST(JpegDecodingLimits, WholeImageBuffersOverTheBudgetGiveLibjpegsError)
{
    Encoding baseline;
    baseline.width = baseline.height = 512;
    Encoding progressive = baseline;
    progressive.progressive = true;
    Encoding cmyk = baseline;
    cmyk.input = JCS_CMYK;
    struct Case {
        const char* name;
        Encoding encoding;
        bool eightBitScreen;
        bool needsWholeImage;
    };
    const Case cases[] = {
        {"baseline", baseline, false, false},
        {"baseline on an eight-bit screen", baseline, true, true},
        {"progressive", progressive, false, true},
        {"CMYK", cmyk, false, false},
        {"CMYK on an eight-bit screen", cmyk, true, false},
    };
    for (const Case& c : cases) {
        DecodeOptions options;
        options.eightBitScreen = c.eightBitScreen;
        options.memoryLimit = 256 * 1024;
        try {
            DecodeJpeg(Encode(c.encoding), options);
            EXPECT_FALSE(c.needsWholeImage) << c.name;
        } catch (const JpegError& e) {
            EXPECT_TRUE(c.needsWholeImage) << c.name;
            EXPECT_EQ(e.number(), 49) << c.name;  // JERR_NO_BACKING_STORE
        }
    }
}

TEST(JpegDecodingLimits, LargestPicturesDecode)
{
    Encoding eightK;
    eightK.width = 7680;
    eightK.height = 4320;
    eightK.quality = 30;
    // The most libjpeg ever holds: full-resolution coefficients of every component and
    // the quantiser's copy of the whole picture.
    Encoding largest;
    largest.width = kMaxJpegSide;
    largest.height = static_cast<int>(kMaxJpegPixels / kMaxJpegSide);
    largest.quality = 10;
    largest.progressive = true;
    largest.lumaSampling = 1;
    for (const auto& [encoding, eightBitScreen] : {std::pair{eightK, false}, std::pair{largest, true}}) {
        const DibImage image = Decode(Encode(encoding), eightBitScreen);
        EXPECT_EQ(image.width, encoding.width);
        EXPECT_EQ(image.height, encoding.height);
        EXPECT_EQ(image.pixels.size(), image.Stride() * static_cast<size_t>(encoding.height));
    }
}

}  // namespace
}  // namespace veld
