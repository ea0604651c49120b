#include "core/Quantise.h"

#include <algorithm>
#include <array>

namespace veld {

namespace {

// Red, green, blue: histogram cells per axis, the bits a cell drops, and how strongly the
// eye tells values apart along the axis (libjpeg's weights).
constexpr std::array<int, 3> kCells = {32, 64, 32};
constexpr std::array<int, 3> kShift = {3, 2, 3};
constexpr std::array<int, 3> kWeight = {2, 3, 1};
constexpr uint16_t kUnknown = 0xFFFF;

size_t Cell(int red, int green, int blue)
{
    return static_cast<size_t>(red >> kShift[0]) << 11 | static_cast<size_t>(green >> kShift[1]) << 5 |
           static_cast<size_t>(blue >> kShift[2]);
}

// Cells lo to hi (inclusive) on each axis, shrunk to those that were counted.
struct Box {
    std::array<int, 3> lo{};
    std::array<int, 3> hi{};
    uint64_t count = 0;
    uint64_t volume = 0;  // weighted squared extent: 0 for a single cell
};

void Shrink(Box& box, const std::vector<uint32_t>& histogram)
{
    std::array<int, 3> lo = box.hi;
    std::array<int, 3> hi = box.lo;
    box.count = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const uint32_t count =
                    histogram[static_cast<size_t>(r) << 11 | static_cast<size_t>(g) << 5 | static_cast<size_t>(b)];
                if (count == 0)
                    continue;
                box.count += count;
                const std::array<int, 3> at = {r, g, b};
                for (int c = 0; c < 3; ++c) {
                    lo[c] = std::min(lo[c], at[c]);
                    hi[c] = std::max(hi[c], at[c]);
                }
            }
    if (box.count == 0)
        return;
    box.lo = lo;
    box.hi = hi;
    box.volume = 0;
    for (int c = 0; c < 3; ++c) {
        const uint64_t extent = static_cast<uint64_t>((hi[c] - lo[c]) << kShift[c]) * kWeight[c];
        box.volume += extent * extent;
    }
}

// The counted cells' average colour, from the middle of each cell.
std::array<uint8_t, 3> Average(const Box& box, const std::vector<uint32_t>& histogram)
{
    std::array<uint64_t, 3> sum{};
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const uint64_t count =
                    histogram[static_cast<size_t>(r) << 11 | static_cast<size_t>(g) << 5 | static_cast<size_t>(b)];
                const std::array<int, 3> at = {r, g, b};
                for (int c = 0; c < 3; ++c)
                    sum[c] += count * static_cast<uint64_t>((at[c] << kShift[c]) + (1 << kShift[c]) / 2);
            }
    std::array<uint8_t, 3> colour{};
    for (int c = 0; c < 3; ++c)
        colour[c] = static_cast<uint8_t>((sum[c] + box.count / 2) / box.count);
    return colour;
}

}  // namespace

Quantiser::Quantiser() : histogram_(size_t{1} << 16), nearest_(size_t{1} << 16, kUnknown) {}

void Quantiser::Count(const uint8_t* bgr, size_t width)
{
    for (size_t x = 0; x < width; ++x, bgr += 3) {
        uint32_t& count = histogram_[Cell(bgr[2], bgr[1], bgr[0])];
        if (count != UINT32_MAX)
            ++count;
    }
}

std::vector<RgbQuad> Quantiser::ChoosePalette(int colours)
{
    std::vector<Box> boxes(1);
    for (int c = 0; c < 3; ++c)
        boxes[0].hi[c] = kCells[c] - 1;
    Shrink(boxes[0], histogram_);
    while (boxes[0].count > 0 && boxes.size() < static_cast<size_t>(colours)) {
        // As libjpeg does: first split the fullest boxes, then the widest.
        const bool byCount = boxes.size() * 2 <= static_cast<size_t>(colours);
        Box* split = nullptr;
        for (Box& box : boxes) {
            if (box.volume > 0 &&
                (split == nullptr || (byCount ? box.count > split->count : box.volume > split->volume)))
                split = &box;
        }
        if (split == nullptr)
            break;  // every box is a single cell
        int axis = 0;
        for (int c = 1; c < 3; ++c) {
            if (((split->hi[c] - split->lo[c]) << kShift[c]) * kWeight[c] >
                ((split->hi[axis] - split->lo[axis]) << kShift[axis]) * kWeight[axis])
                axis = c;
        }
        Box upper = *split;
        split->hi[axis] = (split->lo[axis] + split->hi[axis]) / 2;
        upper.lo[axis] = split->hi[axis] + 1;
        Shrink(*split, histogram_);
        Shrink(upper, histogram_);
        boxes.push_back(upper);
    }
    std::vector<RgbQuad> palette;
    palette_.clear();
    for (const Box& box : boxes) {
        if (box.count == 0)
            continue;
        const std::array<uint8_t, 3> colour = Average(box, histogram_);
        palette_.insert(palette_.end(), colour.begin(), colour.end());
        palette.push_back(RgbQuad{colour[2], colour[1], colour[0], 0});
    }
    return palette;
}

int Quantiser::Nearest(int red, int green, int blue)
{
    uint16_t& entry = nearest_[Cell(red, green, blue)];
    if (entry != kUnknown)
        return entry;
    // The middle of the cell stands for all of it.
    const std::array<int, 3> want = {(red >> kShift[0] << kShift[0]) + (1 << kShift[0]) / 2,
                                     (green >> kShift[1] << kShift[1]) + (1 << kShift[1]) / 2,
                                     (blue >> kShift[2] << kShift[2]) + (1 << kShift[2]) / 2};
    uint64_t best = UINT64_MAX;
    for (size_t i = 0; i < palette_.size() / 3; ++i) {
        uint64_t distance = 0;
        for (int c = 0; c < 3; ++c) {
            const int64_t d = static_cast<int64_t>(want[c] - palette_[i * 3 + c]) * kWeight[c];
            distance += static_cast<uint64_t>(d * d);
        }
        if (distance < best) {
            best = distance;
            entry = static_cast<uint16_t>(i);
        }
    }
    return entry;
}

void Quantiser::Map(const uint8_t* bgr, uint8_t* indexes, size_t width)
{
    // Errors in sixteenths, one slot of margin on each side; the first half is this
    // row's, the second half the next row's.
    const size_t slots = (width + 2) * 3;
    if (errors_.size() != 2 * slots)
        errors_.assign(2 * slots, 0);
    int* const here = errors_.data();
    int* const below = errors_.data() + slots;
    std::fill(below, below + slots, 0);
    // Every other row runs right to left, so the errors do not all lean one way.
    const ptrdiff_t step = leftToRight_ ? 1 : -1;
    for (size_t n = 0; n < width; ++n) {
        const size_t x = leftToRight_ ? n : width - 1 - n;
        const uint8_t* pixel = bgr + 3 * x;
        const std::array<int, 3> value = {pixel[2], pixel[1], pixel[0]};
        std::array<int, 3> want{};
        for (int c = 0; c < 3; ++c)
            want[c] = std::clamp(value[c] + ((here[(x + 1) * 3 + c] + 8) >> 4), 0, 255);
        const int entry = Nearest(want[0], want[1], want[2]);
        indexes[x] = static_cast<uint8_t>(entry);
        for (int c = 0; c < 3; ++c) {
            const int error = want[c] - palette_[static_cast<size_t>(entry) * 3 + c];
            here[static_cast<size_t>(static_cast<ptrdiff_t>(x + 1) + step) * 3 + c] += error * 7;
            below[static_cast<size_t>(static_cast<ptrdiff_t>(x + 1) - step) * 3 + c] += error * 3;
            below[(x + 1) * 3 + c] += error * 5;
            below[static_cast<size_t>(static_cast<ptrdiff_t>(x + 1) + step) * 3 + c] += error;
        }
    }
    std::copy(below, below + slots, here);
    leftToRight_ = !leftToRight_;
}

}  // namespace veld
