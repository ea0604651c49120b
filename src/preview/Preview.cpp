#include "preview/Preview.h"

#include "app/Form1.h"
#include "core/Jpeg.h"
#include "core/Paths.h"
#include "ui/Application.h"
#include "ui/Files.h"

#include <vector>

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
ui::Bitmap Stretch(const veld::DibImage& pixels, int width, int height, int stretchMode)
{
    ui::WindowDc screen(nullptr);
    ui::Bitmap result(CreateCompatibleBitmap(screen.get(), width, height));
    if (!result)
        return nullptr;
    ui::MemoryDc dc(CreateCompatibleDC(screen.get()));
    ui::SelectGuard keep(dc.get(), result.get());
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

ui::Bitmap ScreenBitmap(const veld::DibImage& pixels, int width, int height)
{
    return Stretch(pixels, width, height, COLORONCOLOR);
}

bool ScaleBitmap(PreviewBitmap& bitmap, int width, int height) noexcept
{
    try {
        const bool fewColours = ui::ScreenBitsPerPixel() <= 8 && bitmap.pixels.bitsPerPixel > 8;
        ui::Bitmap scaled = Stretch(bitmap.pixels, width, height, fewColours ? HALFTONE : COLORONCOLOR);
        if (!scaled)
            return false;
        bitmap.bitmap = std::move(scaled);
        bitmap.pixels = {};
        return true;
    } catch (...) {
        return false;
    }
}

void TForm1::ListBox1Click()
{
    // The loading clip runs by itself while the decoding blocks this thread.
    Animate1.SetActive(true);
    Animate1.SetVisible(true);
    Animate1.Play(1, 10, 2);
    UpdateWindow(Animate1.Handle());

    // Whatever happens below, the clip stops and goes.
    struct ClipGuard {
        ui::Animate& clip;
        ~ClipGuard()
        {
            clip.Stop();
            clip.SetActive(false);
            clip.SetVisible(false);
        }
    } stopClip{Animate1};

    const std::string path = SelectedFile();
    const std::vector<uint8_t> file = ui::ReadWholeFile(path);
    veld::DecodeOptions options;
    options.eightBitScreen = ui::ScreenBitsPerPixel() <= 8;
    options.displayName = veld::FileNamePart(path, ui::IsLeadByte);
    PreviewBitmap bitmap{veld::DecodeJpeg(file, options), nullptr};

    const int width = Image2.GetBounds().width;
    const int height = Image2.GetBounds().height;
    if (!ScaleBitmap(bitmap, width, height))
        bitmap.bitmap = ScreenBitmap(bitmap.pixels, bitmap.pixels.width, bitmap.pixels.height);
    Image2.SetPicture(std::move(bitmap.bitmap));
}
