// What the sign-in program decides without asking the system: which wallpaper comes
// next and what its log holds.
#pragma once

#include "core/Paths.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veld {

// The sign-in program's log beside the programs.
inline constexpr char kSignInLogName[] = "veldstart.log";
// The bitmap a JPEG wallpaper is turned into for the system, beside the programs.
inline constexpr char kConvertedWallpaperName[] = "tmp_wallpaper.bmp";

// The entries of files in the order the sign-in program tries them, until one becomes
// the wallpaper. Only entries whose own name ends in ".jpg" (any case) count: the files
// that setting a wallpaper converts (a name such as "g.jpgx" that the directory search
// matches through its short name does not). An entry with a line break cannot be stored
// as DefaultWP and does not count either. The ones current does not name come first, so
// every sign-in brings a change while another file will do; the one it names comes last.
// The files lie in one folder; sameFolder says whether current's folder is that one,
// whatever either's spelling, and then only the names are compared; without it, the
// whole paths. ASCII letters are compared without regard to case. Each place is drawn
// evenly among the entries left with a number from random.
std::vector<size_t> SignInOrder(std::span<const std::string> files, std::string_view current,
                                std::optional<bool> sameFolder, const std::function<uint32_t()>& random,
                                const LeadBytePredicate& isLeadByte);

// One line of the log: "2026-12-07 08:15:02 message" with the period rule of the error
// box, the message's own line breaks turned into spaces, and CR LF at the end.
std::string LogLine(std::string_view date, std::string_view message);

// The log with line added on a line of its own, never longer than cap: when the line
// does not fit, only the newest whole lines filling at most half of cap are kept in
// front of it (and a line longer than that is cut to it).
std::string AppendLogLine(std::string_view log, std::string_view line, size_t cap);

}  // namespace veld
