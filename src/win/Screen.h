// What the program asks about the screen.
#pragma once

#include <windows.h>

namespace win {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The primary screen's current mode in physical pixels, whatever DPI scaling the
// program is given.
ScreenSize PrimaryScreenSize();

// The top-left corner that puts a window of the size in the middle of the primary screen,
// in the program's own (scaled) pixels.
POINT CentredOnScreen(SIZE size);

// Bits per pixel of the screen.
int ScreenBitsPerPixel();

// The system's scale in dots per inch (96 at 100 %), fixed for the process.
int SystemDpi();

// The primary screen's work area (without the task bar) in physical pixels.
SIZE WorkAreaSize();

}  // namespace win
