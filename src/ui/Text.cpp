#include "ui/Text.h"

#include "win/Handles.h"

#include <cstdint>
#include <vector>

namespace ui {

win::Font LayoutFont(int weight, BYTE charset, int height)
{
    return win::Font(CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
}

int DrawnTextWidth(HDC reference, HFONT font, std::wstring_view text)
{
    win::MemoryDc dc(CreateCompatibleDC(reference));
    win::SelectGuard keepFont(dc.get(), font);
    const int length = static_cast<int>(text.size());
    SIZE extent{};
    TEXTMETRICA metrics{};
    if (!length || !GetTextExtentPoint32W(dc.get(), text.data(), length, &extent) ||
        !GetTextMetricsA(dc.get(), &metrics))
        return 0;
    const int width = extent.cx * 2 + metrics.tmMaxCharWidth;
    const int height = metrics.tmHeight;
    win::Bitmap surface(CreateCompatibleBitmap(reference, width, height));
    if (!surface)
        return extent.cx;
    {
        win::SelectGuard keepSurface(dc.get(), surface.get());
        PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), RGB(0, 0, 0));
        TextOutW(dc.get(), 0, 0, text.data(), length);
    }
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (!GetDIBits(dc.get(), surface.get(), 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS))
        return extent.cx;
    for (int x = width - 1; x >= extent.cx; --x)
        for (int y = 0; y < height; ++y)
            if ((pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] & 0xFFFFFF) !=
                0xFFFFFF)
                return x + 1;
    return extent.cx;
}

}  // namespace ui
