// The layout's font, and the width that text really covers: Wine draws small fonts on
// hinted advances wider than the extent they report.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <string_view>

namespace ui {

// The layout's font, "MS Sans Serif" at a character height of 11 pixels, in the weight
// and character set given.
win::Font LayoutFont(int weight, BYTE charset);

// The width one line of text covers when font draws it on a surface like reference's
// (smoothing depends on its colour depth); never less than the reported extent.
int DrawnTextWidth(HDC reference, HFONT font, std::wstring_view text);

}  // namespace ui
