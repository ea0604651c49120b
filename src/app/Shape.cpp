// The window's outline and dragging it by its background.
#include "app/Form1.h"

#include "core/ShapeMask.h"
#include "win/Handles.h"

#include <vector>

win::Region BuildWindowRegion(HBITMAP bitmap)
{
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth;
    const int height = info.bmHeight;

    // The picture as 24-bit rows, top row first.
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB};
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
    {
        win::WindowDc screen(nullptr);
        if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS))
            return nullptr;
    }

    // The picture's rectangle less every run of key-colour pixels, made in one call from
    // the rectangles that are left: the same region as cutting the runs out one by one,
    // without a region operation for each of them.
    const std::vector<veld::KeptRect> rects =
        veld::KeptRects(veld::KeyColourRuns(pixels.data(), width, height, stride), width, height);
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    data->rdh.rcBound = {0, 0, width, height};
    auto* out = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < rects.size(); ++i)
        out[i] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    return win::Region(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
}

void TForm1::ApplyWindowShape()
{
    // The background is only read (GetDIBits hands over a 24-bit copy of its rows), so
    // the shown picture needs no scratch copy to stay untouched.
    if (!Image1.Picture())
        return;
    win::Region region = BuildWindowRegion(Image1.Picture());
    if (region && SetWindowRgn(Handle(), region.get(), TRUE))
        WindowRegion = region.release();  // the window owns it from now on
}

void TForm1::Image1MouseDown(ui::MouseButton button, POINT)
{
    if (button != ui::MouseButton::Left)
        return;
    // The system's move loop, as for a drag on a title bar.
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, SC_MOVE + 2, 0);
}
