// A palette for pictures that libjpeg cannot quantise itself (its two-pass quantiser
// takes three-component output only, and CMYK pictures are turned into RGB by us), made
// the way libjpeg makes one: median cut over a 5-6-5 bit histogram, then Floyd-Steinberg
// dithering to the nearest entry.
#pragma once

#include "core/Bmp.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veld {

class Quantiser {
public:
    Quantiser();

    // First pass: every row of the picture, blue, green, red per pixel.
    void Count(const uint8_t* bgr, size_t width);
    // Between the passes: at most colours entries standing for what was counted.
    std::vector<RgbQuad> ChoosePalette(int colours);
    // Second pass: the rows again, top to bottom, as palette indexes. The error of each
    // pixel spreads to its neighbours, also into the next row.
    void Map(const uint8_t* bgr, uint8_t* indexes, size_t width);

private:
    int Nearest(int red, int green, int blue);

    std::vector<uint32_t> histogram_;  // counts per 5-6-5 cell
    std::vector<uint8_t> palette_;     // red, green, blue per entry
    std::vector<uint16_t> nearest_;    // per 5-6-5 cell: its entry, once looked up
    std::vector<int> errors_;          // the next row's share, 3 per pixel and a margin
    bool leftToRight_ = true;
};

}  // namespace veld
