#include "ui/ImageList.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/Files.h"

namespace ui {

void ImageList::SetSize(int width, int height)
{
    width_ = width;
    height_ = height;
    list_.reset(ImageList_Create(width, height, ILC_COLOR24, 4, 4));
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
}

void ImageList::Paint(int index, HDC dc, int x, int y, int width, int height) const
{
    if (width <= 0 || height <= 0)
        return;  // ImageList_DrawEx would take zero for the whole picture
    // The pictures have no mask: a picture drawn covers its whole rectangle.
    if (list_ && index >= 0 && index < Count()) {
        ImageList_DrawEx(list_.get(), index, dc, x, y, width, height, CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
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
        throw veld::Error(veld::texts::CannotOpenFile(path, veld::texts::kNotABitmap));
    return bitmap;
}

}  // namespace ui
