#pragma once

#include <string_view>

namespace veld {

// The wallpaper subfolder for a primary screen of width x height pixels, with its
// trailing backslash, or an empty string when no folder suits that size.
std::string_view WallpaperSubfolder(int width, int height);

}  // namespace veld
