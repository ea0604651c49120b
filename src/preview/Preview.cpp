#include "preview/Preview.h"

#include "core/Jpeg.h"
#include "core/Paths.h"
#include "core/Steps.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"
#include "win/UserText.h"

#include <vector>

namespace preview {

namespace {

// A BITMAPINFO with room for a colour table.
struct DibFormat {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
};

DibFormat FormatOf(const veld::DibImage& pixels)
{
    DibFormat format;
    format.header.biSize = sizeof(format.header);
    format.header.biWidth = pixels.width;
    format.header.biHeight = pixels.height;
    format.header.biPlanes = 1;
    format.header.biBitCount = pixels.bitsPerPixel;
    format.header.biCompression = BI_RGB;
    format.header.biClrUsed = static_cast<DWORD>(pixels.palette.size());
    for (size_t i = 0; i < pixels.palette.size() && i < 256; ++i) {
        const veld::RgbQuad& c = pixels.palette[i];
        format.colours[i] = {c.blue, c.green, c.red, 0};
    }
    return format;
}

// Draws the picture stretched into width x height of a new screen-format bitmap.
win::Bitmap Stretch(const veld::DibImage& pixels, int width, int height, int stretchMode)
{
    win::WindowDc screen(nullptr);
    win::Bitmap result(CreateCompatibleBitmap(screen.get(), width, height));
    if (!result)
        return nullptr;
    win::MemoryDc dc(CreateCompatibleDC(screen.get()));
    win::SelectGuard keep(dc.get(), result.get());
    SetStretchBltMode(dc.get(), stretchMode);
    if (stretchMode == HALFTONE)
        SetBrushOrgEx(dc.get(), 0, 0, nullptr);
    const DibFormat format = FormatOf(pixels);
    const int lines =
        StretchDIBits(dc.get(), 0, 0, width, height, 0, 0, pixels.width, pixels.height, pixels.pixels.data(),
                      reinterpret_cast<const BITMAPINFO*>(&format), DIB_RGB_COLORS, SRCCOPY);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR))
        return nullptr;
    return result;
}

}  // namespace

bool ScaleBitmap(PreviewBitmap& bitmap, int width, int height) noexcept
{
    try {
        const bool fewColours = win::ScreenBitsPerPixel() <= 8 && bitmap.pixels.bitsPerPixel > 8;
        win::Bitmap scaled = Stretch(bitmap.pixels, width, height, fewColours ? HALFTONE : COLORONCOLOR);
        if (!scaled)
            return false;
        bitmap.bitmap = std::move(scaled);
        bitmap.pixels = {};
        return true;
    } catch (...) {
        return false;
    }
}

veld::DibImage DecodeFile(const std::string& path, bool wholePictureOnly)
{
    std::vector<uint8_t> file;
    try {
        file = win::ReadWholeFile(path);
    } catch (const veld::Error& error) {
        throw veld::PictureError(error.Text());  // its text names the file already
    }
    veld::MarkStep("read");
    veld::DecodeOptions options;
    options.eightBitScreen = win::ScreenBitsPerPixel() <= 8;
    options.displayName = win::FromAnsi(veld::FileNamePart(path, win::IsLeadByte));
    options.wholePictureOnly = wholePictureOnly;
    return veld::DecodeJpeg(file, options);
}

win::Bitmap LoadPreview(const std::string& path, int width, int height)
{
    PreviewBitmap bitmap{DecodeFile(path), nullptr};
    if (!ScaleBitmap(bitmap, width, height))
        bitmap.bitmap = Stretch(bitmap.pixels, bitmap.pixels.width, bitmap.pixels.height, COLORONCOLOR);
    return std::move(bitmap.bitmap);
}

}  // namespace preview
