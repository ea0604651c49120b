// libFuzzer target: whatever bytes arrive, decoding and BMP packing either give a
// consistent bitmap or throw the program's own error, in both screen modes.
#include "core/Bmp.h"
#include "core/Jpeg.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// The size refusal is checked by the unit tests; a fuzzer spending seconds on every
// 64-megapixel header finds nothing more and times out.
constexpr uint64_t kFuzzPixels = uint64_t{1} << 20;

struct HeaderReader {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    std::jmp_buf jump;
};

[[noreturn]] void Leave(j_common_ptr cinfo)
{
    std::longjmp(static_cast<HeaderReader*>(cinfo->client_data)->jump, 1);
}

void Quiet(j_common_ptr, int) {}

// Too broken for a header is fine: DecodeJpeg must then throw, which the caller checks.
bool SmallEnoughToFuzz(const uint8_t* data, size_t size)
{
    HeaderReader reader{};
    reader.cinfo.err = jpeg_std_error(&reader.errors);
    reader.errors.error_exit = Leave;
    reader.errors.emit_message = Quiet;
    reader.cinfo.client_data = &reader;
    volatile bool small = true;
    if (setjmp(reader.jump) == 0) {
        jpeg_create_decompress(&reader.cinfo);
        jpeg_mem_src(&reader.cinfo, data, static_cast<unsigned long>(size));
        jpeg_read_header(&reader.cinfo, TRUE);
        small = static_cast<uint64_t>(reader.cinfo.image_width) * reader.cinfo.image_height <= kFuzzPixels;
    }
    jpeg_destroy_decompress(&reader.cinfo);
    return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!SmallEnoughToFuzz(data, size))
        return 0;
    for (bool eightBitScreen : {false, true}) {
        veld::DecodeOptions options;
        options.eightBitScreen = eightBitScreen;
        options.displayName = "fuzz.jpg";
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
