#include "core/WallpaperFolder.h"

#include <algorithm>
#include <string>

namespace veld {

std::string_view WallpaperSubfolder(int width, int height)
{
    if (width == 800 && height == 600)
        return kWallpaperSubfolders[0];
    if (width == 1024 && height == 768)
        return kWallpaperSubfolders[1];
    if (width >= 1280 && height >= 1024)
        return kWallpaperSubfolders[2];
    return {};
}

bool IsCopyInProgressName(std::wstring_view name)
{
    std::string folded;
    for (const wchar_t c : name) {
        if (c > 0x7F)
            return false;
        folded += static_cast<char>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
    }
    constexpr std::string_view prefix = kCopyPrefix, suffix = ".tmp";
    if (folded.size() < prefix.size() + 1 + suffix.size() || folded.size() > prefix.size() + 4 + suffix.size() ||
        !folded.starts_with(prefix) || !folded.ends_with(suffix))
        return false;
    const std::string_view digits =
        std::string_view(folded).substr(prefix.size(), folded.size() - prefix.size() - suffix.size());
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace veld
