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
    // Its full path: the folder and the name the search gave it.
    std::string path;
    // The short (8.3) name the system gave it, or empty where it gives none.
    std::string shortName;
};

// programDir followed by the wallpaper folder for the screen size, or an empty string
// when no folder suits it.
std::string ChooseWallpaperDir(const std::string& programDir, win::ScreenSize screen);

// Appends every file in dir matching mask, in the order the directory search returns
// them; subfolders are neither listed nor searched. An empty dir means there is no
// wallpaper folder: nothing is searched and nothing is added.
void FindFiles(const std::string& dir, std::vector<WallpaperFile>& list, const std::string& mask);

// The listed name is the file's name in the ANSI code page, and a name the code page
// cannot spell is listed in its nearest spelling (an A with a macron as a plain A), which
// may be another file's name. The short name listed with it reaches exactly the listed file:
// throws, naming the path, when it now leads to another file than that one. A path that
// leads nowhere passes: the action itself finds the file missing.
void CheckListedFile(const WallpaperFile& file);

}  // namespace catalogue
