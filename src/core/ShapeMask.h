// The window's outline from its background picture: every pixel of exactly the key
// colour (the top-left pixel's) is cut out of the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veld {

// Pixels [left, right) of row y have the key colour.
struct KeyRun {
    int y;
    int left;
    int right;

    bool operator==(const KeyRun&) const = default;
};

// The horizontal runs of key-colour pixels, row by row from the top, left to right.
// pixels holds height rows top-down of width pixels, 3 bytes each (blue, green, red),
// stride bytes apart. Matching is exact on all three bytes.
std::vector<KeyRun> KeyColourRuns(const uint8_t* pixels, int width, int height, size_t stride);

struct KeptRect {
    int left;
    int top;
    int right;
    int bottom;

    bool operator==(const KeptRect&) const = default;
};

// What the runs leave of the width x height rectangle, as rectangles the way a region
// keeps them: in bands from the top, neighbouring rows with the same kept spans in one
// band, spans left to right. runs are ordered as KeyColourRuns gives them.
std::vector<KeptRect> KeptRects(const std::vector<KeyRun>& runs, int width, int height);

}  // namespace veld
