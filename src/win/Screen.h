// What the program asks about the screen.
#pragma once

namespace win {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The primary screen's current mode in physical pixels, whatever DPI scaling the
// program is given.
ScreenSize PrimaryScreenSize();

// Bits per pixel of the screen.
int ScreenBitsPerPixel();

}  // namespace win
