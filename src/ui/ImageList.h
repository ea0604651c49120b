// Image list: pictures of one size, appended from bitmaps and shown by image views.
#pragma once

#include "ui/Graphic.h"
#include "win/Handles.h"

namespace ui {

class ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return list_ ? ImageList_GetImageCount(list_.get()) : 0; }

    // Sets the picture size; the list is emptied.
    void SetSize(int width, int height);
    // Appends the bitmap cut into pictures of the list's width, left to right; extra
    // height is cut off. A bitmap narrower or lower than one picture is refused with
    // "Ungültige Grafikgröße".
    void Add(HBITMAP bitmap);
    // Paints the top-left width x height of picture index at (x, y); where the list has
    // no such picture, the button face colour.
    void Paint(int index, HDC dc, int x, int y, int width, int height) const;

private:
    int width_ = 16;
    int height_ = 16;
    win::ImageListHandle list_;
};

// Loads a .bmp file as a DIB section; throws the file-open error naming the file.
win::Bitmap LoadBitmapFile(const std::string& path);
// The program's bitmap resource id as a DIB section, or none.
win::Bitmap LoadBitmapResource(int id);

}  // namespace ui
