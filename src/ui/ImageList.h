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
    // The size the pictures are shown at: the picture size, or what SetShownSize gave.
    int ShownWidth() const { return shown_ ? shownWidth_ : width_; }
    int ShownHeight() const { return shown_ ? shownHeight_ : height_; }

    // Sets the picture size; the list is emptied.
    void SetSize(int width, int height);
    // Shows the pictures, now and as they are added, enlarged to width x height.
    void SetShownSize(int width, int height);
    // Appends the bitmap cut into pictures of the list's width, left to right; extra
    // height is cut off. A bitmap narrower or lower than one picture is refused with
    // "Ungültige Grafikgröße".
    void Add(HBITMAP bitmap);
    // Paints the top-left width x height of picture index at (x, y); where the list has
    // no such picture, the button face colour.
    void Paint(int index, HDC dc, int x, int y, int width, int height) const;

private:
    // Enlarges the pictures added since the last call into shown_.
    void EnlargeNew();

    int width_ = 16;
    int height_ = 16;
    win::ImageListHandle list_;
    // The pictures at the size shown, where it differs from theirs.
    win::ImageListHandle shown_;
    int shownWidth_ = 0;
    int shownHeight_ = 0;
};

// Loads a .bmp file as a DIB section; throws the file-open error naming the file.
win::Bitmap LoadBitmapFile(const std::string& path);
// The program's bitmap resource id as a DIB section, or none.
win::Bitmap LoadBitmapResource(int id);

// A 24-bit DIB section of width x height (at least the bitmap's size) enlarged from the
// bitmap: pixels repeated for whole factors, mixed for others (core/Scale.h). With keyed,
// the top-left pixel's colour is the key colour, never mixed.
win::Bitmap EnlargedBitmap(HBITMAP bitmap, int width, int height, bool keyed);

}  // namespace ui
