// The layout's font, and the width that text really covers: Wine draws small fonts on
// hinted advances wider than the extent they report.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <string_view>

namespace ui {

// The layout's font is "MS Sans Serif" at a character height of 11 pixels at 96 dpi.
constexpr int kLayoutFontHeight = 11;

// The layout's font at a character height, in the weight and character set given.
win::Font LayoutFont(int weight, BYTE charset, int height);

// The width one line of text covers when font draws it on a surface like reference's
// (smoothing depends on its colour depth); never less than the reported extent.
int DrawnTextWidth(HDC reference, HFONT font, std::wstring_view text);

}  // namespace ui
