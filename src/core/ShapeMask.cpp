#include "core/ShapeMask.h"

#include <utility>

namespace veld {

std::vector<KeyRun> KeyColourRuns(const uint8_t* pixels, int width, int height, size_t stride)
{
    std::vector<KeyRun> runs;
    if (width <= 0 || height <= 0)
        return runs;
    const uint8_t key[3] = {pixels[0], pixels[1], pixels[2]};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
        int start = -1;
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = row + static_cast<size_t>(x) * 3;
            const bool isKey = pixel[0] == key[0] && pixel[1] == key[1] && pixel[2] == key[2];
            if (isKey) {
                if (start < 0)
                    start = x;
            } else if (start >= 0) {
                runs.push_back({y, start, x});
                start = -1;
            }
        }
        if (start >= 0)
            runs.push_back({y, start, width});
    }
    return runs;
}

std::vector<KeptRect> KeptRects(const std::vector<KeyRun>& runs, int width, int height)
{
    std::vector<KeptRect> rects;
    std::vector<std::pair<int, int>> band;  // the spans of the open band
    int bandTop = 0;
    auto closeBand = [&](int bottom) {
        for (const auto& [left, right] : band)
            rects.push_back({left, bandTop, right, bottom});
    };
    auto run = runs.begin();
    std::vector<std::pair<int, int>> spans;
    for (int y = 0; y < height; ++y) {
        spans.clear();
        int x = 0;
        for (; run != runs.end() && run->y == y; ++run) {
            if (run->left > x)
                spans.emplace_back(x, run->left);
            x = run->right;
        }
        if (x < width)
            spans.emplace_back(x, width);
        if (spans != band) {
            closeBand(y);
            band.swap(spans);
            bandTop = y;
        }
    }
    closeBand(height);
    return rects;
}

}  // namespace veld
