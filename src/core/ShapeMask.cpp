#include "core/ShapeMask.h"

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

}  // namespace veld
