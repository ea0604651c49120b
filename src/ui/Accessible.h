// What screen readers read (MSAA). A window answers WM_GETOBJECT with the system's own
// object for it under the name the program gives it, so the system still tells its
// kind, its entries and its check mark; a form's object also has the form's windowless
// hit areas as its children, child i being the form's TabOrder()[i - 1], followed by
// its child windows. oleacc and COM are loaded at the first question, so a start-up
// without a screen reader never loads them.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Form;

// The answer to WM_GETOBJECT for window's client area (and, for a form, the window
// itself), or 0 for the system to answer.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const std::string& name,
                        Form* form = nullptr) noexcept;

}  // namespace ui
