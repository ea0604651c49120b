#include "core/WallpaperFolder.h"

namespace veld {

std::string_view WallpaperSubfolder(int width, int height)
{
    if (width == 800 && height == 600)
        return "800x600\\";
    if (width == 1024 && height == 768)
        return "1024x768\\";
    if (width >= 1280 && height >= 1024)
        return "1280x1024\\";
    return {};
}

}  // namespace veld
