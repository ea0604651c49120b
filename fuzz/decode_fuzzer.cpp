// libFuzzer target: whatever bytes arrive, decoding and BMP packing either give a
// consistent bitmap and BMP headers for it, or throw the
// program's own error, in both screen modes.
#include "core/Bmp.h"
#include "core/Jpeg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// The size refusal is checked by the unit tests; a fuzzer spending seconds on every
// 64-megapixel header finds nothing more and times out.
constexpr uint64_t kFuzzPixels = uint64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (bool eightBitScreen : {false, true}) {
        veld::DecodeOptions options;
        options.eightBitScreen = eightBitScreen;
        options.displayName = L"fuzz.jpg";
        options.maxPixels = kFuzzPixels;
        try {
            const veld::DibImage image = veld::DecodeJpeg({data, size}, options);
            const std::vector<uint8_t> headers = veld::BmpHeaders(image);
            const bool consistent = image.width > 0 && image.height > 0 &&
                                    (image.bitsPerPixel == 8 ? image.palette.size() <= 236 && !image.palette.empty()
                                                             : image.bitsPerPixel == 24 && image.palette.empty()) &&
                                    image.pixels.size() == image.Stride() * static_cast<size_t>(image.height) &&
                                    headers.size() == 54 + 4 * image.palette.size();
            if (!consistent)
                std::abort();
        } catch (const veld::Error&) {
            // Refusals and libjpeg errors are the expected answer to most inputs.
        }
    }
    return 0;
}
