// VeldanaStart: at sign-in, when the user asked for it in the window (Active and Random
// both "True"), makes a wallpaper of the screen's folder chosen at random the desktop
// wallpaper, as "Set as default" does. Nobody is there to answer a box at sign-in, so
// what fails is written to veldstart.log beside the program instead.
#pragma once

#include <string>
#include <string_view>

namespace start {

// veldstart.log beside the program.
std::string LogPath();

// Sets the chosen wallpaper and DefaultWP, or does nothing when the settings do not ask
// for it or there is nothing to choose. Throws what fails, before anything is changed.
void ChangeWallpaper();

// Adds one dated line to the log, keeping it within 64 KB; throws when it cannot.
void Log(std::string_view message);

// The whole program: 0 when done or when there was nothing to do, 1 when something
// failed and the log says what, 2 when even the log could not be written.
int Run() noexcept;

}  // namespace start
