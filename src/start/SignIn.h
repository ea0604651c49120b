// VeldanaStart: at sign-in, when the user asked for it in the window (Active and Random
// both "True"), makes a wallpaper of the screen's folder chosen at random the desktop
// wallpaper, as "Set as default" does. Nobody is there to answer a box at sign-in, so
// what fails is written to veldstart.log beside the program instead.
#pragma once

#include "core/Error.h"

#include <string>
#include <vector>

namespace start {

// veldstart.log beside the program.
std::string LogPath();

// Tries the wallpapers in their sign-in order until one becomes the wallpaper and
// DefaultWP; a file that will not do (unreadable, vanished, no JPEG, too large, its data
// ending early) is passed over with a line naming it in passedOver. False when every one
// was passed over; true when one was set or the settings do not ask for a change or
// there is nothing to choose. Throws what no other file would mend (veld.ini, the bitmap,
// the lock), leaving the wallpaper as it was.
bool ChangeWallpaper(std::vector<veld::Message>& passedOver);

// Adds one dated line per message to the log, keeping it within 64 KB; throws when it
// cannot.
void Log(const std::vector<veld::Message>& messages);

// The whole program: 0 when a wallpaper was set (the log names each file passed over on
// the way) or there was nothing to do, 1 when it failed and the log says why, 2 when even
// the log could not be written.
int Run() noexcept;

}  // namespace start
