#include "ui/ImageList.h"

#include "core/Error.h"
#include "core/Scale.h"
#include "core/Texts.h"
#include "win/Files.h"
#include "win/UserText.h"

#include <vector>

namespace ui {

void ImageList::SetSize(int width, int height)
{
    width_ = width;
    height_ = height;
    list_.reset(ImageList_Create(width, height, ILC_COLOR24, 4, 4));
    shown_.reset();
}

void ImageList::SetShownSize(int width, int height)
{
    shown_.reset();
    if (width == width_ && height == height_)
        return;
    shownWidth_ = width;
    shownHeight_ = height;
    shown_.reset(ImageList_Create(width, height, ILC_COLOR24, 4, 4));
    EnlargeNew();
}

void ImageList::EnlargeNew()
{
    if (!shown_)
        return;
    win::WindowDc screen(nullptr);
    win::MemoryDc target(CreateCompatibleDC(screen.get()));
    for (int k = ImageList_GetImageCount(shown_.get()); k < Count(); ++k) {
        win::Bitmap picture(CreateCompatibleBitmap(screen.get(), width_, height_));
        {
            win::SelectGuard keepTarget(target.get(), picture.get());
            ImageList_Draw(list_.get(), k, target.get(), 0, 0, ILD_NORMAL);
        }
        win::Bitmap enlarged = EnlargedBitmap(picture.get(), shownWidth_, shownHeight_, false);
        ImageList_Add(shown_.get(), enlarged.get(), nullptr);
    }
}

void ImageList::Add(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth < width_ || info.bmHeight < height_)
        throw veld::Error(veld::texts::kInvalidPictureSize);

    // A picture of the list's size goes in as it is.
    if (info.bmWidth == width_ && info.bmHeight == height_) {
        if (ImageList_Add(list_.get(), bitmap, nullptr) < 0)
            throw veld::Error(veld::texts::kInvalidPictureSize);
        EnlargeNew();
        return;
    }
    // ImageList_Add would silently take whatever fits; cut the pictures ourselves.
    const int pictures = info.bmWidth / width_;
    win::WindowDc screen(nullptr);
    win::MemoryDc source(CreateCompatibleDC(screen.get()));
    win::MemoryDc target(CreateCompatibleDC(screen.get()));
    win::SelectGuard keepSource(source.get(), bitmap);
    for (int k = 0; k < pictures; ++k) {
        win::Bitmap picture(CreateCompatibleBitmap(screen.get(), width_, height_));
        {
            win::SelectGuard keepTarget(target.get(), picture.get());
            BitBlt(target.get(), 0, 0, width_, height_, source.get(), k * width_, 0, SRCCOPY);
        }
        if (ImageList_Add(list_.get(), picture.get(), nullptr) < 0)
            throw veld::Error(veld::texts::kInvalidPictureSize);
    }
    EnlargeNew();
}

void ImageList::Paint(int index, HDC dc, int x, int y, int width, int height) const
{
    if (width <= 0 || height <= 0)
        return;  // ImageList_DrawEx would take zero for the whole picture
    // The pictures have no mask: a picture drawn covers its whole rectangle.
    if (list_ && index >= 0 && index < Count()) {
        ImageList_DrawEx(shown_ ? shown_.get() : list_.get(), index, dc, x, y, width, height, CLR_DEFAULT, CLR_DEFAULT,
                         ILD_NORMAL);
    } else {
        const RECT all{x, y, x + width, y + height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
}

// A DIB section keeps the picture's own colour bytes, whatever the screen's format.
win::Bitmap LoadBitmapResource(int id)
{
    return win::Bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

win::Bitmap LoadBitmapFile(const std::string& path)
{
    const auto load = [&] {
        return win::Bitmap(static_cast<HBITMAP>(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    };
    if (win::Bitmap bitmap = load())
        return bitmap;
    // LoadImage says nothing about why it failed: the file system says whether the file
    // cannot be opened (and waits for a program that holds it to let go), then it is
    // tried once more.
    win::RequireReadable(path);
    win::Bitmap bitmap = load();
    if (!bitmap)
        throw veld::Error(veld::texts::CannotOpenFile(win::FromAnsi(path), veld::texts::kNotABitmap));
    return bitmap;
}

win::Bitmap EnlargedBitmap(HBITMAP bitmap, int width, int height, bool keyed)
{
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return {};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 24, BI_RGB};
    const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(info.bmHeight));
    win::WindowDc screen(nullptr);
    if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS))
        return {};
    std::optional<uint32_t> key;
    if (keyed)
        key = pixels[0] | (pixels[1] << 8) | (pixels[2] << 16);
    const std::vector<uint8_t> enlarged =
        veld::EnlargePixels(pixels.data(), info.bmWidth, info.bmHeight, stride, width, height, key);
    format.bmiHeader.biWidth = std::max<LONG>(width, info.bmWidth);
    format.bmiHeader.biHeight = -std::max<LONG>(height, info.bmHeight);
    void* bits = nullptr;
    win::Bitmap result(CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (result)
        std::copy(enlarged.begin(), enlarged.end(), static_cast<uint8_t*>(bits));
    return result;
}

}  // namespace ui
