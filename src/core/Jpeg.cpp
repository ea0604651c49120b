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
#include <jerror.h>

namespace veld {

PictureError::PictureError(Message text, std::string reason) : Error(std::move(text)), reason_(std::move(reason)) {}

JpegError::JpegError(int number) : PictureError(texts::JpegError(number), texts::JpegReason(number)), number_(number) {}

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
    bool endedEarly;  // the data ended before the picture's rows did
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
// picture still shows as far as it goes. Rows left without data are noted: the scan
// ran out of data (at the end of the file, or at a marker in its middle) and the rest
// came out grey. A file that lacks only its end marker does not count.
void IgnoreMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_HIT_MARKER)
        SessionOf(cinfo).endedEarly = true;
}
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

// Picks the output format the header asked for and, for a progressive file or a
// palette, reads every scan; after it the palette is known.
Outcome StartDecompress(Session& session, int components)
{
    if (setjmp(session.jump) != 0)
        return session.outcome;
    j_decompress_ptr cinfo = &session.cinfo;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height ||
        cinfo->output_components != components || (cinfo->quantize_colors && cinfo->actual_number_of_colors > 256))
        return Outcome::Unexpected;
    return Outcome::Done;
}

// CMYK files as print programs write them: inks inverted (255 is none), as Adobe's
// marker says; YCCK files come out of libjpeg the same way. One row of them as blue,
// green, red; bgr may be inks itself.
void InksToBgr(const uint8_t* inks, uint8_t* bgr, size_t width)
{
    const auto times = [](unsigned a, unsigned b) {
        const unsigned product = a * b + 128;  // a * b / 255, rounded
        return static_cast<uint8_t>((product + (product >> 8)) >> 8);
    };
    for (size_t x = 0; x < width; ++x, inks += 4, bgr += 3) {
        const uint8_t blue = times(inks[2], inks[3]), green = times(inks[1], inks[3]), red = times(inks[0], inks[3]);
        bgr[0] = blue;
        bgr[1] = green;
        bgr[2] = red;
    }
}

// CMYK pictures, which libjpeg cannot quantise (it turns no inks into colours), go to
// a fixed palette on a screen of 256 colours: 6 levels each of red, green and blue.
constexpr int kLevels = 6;

// The palette libjpeg chose, or the fixed one, as the bitmap's colour table.
std::vector<RgbQuad> PaletteOf(const jpeg_decompress_struct& cinfo, bool fixed)
{
    std::vector<RgbQuad> palette;
    for (int i = 0; i < kLevels * kLevels * kLevels && fixed; ++i) {
        const auto level = [](int n) { return static_cast<uint8_t>(n * 255 / (kLevels - 1)); };
        palette.push_back(RgbQuad{level(i % kLevels), level(i / kLevels % kLevels), level(i / kLevels / kLevels), 0});
    }
    for (int i = 0; cinfo.quantize_colors && i < cinfo.actual_number_of_colors; ++i) {
        const auto value = [&](int c) { return cinfo.colormap[cinfo.out_color_components == 1 ? 0 : c][i]; };
        palette.push_back(RgbQuad{value(2), value(1), value(0), 0});
    }
    return palette;
}

// One row of blue, green, red in place as indexes into the fixed palette, Floyd-Steinberg
// dithered: here holds in sixteenths what each colour of each pixel (and a margin pixel
// each side) takes from the row above, next receives what the next row takes from this one.
void DitherRow(uint8_t* row, size_t width, int* here, int* next)
{
    std::fill(next, next + (width + 2) * 3, 0);
    for (size_t x = 0; x < width; ++x) {
        int index = 0;
        for (int c = 0; c < 3; ++c) {
            const int want = std::clamp(row[3 * x + 2 - c] + ((here[(x + 1) * 3 + c] + 8) >> 4), 0, 255);
            const int level = (want * (kLevels - 1) + 127) / 255;
            const int error = want - level * 255 / (kLevels - 1);
            index = index * kLevels + level;
            here[(x + 2) * 3 + c] += error * 7;
            next[x * 3 + c] += error * 3;
            next[(x + 1) * 3 + c] += error * 5;
            next[(x + 2) * 3 + c] += error;
        }
        row[x] = static_cast<uint8_t>(index);
    }
}

// Decodes every row straight to its place in a bottom-up block whose lowest row in
// memory, bottom, is the picture's last. The bytes that pad a row to its stride are set
// to zero. With inks, a CMYK picture goes through that room for 16 rows of four bytes a
// pixel and comes out as blue, green, red, or with errors (room for two rows' dithering
// errors) as indexes into the fixed palette.
Outcome ReadRows(Session& session, uint8_t* bottom, size_t stride, uint8_t* inks, int* errors)
{
    if (setjmp(session.jump) != 0)
        return session.outcome;
    j_decompress_ptr cinfo = &session.cinfo;
    const JDIMENSION endRow = cinfo->output_height;
    const size_t width = cinfo->output_width;
    const size_t rowBytes = width * (errors != nullptr ? 1 : inks != nullptr ? 3 : cinfo->output_components);
    int* here = errors;
    int* next = errors != nullptr ? errors + (width + 2) * 3 : nullptr;
    while (cinfo->output_scanline < endRow) {
        JSAMPROW rows[16];
        JSAMPROW places[16];
        const JDIMENSION first = cinfo->output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(std::size(rows), endRow - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            places[i] = bottom + static_cast<size_t>(endRow - 1 - (first + i)) * stride;
            std::fill(places[i] + rowBytes, places[i] + stride, uint8_t{0});
            rows[i] = inks != nullptr ? inks + i * width * 4 : places[i];
        }
        // The memory source never suspends, so no rows means libjpeg is stuck.
        const JDIMENSION read = jpeg_read_scanlines(cinfo, rows, count);
        if (read == 0)
            return Outcome::Unexpected;
        for (JDIMENSION i = 0; inks != nullptr && i < read; ++i) {
            InksToBgr(rows[i], errors != nullptr ? rows[i] : places[i], width);
            if (errors != nullptr) {
                DitherRow(rows[i], width, here, next);
                std::copy(rows[i], rows[i] + width, places[i]);
                std::swap(here, next);
            }
        }
    }
    // No jpeg_finish_decompress after the last row: what follows it in the file (junk,
    // a stray scan) would only turn a shown picture into an error.
    return Outcome::Done;
}

[[noreturn]] void Refuse(const DecodeOptions& options, const std::string& reason)
{
    throw PictureError(texts::PictureRefused(options.displayName, reason), reason);
}

// Returns when the step was done; otherwise throws what ended it.
void Require(Outcome outcome, const Session& session, const DecodeOptions& options)
{
    switch (outcome) {
    case Outcome::Done:
        return;
    case Outcome::LibjpegError:
        throw JpegError(session.errorNumber);
    case Outcome::TooManyScans:
        Refuse(options, texts::TooManyScans(kMaxJpegScans));
    default:
        throw std::logic_error("libjpeg did not deliver the picture as requested");
    }
}

[[noreturn]] void RefuseAsTooLarge(const DecodeOptions& options, const std::string& size)
{
    Refuse(options, texts::TooLarge(size));
}

// After the last row: a picture that a whole one must be, and whose data ended early.
void RequireWhole(const Session& session, const DecodeOptions& options)
{
    if (options.wholePictureOnly && session.endedEarly)
        Refuse(options, texts::kIncomplete);
}

// Reads the header of a file within the limits.
void ReadHeaderWithinLimits(Session& session, std::span<const uint8_t> file, const DecodeOptions& options)
{
    // libjpeg takes the length as unsigned long, 32 bits on Windows.
    if (file.size() > std::numeric_limits<unsigned long>::max())
        RefuseAsTooLarge(options, std::to_string(file.size()) + " Bytes");
    // libjpeg reads 0 as "no limit".
    const long memoryLimit =
        static_cast<long>(std::clamp<uint64_t>(options.memoryLimit, 1, std::numeric_limits<long>::max()));
    Require(ReadHeader(session, file.data(), static_cast<unsigned long>(file.size()), memoryLimit), session, options);
    const uint64_t width = session.cinfo.image_width;
    const uint64_t height = session.cinfo.image_height;
    if (width > kMaxJpegSide || height > kMaxJpegSide || width * height > options.maxPixels)
        RefuseAsTooLarge(options, std::to_string(width) + " x " + std::to_string(height) + " Pixel");
}

// Asks libjpeg for full size, best quality, and the colours the bitmap takes.
void ChooseOutput(jpeg_decompress_struct& cinfo, const DecodeOptions& options)
{
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool inks = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.out_color_space = inks ? JCS_CMYK : grey ? JCS_GRAYSCALE : options.eightBitScreen ? JCS_RGB : JCS_EXT_BGR;
    // libjpeg's own choice: two passes with an optimal palette for colour, one evenly
    // spaced grey ramp for greyscale, Floyd-Steinberg dithering for both.
    cinfo.quantize_colors = !inks && (options.eightBitScreen || grey);
    cinfo.desired_number_of_colors = kPaletteColours;
}

}  // namespace

DibImage DecodeJpeg(std::span<const uint8_t> file, const DecodeOptions& options)
{
    Decompressor decompressor;
    Session& session = decompressor.session();
    ReadHeaderWithinLimits(session, file, options);
    ChooseOutput(session.cinfo, options);
    const bool inks = session.cinfo.out_color_space == JCS_CMYK;
    const bool eightBit = session.cinfo.quantize_colors || (inks && options.eightBitScreen);
    Require(StartDecompress(session, session.cinfo.quantize_colors ? 1 : inks ? 4 : 3), session, options);
    DibImage image;
    image.width = static_cast<int32_t>(session.cinfo.output_width);
    image.height = static_cast<int32_t>(session.cinfo.output_height);
    image.bitsPerPixel = eightBit ? 8 : 24;
    image.palette = PaletteOf(session.cinfo, inks && eightBit);
    const size_t stride = image.Stride();
    image.pixels.resize(stride * static_cast<size_t>(image.height));
    std::vector<uint8_t> batch(inks ? 16 * size_t{session.cinfo.output_width} * 4 : 0);
    std::vector<int> errors(inks && eightBit ? 2 * (size_t{session.cinfo.output_width} + 2) * 3 : 0);
    Require(ReadRows(session, image.pixels.data(), stride, inks ? batch.data() : nullptr,
                     errors.empty() ? nullptr : errors.data()),
            session, options);
    RequireWhole(session, options);
    return image;
}

}  // namespace veld
