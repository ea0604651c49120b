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
// With shortNames, also appends the short (8.3) name the system gave each file listed,
// or an empty string where it gives none.
void FindFiles(const std::string& dir, std::vector<std::string>& list, const std::string& mask,
               std::vector<std::string>* shortNames = nullptr);

// The listed name is the file's name in the ANSI code page, and a name the code page
// cannot spell is listed in its nearest spelling (an A with a macron as a plain A), which
// may be another file's name. The short name listed with it reaches exactly the listed file:
// throws, naming path, when path now leads to another file than that one. A path that
// leads nowhere passes: the action itself finds the file missing.
void CheckListedFile(const std::string& path, const std::string& shortName);

}  // namespace catalogue
