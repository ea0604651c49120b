#include "core/Jpeg.h"

#include "core/Quantise.h"
#include "core/Texts.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h uses FILE without including anything
#include <limits>
#include <memory>
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

// The palette libjpeg chose (none without quantisation), as the bitmap's colour table.
std::vector<RgbQuad> PaletteOf(const jpeg_decompress_struct& cinfo)
{
    std::vector<RgbQuad> palette(cinfo.quantize_colors ? static_cast<size_t>(cinfo.actual_number_of_colors) : 0);
    for (size_t i = 0; i < palette.size(); ++i) {
        const auto value = [&](int c) { return cinfo.colormap[cinfo.out_color_components == 1 ? 0 : c][i]; };
        palette[i] = RgbQuad{value(2), value(1), value(0), 0};
    }
    return palette;
}

// CMYK files as print programs write them: inks inverted (255 is none), as Adobe's
// marker says; YCCK files come out of libjpeg the same way. One row of them as blue,
// green, red.
void InksToBgr(const uint8_t* inks, uint8_t* bgr, size_t width)
{
    const auto times = [](unsigned a, unsigned b) {
        const unsigned product = a * b + 128;  // a * b / 255, rounded
        return static_cast<uint8_t>((product + (product >> 8)) >> 8);
    };
    for (size_t x = 0; x < width; ++x, inks += 4, bgr += 3) {
        bgr[0] = times(inks[2], inks[3]);
        bgr[1] = times(inks[1], inks[3]);
        bgr[2] = times(inks[0], inks[3]);
    }
}

// Decodes the rows up to endRow, each straight to its place in a bottom-up block whose
// lowest row in memory, bottom, is row endRow - 1. The bytes that pad a row to its
// stride are set to zero, so the block need not be cleared beforehand. With inks, a CMYK
// picture goes through that room for 16 rows of four bytes a pixel and comes out as
// blue, green, red.
Outcome ReadRows(Session& session, JDIMENSION endRow, uint8_t* bottom, size_t stride, uint8_t* inks)
{
    if (setjmp(session.jump) != 0)
        return session.outcome;
    j_decompress_ptr cinfo = &session.cinfo;
    const size_t width = cinfo->output_width;
    const size_t rowBytes = width * static_cast<size_t>(inks != nullptr ? 3 : cinfo->output_components);
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
        for (JDIMENSION i = 0; inks != nullptr && i < read; ++i)
            InksToBgr(rows[i], places[i], width);
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

// What libjpeg does for other pictures and leaves to us for CMYK ones: the turn into
// RGB and, for a palette, the quantisation.
struct CmykConversion {
    std::vector<uint8_t> rows;     // a batch of rows as libjpeg hands them over
    std::vector<uint8_t> picture;  // for a palette: the whole picture, blue, green, red, bottom-up
    std::unique_ptr<Quantiser> quantiser;
    JDIMENSION mapped = 0;  // rows of the picture given out as palette indexes
};

// The rows up to endRow, as ReadRows places them.
Outcome NextRows(Session& session, CmykConversion& cmyk, JDIMENSION endRow, uint8_t* bottom, size_t stride)
{
    if (!cmyk.quantiser)
        return ReadRows(session, endRow, bottom, stride, cmyk.rows.empty() ? nullptr : cmyk.rows.data());
    const size_t width = session.cinfo.output_width;
    const size_t height = session.cinfo.output_height;
    for (; cmyk.mapped < endRow; ++cmyk.mapped) {
        uint8_t* place = bottom + static_cast<size_t>(endRow - 1 - cmyk.mapped) * stride;
        cmyk.quantiser->Map(cmyk.picture.data() + (height - 1 - cmyk.mapped) * width * 3, place, width);
        std::fill(place + width, place + stride, uint8_t{0});
    }
    return Outcome::Done;
}

// Reads the header of a file within the limits; returns libjpeg's memory budget.
long ReadHeaderWithinLimits(Session& session, std::span<const uint8_t> file, const DecodeOptions& options)
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
    return memoryLimit;
}

struct Output {
    bool cmyk;
    bool eightBit;
};

// Asks libjpeg for full size, best quality, and the colours the bitmap takes.
Output ChooseOutput(jpeg_decompress_struct& cinfo, const DecodeOptions& options, long memoryLimit)
{
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const Output output{cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK,
                        options.eightBitScreen || grey};
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    if (output.cmyk) {
        cinfo.out_color_space = JCS_CMYK;
        if (output.eightBit) {
            // Our copy of the picture counts against libjpeg's budget.
            const uint64_t copy = uint64_t{cinfo.image_width} * cinfo.image_height * 3;
            if (copy >= static_cast<uint64_t>(memoryLimit))
                throw JpegError(JERR_NO_BACKING_STORE);
            cinfo.mem->max_memory_to_use = memoryLimit - static_cast<long>(copy);
        }
    } else if (output.eightBit) {
        // libjpeg's own choice: two passes with an optimal palette for colour, one
        // evenly spaced grey ramp for greyscale, Floyd-Steinberg dithering for both.
        cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = kPaletteColours;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    return output;
}

// libjpeg's two passes for a CMYK picture on a palette, done by us: the whole picture is
// counted before the first row can be given out.
std::vector<RgbQuad> ChooseCmykPalette(Session& session, CmykConversion& cmyk, const DecodeOptions& options)
{
    const size_t width = session.cinfo.output_width;
    const size_t height = session.cinfo.output_height;
    cmyk.picture.resize(width * height * 3);
    Require(ReadRows(session, static_cast<JDIMENSION>(height), cmyk.picture.data(), width * 3, cmyk.rows.data()),
            session, options);
    cmyk.quantiser = std::make_unique<Quantiser>();
    for (size_t y = 0; y < height; ++y)
        cmyk.quantiser->Count(cmyk.picture.data() + y * width * 3, width);
    return cmyk.quantiser->ChoosePalette(kPaletteColours);
}

// The header read, the output format chosen and decompression started: what both
// outputs share.
DibFormat Start(Session& session, std::span<const uint8_t> file, const DecodeOptions& options, CmykConversion& cmyk)
{
    const long memoryLimit = ReadHeaderWithinLimits(session, file, options);
    const Output output = ChooseOutput(session.cinfo, options, memoryLimit);
    Require(StartDecompress(session, output.cmyk ? 4 : output.eightBit ? 1 : 3), session, options);
    DibFormat format;
    format.width = static_cast<int32_t>(session.cinfo.output_width);
    format.height = static_cast<int32_t>(session.cinfo.output_height);
    format.bitsPerPixel = output.eightBit ? 8 : 24;
    format.palette = PaletteOf(session.cinfo);
    if (output.cmyk) {
        cmyk.rows.resize(16 * size_t{session.cinfo.output_width} * 4);
        if (output.eightBit)
            format.palette = ChooseCmykPalette(session, cmyk, options);
    }
    return format;
}

}  // namespace

DibImage DecodeJpeg(std::span<const uint8_t> file, const DecodeOptions& options)
{
    CmykConversion cmyk;
    Decompressor decompressor;
    Session& session = decompressor.session();
    DibImage image;
    static_cast<DibFormat&>(image) = Start(session, file, options, cmyk);
    const size_t stride = image.Stride();
    image.pixels.resize(stride * static_cast<size_t>(image.height));
    Require(NextRows(session, cmyk, static_cast<JDIMENSION>(image.height), image.pixels.data(), stride), session,
            options);
    RequireWhole(session, options);
    return image;
}

void DecodeJpegToBmp(std::span<const uint8_t> file, const DecodeOptions& options, BmpOutput& out)
{
    CmykConversion cmyk;
    Decompressor decompressor;
    Session& session = decompressor.session();
    const DibFormat format = Start(session, file, options, cmyk);
    const std::vector<uint8_t> headers = BmpHeaders(format);
    const size_t stride = format.Stride();
    const auto height = static_cast<JDIMENSION>(format.height);

    // A strip of rows small enough to stay in the processor's cache between decoding
    // and writing, and large enough to keep the number of writes low.
    constexpr size_t kStripBytes = 256 * 1024;
    const auto stripRows = static_cast<JDIMENSION>(std::clamp<size_t>(kStripBytes / stride, 1, height));
    std::vector<uint8_t> strip(stripRows * stride);

    out.Append(headers);
    for (uint64_t left = static_cast<uint64_t>(stride) * height; left > 0;) {
        const size_t part = static_cast<size_t>(std::min<uint64_t>(left, strip.size()));
        out.Append({strip.data(), part});
        left -= part;
    }
    // Rows come top first; the file keeps them bottom first, so each strip goes in front
    // of the one before it.
    for (JDIMENSION first = 0; first < height; first += stripRows) {
        const JDIMENSION end = std::min(first + stripRows, height);
        Require(NextRows(session, cmyk, end, strip.data(), stride), session, options);
        out.Overwrite(headers.size() + static_cast<uint64_t>(height - end) * stride,
                      {strip.data(), static_cast<size_t>(end - first) * stride});
    }
    RequireWhole(session, options);
}

}  // namespace veld
