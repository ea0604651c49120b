// The window's display scale: the layout is drawn for 96 dots per inch, and at any other
// scale every place, size and picture is that many times larger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace veld {

constexpr int kDesignDpi = 96;

// A coordinate of the layout at dpi, rounded to the nearest pixel (halves up). A
// rectangle is scaled by its edges, so neighbours that touch still touch.
constexpr int Scaled(int value, int dpi)
{
    const long long product = static_cast<long long>(value) * dpi;
    return static_cast<int>(product >= 0 ? (product + kDesignDpi / 2) / kDesignDpi
                                         : -((-product + kDesignDpi / 2 - 1) / kDesignDpi));
}

// The scale for a window designed width x height at 96 dpi on a work area of that size:
// dpi itself when the window fits; otherwise the largest of the system's own steps (100,
// 125, 150, 175, 200, 225, 250 and 300 %) below dpi at which it fits, never under 100 %.
int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight);

// A picture of 24-bit rows (blue, green, red; stride bytes apart, top row first) made
// width x height (never smaller): each new pixel is the average of the old pixels it
// covers, weighted by how much of it they cover, so whole factors repeat pixels. With a
// key colour, key pixels never mix with the others: a new pixel is the key colour where
// key pixels cover more than half of it, otherwise the average of the others alone (never
// the key colour itself). The result's rows are packed to 4 bytes.
std::vector<uint8_t> EnlargePixels(const uint8_t* pixels, int width, int height, size_t stride, int newWidth,
                                   int newHeight, std::optional<uint32_t> keyColour);

}  // namespace veld
