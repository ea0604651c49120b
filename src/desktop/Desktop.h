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

// Empties the stored wallpaper value, then tells the system to show none.
void ClearDesktopWallpaper();

}  // namespace desktop
