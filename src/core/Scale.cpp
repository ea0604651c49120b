#include "core/Scale.h"

#include <algorithm>
#include <array>

namespace veld {

int FittingDpi(int dpi, int width, int height, int workWidth, int workHeight)
{
    const auto fits = [&](int at) { return Scaled(width, at) <= workWidth && Scaled(height, at) <= workHeight; };
    if (dpi <= kDesignDpi || fits(dpi))
        return std::max(dpi, kDesignDpi);
    constexpr std::array kSteps = {288, 240, 216, 192, 168, 144, 120};
    for (const int step : kSteps)
        if (step < dpi && fits(step))
            return step;
    return kDesignDpi;
}

namespace {

// The old pixels a new one covers along one axis: at most two, since nothing shrinks.
struct Span {
    int first;
    int weightFirst;  // of kWhole
    int weightSecond;
};

constexpr int kWhole = 256;

std::vector<Span> Spans(int from, int to)
{
    std::vector<Span> spans(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        // New pixel i covers [i * from, (i + 1) * from) in units of 1 / to old pixel.
        const long long start = static_cast<long long>(i) * from;
        const long long end = start + from;
        const int first = static_cast<int>(start / to);
        const long long boundary = static_cast<long long>(first + 1) * to;
        const int inFirst = static_cast<int>(end <= boundary ? from : boundary - start);
        const int weight = static_cast<int>((static_cast<long long>(inFirst) * kWhole + from / 2) / from);
        spans[static_cast<size_t>(i)] = {first, weight, kWhole - weight};
    }
    return spans;
}

}  // namespace

std::vector<uint8_t> EnlargePixels(const uint8_t* pixels, int width, int height, size_t stride, int newWidth,
                                   int newHeight, std::optional<uint32_t> keyColour)
{
    newWidth = std::max(newWidth, width);
    newHeight = std::max(newHeight, height);
    const size_t newStride = (static_cast<size_t>(newWidth) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> out(newStride * static_cast<size_t>(newHeight));
    if (newWidth % width == 0 && newHeight % height == 0) {
        // Whole factors: every pixel repeated, every row copied.
        const int across = newWidth / width, down = newHeight / height;
        for (int y = 0; y < height; ++y) {
            const uint8_t* source = pixels + static_cast<size_t>(y) * stride;
            uint8_t* first = out.data() + static_cast<size_t>(y * down) * newStride;
            for (int x = 0; x < newWidth; ++x)
                std::copy(source + (x / across) * 3, source + (x / across) * 3 + 3, first + x * 3);
            for (int k = 1; k < down; ++k)
                std::copy(first, first + newStride, first + static_cast<size_t>(k) * newStride);
        }
        return out;
    }
    const std::vector<Span> columns = Spans(width, newWidth);
    const std::vector<Span> rows = Spans(height, newHeight);
    const uint8_t key[3] = {static_cast<uint8_t>(keyColour.value_or(0) & 0xFF),
                            static_cast<uint8_t>((keyColour.value_or(0) >> 8) & 0xFF),
                            static_cast<uint8_t>((keyColour.value_or(0) >> 16) & 0xFF)};
    const auto isKey = [&](const uint8_t* p) {
        return keyColour && p[0] == key[0] && p[1] == key[1] && p[2] == key[2];
    };
    for (int y = 0; y < newHeight; ++y) {
        const Span& row = rows[static_cast<size_t>(y)];
        const uint8_t* upper = pixels + static_cast<size_t>(row.first) * stride;
        const uint8_t* lower = row.weightSecond ? upper + stride : upper;
        uint8_t* target = out.data() + static_cast<size_t>(y) * newStride;
        for (int x = 0; x < newWidth; ++x, target += 3) {
            const Span& column = columns[static_cast<size_t>(x)];
            const size_t left = static_cast<size_t>(column.first) * 3;
            const size_t right = column.weightSecond ? left + 3 : left;
            const uint8_t* covered[4] = {upper + left, upper + right, lower + left, lower + right};
            const int weights[4] = {column.weightFirst * row.weightFirst, column.weightSecond * row.weightFirst,
                                    column.weightFirst * row.weightSecond, column.weightSecond * row.weightSecond};
            int kept = 0;
            int sums[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                if (!weights[k] || isKey(covered[k]))
                    continue;
                kept += weights[k];
                for (int c = 0; c < 3; ++c)
                    sums[c] += weights[k] * covered[k][c];
            }
            if (kept * 2 < kWhole * kWhole) {
                std::copy(key, key + 3, target);
                continue;
            }
            for (int c = 0; c < 3; ++c)
                target[c] = static_cast<uint8_t>((sums[c] + kept / 2) / kept);
            // A mix of kept pixels stays kept.
            if (isKey(target))
                target[0] = static_cast<uint8_t>(key[0] ^ 1);
        }
    }
    return out;
}

}  // namespace veld
