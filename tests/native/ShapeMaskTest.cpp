#include "core/AviHeader.h"
#include "core/Scale.h"
#include "core/ShapeMask.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace veld {
namespace {

// A picture drawn from text rows: 'k' key colour (10,10,10), 'n' near key (10,10,11),
// anything else a panel colour.
struct Picture {
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<uint8_t> pixels;
};

Picture Draw(const std::vector<std::string>& rows)
{
    Picture picture;
    picture.width = static_cast<int>(rows.front().size());
    picture.height = static_cast<int>(rows.size());
    picture.stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
    picture.pixels.assign(picture.stride * rows.size(), 0xEE);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            uint8_t* p = picture.pixels.data() + y * picture.stride + x * 3;
            const char c = rows[y][x];
            const uint8_t bgr[3] = {static_cast<uint8_t>(c == 'n'   ? 11
                                                         : c == 'k' ? 10
                                                                    : 220),
                                    static_cast<uint8_t>(c == 'k' || c == 'n' ? 10 : 183),
                                    static_cast<uint8_t>(c == 'k' || c == 'n' ? 10 : 142)};
            std::memcpy(p, bgr, 3);
        }
    }
    return picture;
}

std::vector<KeyRun> Runs(const Picture& p)
{
    return KeyColourRuns(p.pixels.data(), p.width, p.height, p.stride);
}

TEST(ShapeMask, KeyRunsAreExactMatchesIncludingInteriorHoles)
{
    const Picture picture = Draw({
        "kkk.....kk",
        "k..n.....k",
        "k..kk.k..k",
        "kk......kk",
    });
    const std::vector<KeyRun> expected = {
        {0, 0, 3}, {0, 8, 10}, {1, 0, 1},  {1, 9, 10}, {2, 0, 1},
        {2, 3, 5}, {2, 6, 7},  {2, 9, 10}, {3, 0, 2},  {3, 8, 10},
    };
    EXPECT_EQ(Runs(picture), expected);

    // What the runs leave, in bands as a region keeps them: rows 1 and 2 differ (the
    // holes of row 2), row 3 stands alone, nothing of a fully keyed row.
    const std::vector<KeptRect> kept = {
        {3, 0, 8, 1}, {1, 1, 9, 2}, {1, 2, 3, 3}, {5, 2, 6, 3}, {7, 2, 9, 3}, {2, 3, 8, 4},
    };
    EXPECT_EQ(KeptRects(Runs(picture), picture.width, picture.height), kept);
    const Picture banded = Draw({"k...", "k...", "k...", "kkkk", "....", "...."});
    EXPECT_EQ(KeptRects(Runs(banded), banded.width, banded.height),
              (std::vector<KeptRect>{{1, 0, 4, 3}, {0, 4, 4, 6}}));
}

TEST(ShapeMask, KeyColourIsTheTopLeftPixelWhateverItIs)
{
    // Without other key pixels only the corner goes.
    EXPECT_EQ(Runs(Draw({"k....", ".....", "....."})), (std::vector<KeyRun>{{0, 0, 1}}));
    // A panel-coloured corner makes the panel colour the key.
    EXPECT_EQ(Runs(Draw({"..k", "k.k"})), (std::vector<KeyRun>{{0, 0, 2}, {1, 1, 2}}));
    // A near-key corner keys only near-key pixels.
    EXPECT_EQ(Runs(Draw({"nk", "kn"})), (std::vector<KeyRun>{{0, 0, 1}, {1, 1, 2}}));
}

TEST(ShapeMask, RowPaddingIsNotReadAsPixels)
{
    Picture picture = Draw({"k.", ".."});
    // Stride 8 for 2 pixels: poison the two padding bytes of each row with the key colour.
    for (int y = 0; y < picture.height; ++y)
        std::memset(picture.pixels.data() + y * picture.stride + 6, 10, 2);
    EXPECT_EQ(Runs(picture), (std::vector<KeyRun>{{0, 0, 1}}));
}

TEST(Scale, WholeFactorsRepeatPixelsAndOtherFactorsLeaveNoFringeAtTheKey)
{
    // The pixel at x, y of a picture width pixels wide, its rows padded to four bytes.
    const auto at = [](const std::vector<uint8_t>& pixels, int width, int x, int y) {
        return &pixels[y * ((static_cast<size_t>(width) * 3 + 3) & ~size_t{3}) + x * 3];
    };
    const Picture picture = Draw({"kk.n", "k..k", "kkkk"});
    const std::vector<uint8_t> doubled = EnlargePixels(picture.pixels.data(), 4, 3, picture.stride, 8, 6, 0x0A0A0A);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(std::memcmp(at(doubled, 8, x, y), at(picture.pixels, 4, x / 2, y / 2), 3), 0) << x << "," << y;
    // At 1.5 and 1.75 every pixel is the key colour or a mix of kept pixels alone: here
    // the panel's colour exactly.
    const Picture panel = Draw({"kk..", "k..k", "kkkk"});
    for (const auto& [w, h] : {std::pair{6, 5}, std::pair{7, 6}}) {
        const std::vector<uint8_t> larger = EnlargePixels(panel.pixels.data(), 4, 3, panel.stride, w, h, 0x0A0A0A);
        int keyed = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = at(larger, w, x, y);
                const bool key = p[0] == 10 && p[1] == 10 && p[2] == 10;
                keyed += key;
                EXPECT_TRUE(key || (p[0] == 220 && p[1] == 183 && p[2] == 142)) << x << "," << y;
            }
        EXPECT_NEAR(keyed, 8.0 * w * h / 12, w * h / 6.0) << w;
    }
}

TEST(Scale, EdgesRoundToTheNearestPixelAndTheWindowFitsItsWorkArea)
{
    EXPECT_EQ(Scaled(503, 96), 503);
    EXPECT_EQ(Scaled(503, 120), 629);  // 628.75
    EXPECT_EQ(Scaled(5, 144), 8);      // 7.5, halves up
    EXPECT_EQ(Scaled(739, 288) - Scaled(503, 288), 3 * 236);
    struct Case {
        int dpi, workWidth, workHeight, expected;
    };
    for (const Case& c : {Case{192, 1920, 1080, 192}, Case{192, 1920, 1040, 168}, Case{192, 1280, 984, 144},
                          Case{288, 1600, 1160, 192}, Case{144, 1024, 738, 120}, Case{192, 800, 560, 96},
                          Case{120, 640, 480, 96}, Case{72, 640, 480, 96}, Case{200, 1600, 1200, 200}}) {
        EXPECT_EQ(FittingDpi(c.dpi, 762, 540, c.workWidth, c.workHeight), c.expected)
            << c.dpi << " on " << c.workWidth << "x" << c.workHeight;
    }
}

std::vector<uint8_t> AviBytes(uint32_t width, uint32_t height, uint32_t frames)
{
    std::vector<uint8_t> bytes(96, 0);
    auto put = [&](size_t at, const char* text) { std::memcpy(bytes.data() + at, text, 4); };
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0, "RIFF");
    put(8, "AVI ");
    put(12, "LIST");
    put(20, "hdrl");
    put(24, "avih");
    put32(28, 56);
    put32(32 + 16, frames);
    put32(32 + 32, width);
    put32(32 + 36, height);
    return bytes;
}

TEST(AviHeader, FrameSizeAndCountComeFromTheMainHeader)
{
    const auto header = ReadAviHeader(AviBytes(154, 115, 24));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 154u);
    EXPECT_EQ(header->height, 115u);
    EXPECT_EQ(header->frames, 24u);

    std::vector<uint8_t> notAvi = AviBytes(154, 115, 24);
    std::memcpy(notAvi.data() + 8, "WAVE", 4);
    EXPECT_FALSE(ReadAviHeader(notAvi));
    const std::vector<uint8_t> whole = AviBytes(1, 1, 1);
    EXPECT_FALSE(ReadAviHeader(std::span(whole.data(), 40)));
    EXPECT_FALSE(ReadAviHeader({}));
}

}  // namespace
}  // namespace veld
