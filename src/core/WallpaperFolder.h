#pragma once

#include <string_view>

namespace veld {

// The wallpaper subfolders of every screen size, with their trailing backslashes.
inline constexpr std::string_view kWallpaperSubfolders[] = {"800x600\\", "1024x768\\", "1280x1024\\"};

// The wallpaper subfolder for a primary screen of width x height pixels, with its
// trailing backslash, or an empty string when no folder suits that size.
std::string_view WallpaperSubfolder(int width, int height);

// An added wallpaper is copied in under a temporary name that GetTempFileName makes of
// this prefix: "vel", one to four hex digits, ".tmp".
inline constexpr char kCopyPrefix[] = "vel";
// name, as the folder holds it, is such a name in any letter case: what a copy cut off
// half-way leaves behind. A digit or letter of another script (a full-width one) is none.
bool IsCopyInProgressName(std::wstring_view name);

}  // namespace veld
