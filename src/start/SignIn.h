// VeldanaStart: at sign-in, when the user asked for it in the window (Active and Random
// both "True"), makes a wallpaper of the screen's folder chosen at random the desktop
// wallpaper, as "Set as default" does. Nobody is there to answer a box at sign-in, so
// what fails is written to veldstart.log beside the program instead.
#pragma once

namespace start {

// The whole program: 0 when a wallpaper was set (the log names each file passed over on
// the way) or there was nothing to do, 1 when it failed and the log says why, 2 when even
// the log could not be written.
int Run() noexcept;

}  // namespace start
