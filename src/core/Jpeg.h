// Decoding a wallpaper JPEG into a Windows bitmap layout with libjpeg. Hostile or
// broken files end in an exception carrying the text the error box shows; they never
// get to allocate more than the largest real wallpaper needs.
#pragma once

#include "core/Bmp.h"
#include "core/Error.h"

#include <cstdint>
#include <span>
#include <string>

namespace veld {

// Far above any wallpaper (7680 x 4320 is 33 million pixels), far below what a forged
// header can claim (65500 x 65500).
inline constexpr uint32_t kMaxJpegSide = 16384;
inline constexpr uint64_t kMaxJpegPixels = uint64_t{64} << 20;

// Real progressive files have about ten scans; a forged one can repeat scans without end,
// each costing a pass over the whole image.
inline constexpr int kMaxJpegScans = 100;

// What may be held in whole-image buffers for the largest admitted picture: the
// coefficients of a progressive file (up to 4 components, CMYK, at full resolution, 2
// bytes per sample) plus the RGB copy the two-pass colour quantiser keeps, and 1/32 on
// top for MCU padding and libjpeg's small pools.
inline constexpr uint64_t kJpegMemoryLimit = kMaxJpegPixels * (8 + 3) + kMaxJpegPixels * (8 + 3) / 32;

struct DecodeOptions {
    // The screen shows 256 colours or fewer: decode every picture to a palette.
    bool eightBitScreen = false;
    // How refusals name the file to the user.
    std::wstring displayName;
    // libjpeg's budget for whole-image buffers. Only tests lower it, to see the refusal.
    uint64_t memoryLimit = kJpegMemoryLimit;
    // The most pixels a picture may have. Only tests lower it: a fuzzer spending seconds
    // on every forged 64-megapixel header finds nothing more and times out.
    uint64_t maxPixels = kMaxJpegPixels;
    // A file whose data ends early is refused (PictureError) instead of given as far as
    // it goes: where nobody sees the missing rows, a part of a picture is no picture.
    bool wholePictureOnly = false;
};

// The picture itself cannot be had: the file cannot be read, is no JPEG libjpeg reads,
// is too large or incomplete. Text() is the error box's text; Reason() says the same in
// a few words to follow the file's name, or is empty when Text() names the file itself.
class PictureError : public Error {
public:
    explicit PictureError(Message text, std::string reason = {});
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// A failure libjpeg reported, with its message number (JERR_NO_SOI is 53,
// JERR_INPUT_EMPTY 42): "JPEG-Fehler #53".
class JpegError : public PictureError {
public:
    explicit JpegError(int number);
    int number() const { return number_; }

private:
    int number_;
};

// Decodes the whole file at full size, best quality: colour pictures (CMYK and YCCK
// ones too) to 24 bits, greyscale pictures (and all pictures for an eight-bit screen) to
// 8 bits with at most 236 colours, leaving the 20 the system keeps for itself. A file
// that ends early gives the part that is there, unless wholePictureOnly. Throws
// JpegError for what libjpeg rejects and PictureError, naming displayName, for pictures
// too large, with too many scans or cut short where only a whole one will do.
DibImage DecodeJpeg(std::span<const uint8_t> file, const DecodeOptions& options);

}  // namespace veld
