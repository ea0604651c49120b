// Text as a font really draws it. Under Wine, small sizes of some fonts are drawn on
// hinted glyph advances wider than the text extent the font reports (11-pixel
// Liberation Sans: 253 pixels drawn for a reported 247; bold on an 8-bit screen: 191
// for 182), and text laid out by that extent loses its end to clipping.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <string_view>

namespace ui {

// The layout's font, "MS Sans Serif" at a character height of 11 pixels, in the weight
// and character set given.
win::Font LayoutFont(int weight, BYTE charset);

// The width that one line of text covers when font draws it on a surface like
// reference's (smoothing and hinting depend on the surface's colour depth); never less
// than the reported extent.
int DrawnTextWidth(HDC reference, HFONT font, std::wstring_view text);

}  // namespace ui
