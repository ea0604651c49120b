// Setting and clearing the Windows desktop wallpaper.
#pragma once

#include <string>

namespace desktop {

// The bitmap a JPEG wallpaper is turned into, beside the program.
std::string ConvertedWallpaperPath();

// A conversion killed on its way leaves its temporary file (hundreds of megabytes for a
// large picture) beside the bitmap, which it never replaced: removes it. A folder of
// that name is not ours and stays.
void RemoveLeftoverConversion();

// A .bmp file is handed to the system as it is; a .jpg file is decoded into
// tmp_wallpaper.bmp first. A missing file or any other extension changes nothing.
void SetDesktopWallpaper(const std::string& path);

// Decodes the JPEG file at path into tmp_wallpaper.bmp and makes that the wallpaper;
// throws when the file cannot be read or decoded, or the bitmap cannot be written.
void SetJpegWallpaper(const std::string& path);

// The conversion alone: bitmapPath holds either its old contents or the whole picture.
void ConvertJpegToBitmap(const std::string& jpegPath, const std::string& bitmapPath);

// Empties the stored wallpaper value, then tells the system to show none.
void ClearDesktopWallpaper();

}  // namespace desktop
