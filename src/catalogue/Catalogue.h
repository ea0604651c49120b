// Where the wallpapers for this screen live and which files are there.
#pragma once

#include "win/Screen.h"

#include <string>
#include <vector>

namespace catalogue {

// The wallpapers are the files the directory search matches with this mask.
inline constexpr char kWallpaperMask[] = "*.jpg";

// A file the directory search found.
struct WallpaperFile {
    // The path that reaches the file, made by the rule the program folder follows: the
    // folder and the name where the code page spells it exactly, else its short (8.3)
    // name; empty where neither is spelled exactly.
    std::string path;
    // The file's name as the folder holds it.
    std::wstring name;
};

// programDir followed by the wallpaper folder for the screen size, or an empty string
// when no folder suits it.
std::string ChooseWallpaperDir(const std::string& programDir, win::ScreenSize screen);

// Appends every file in dir matching mask, in the order the directory search returns
// them; subfolders are neither listed nor searched. An empty dir means there is no
// wallpaper folder: nothing is searched and nothing is added.
void FindFiles(const std::string& dir, std::vector<WallpaperFile>& list, const std::string& mask);

// The path of a listed file in dir; throws, naming it, when no path reaches it.
std::string ReachableFile(const std::string& dir, const WallpaperFile& file);

}  // namespace catalogue
