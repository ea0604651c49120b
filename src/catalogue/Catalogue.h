// Where the wallpapers for this screen live and which files are there.
#pragma once

#include "win/Screen.h"

#include <string>
#include <vector>

namespace catalogue {

// programDir followed by the wallpaper folder for the screen size, or an empty string
// when no folder suits it.
std::string ChooseWallpaperDir(const std::string& programDir, win::ScreenSize screen);

// Appends the full path of every file in dir matching mask, in the order the directory
// search returns them; subfolders are neither listed nor searched. An empty dir means
// there is no wallpaper folder: nothing is searched and nothing is added.
void FindFiles(const std::string& dir, std::vector<std::string>& list, const std::string& mask);

}  // namespace catalogue
