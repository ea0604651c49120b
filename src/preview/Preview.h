// The preview: a wallpaper file decoded and squeezed to the preview's size.
#pragma once

#include "core/Bmp.h"
#include "win/Handles.h"

#include <string>

namespace preview {

// The JPEG file read whole and decoded for the screen (to a palette on 8 bits a pixel or
// fewer). Throws veld::PictureError naming the file when it cannot be read or decoded,
// or when it ends early and wholePictureOnly.
veld::DibImage DecodeFile(const std::string& path, bool wholePictureOnly = false);

// The file decoded and stretched into width x height, as a bitmap of the screen's
// format (unscaled when stretching fails). Throws the file-open error or the decoder's
// error naming the file.
win::Bitmap LoadPreview(const std::string& path, int width, int height);

// A picture on its way into the preview: the decoded pixels at full size until it is
// scaled, then a bitmap of the screen's format.
struct PreviewBitmap {
    veld::DibImage pixels;
    win::Bitmap bitmap;
};

// Stretches the whole picture into width x height, replacing it: columns and rows
// are dropped or repeated (halftone when the screen has 256 colours or fewer and the
// picture more). Errors are not shown: the result is false and the picture unchanged.
bool ScaleBitmap(PreviewBitmap& bitmap, int width, int height) noexcept;

}  // namespace preview
