#include "core/Jpeg.h"

#include "core/Texts.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h uses FILE without including anything
#include <limits>
#include <stdexcept>
#include <type_traits>

#include <jpeglib.h>

namespace veld {

JpegError::JpegError(int number) : Error(texts::JpegError(number)), number_(number) {}

namespace {

constexpr int kPaletteColours = 236;
static_assert(kJpegMemoryLimit <= std::numeric_limits<int32_t>::max(), "libjpeg takes the limit as a long");

enum class Outcome { Done, LibjpegError, TooManyScans, Unexpected };

// Everything libjpeg's callbacks reach. Plain data only: a longjmp out of libjpeg must
// not skip a destructor, and the owner below destroys the decompressor on every path.
struct Session {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    Outcome outcome;
    int errorNumber;
    int paletteSize;
    uint8_t palette[256][3];  // red, green, blue
};
static_assert(std::is_trivially_destructible_v<Session>);

Session& SessionOf(j_common_ptr cinfo)
{
    return *static_cast<Session*>(cinfo->client_data);
}

// libjpeg's default ends the process; ours returns to the setjmp of the running step.
[[noreturn]] void LeaveOnError(j_common_ptr cinfo)
{
    Session& session = SessionOf(cinfo);
    session.outcome = Outcome::LibjpegError;
    session.errorNumber = cinfo->err->msg_code;
    std::longjmp(session.jump, 1);
}

// Warnings (data ending early, corrupt entropy data) are not the user's business: the
// picture still shows as far as it goes.
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
        Session& session = SessionOf(cinfo);
        session.outcome = Outcome::TooManyScans;
        std::longjmp(session.jump, 1);
    }
}

class Decompressor {
public:
    Decompressor() : session_{}
    {
        session_.cinfo.err = jpeg_std_error(&session_.errors);
        session_.errors.error_exit = LeaveOnError;
        session_.errors.emit_message = IgnoreMessage;
        session_.errors.output_message = IgnoreOutput;
        session_.progress.progress_monitor = LimitScans;
        session_.cinfo.client_data = &session_;
    }
    // Safe also when creation failed part way: libjpeg then left mem null.
    ~Decompressor() { jpeg_destroy_decompress(&session_.cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    Session& session() { return session_; }

private:
    Session session_;
};

// The steps that call into libjpeg hold no C++ objects, so the longjmp from an error
// leaves nothing half-destroyed; they report how they ended instead of throwing.

Outcome ReadHeader(Session& session, const uint8_t* data, unsigned long size, long memoryLimit)
{
    if (setjmp(session.jump) != 0)
        return session.outcome;
    jpeg_create_decompress(&session.cinfo);
    // Set after creation, which takes a default from the JPEGMEM environment variable.
    session.cinfo.mem->max_memory_to_use = memoryLimit;
    session.cinfo.progress = &session.progress;
    jpeg_mem_src(&session.cinfo, data, size);
    jpeg_read_header(&session.cinfo, TRUE);
    return Outcome::Done;
}

Outcome Decompress(Session& session, uint8_t* pixels, size_t stride, int components)
{
    if (setjmp(session.jump) != 0)
        return session.outcome;
    j_decompress_ptr cinfo = &session.cinfo;
    // For a progressive file this already reads every scan into the coefficient buffer.
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height ||
        cinfo->output_components != components)
        return Outcome::Unexpected;

    session.paletteSize = cinfo->quantize_colors ? cinfo->actual_number_of_colors : 0;
    if (session.paletteSize > 256)
        return Outcome::Unexpected;
    for (int i = 0; i < session.paletteSize; ++i) {
        for (int c = 0; c < 3; ++c)
            session.palette[i][c] = cinfo->colormap[cinfo->out_color_components == 1 ? 0 : c][i];
    }

    // Rows go straight to their place in the bottom-up bitmap.
    const JDIMENSION height = cinfo->output_height;
    while (cinfo->output_scanline < height) {
        JSAMPROW rows[16];
        const JDIMENSION count = std::min<JDIMENSION>(std::size(rows), height - cinfo->output_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = pixels + static_cast<size_t>(height - 1 - (cinfo->output_scanline + i)) * stride;
        // The memory source never suspends, so no rows means libjpeg is stuck.
        if (jpeg_read_scanlines(cinfo, rows, count) == 0)
            return Outcome::Unexpected;
    }
    // No jpeg_finish_decompress: all rows are out, and what follows them in the file
    // (junk, a stray scan) would only turn a shown picture into an error.
    return Outcome::Done;
}

[[noreturn]] void Fail(const Session& session, Outcome outcome, const DecodeOptions& options)
{
    switch (outcome) {
    case Outcome::LibjpegError:
        throw JpegError(session.errorNumber);
    case Outcome::TooManyScans:
        throw Error(texts::TooManyScans(options.displayName, kMaxJpegScans));
    default:
        throw std::logic_error("libjpeg did not deliver the picture as requested");
    }
}

[[noreturn]] void RefuseAsTooLarge(const DecodeOptions& options, const std::string& size)
{
    throw Error(texts::PictureTooLarge(options.displayName, size));
}

}  // namespace

DibImage DecodeJpeg(std::span<const uint8_t> file, const DecodeOptions& options)
{
    // libjpeg takes the length as unsigned long, 32 bits on Windows.
    if (file.size() > std::numeric_limits<unsigned long>::max())
        RefuseAsTooLarge(options, std::to_string(file.size()) + " Bytes");

    Decompressor decompressor;
    Session& session = decompressor.session();
    // libjpeg reads 0 as "no limit".
    const long memoryLimit =
        static_cast<long>(std::clamp<uint64_t>(options.memoryLimit, 1, std::numeric_limits<long>::max()));
    Outcome outcome = ReadHeader(session, file.data(), static_cast<unsigned long>(file.size()), memoryLimit);
    if (outcome != Outcome::Done)
        Fail(session, outcome, options);

    jpeg_decompress_struct& cinfo = session.cinfo;
    const uint64_t width = cinfo.image_width;
    const uint64_t height = cinfo.image_height;
    if (width > kMaxJpegSide || height > kMaxJpegSide || width * height > options.maxPixels)
        RefuseAsTooLarge(options, std::to_string(width) + " x " + std::to_string(height) + " Pixel");

    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool eightBit = options.eightBitScreen || grey;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    if (eightBit) {
        // libjpeg's own choice: two passes with an optimal palette for colour, one
        // evenly spaced grey ramp for greyscale, Floyd-Steinberg dithering for both.
        cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = kPaletteColours;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }

    DibImage image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.bitsPerPixel = eightBit ? 8 : 24;
    const size_t stride = image.Stride();
    image.pixels.resize(stride * static_cast<size_t>(height));

    outcome = Decompress(session, image.pixels.data(), stride, eightBit ? 1 : 3);
    if (outcome != Outcome::Done)
        Fail(session, outcome, options);

    image.palette.resize(static_cast<size_t>(session.paletteSize));
    for (size_t i = 0; i < image.palette.size(); ++i)
        image.palette[i] = RgbQuad{session.palette[i][2], session.palette[i][1], session.palette[i][0], 0};
    return image;
}

}  // namespace veld
