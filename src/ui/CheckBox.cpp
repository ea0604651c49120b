#include "ui/CheckBox.h"

#include "win/Handles.h"

#include <commctrl.h>

namespace ui {

namespace {

constexpr int kDesignDpi = 96;

// The check box as the system draws it at 96 dots per inch, fitted to the control: a
// sunken frame, the field and a check mark of seven columns, three pixels high each.
void PaintWhole(HWND window, HDC dc)
{
    RECT field{};
    GetClientRect(window, &field);
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const auto state = static_cast<UINT>(SendMessageA(window, BM_GETSTATE, 0, 0));
    const bool pushed = (state & BST_PUSHED) != 0;
    FillRect(dc, &field, GetSysColorBrush(enabled && !pushed ? COLOR_WINDOW : COLOR_BTNFACE));
    if ((state & BST_CHECKED) == 0)
        return;
    constexpr int kTops[] = {2, 3, 4, 3, 2, 1, 0};
    constexpr int kMarkWidth = 7;
    constexpr int kMarkHeight = 7;
    const int left = field.left + (field.right - field.left - kMarkWidth + 1) / 2;
    const int top = field.top + (field.bottom - field.top - kMarkHeight + 1) / 2;
    const HBRUSH ink = GetSysColorBrush(enabled ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
    for (int column = 0; column < kMarkWidth; ++column) {
        const RECT bar{left + column, top + kTops[column], left + column + 1, top + kTops[column] + 3};
        FillRect(dc, &bar, ink);
    }
}

// Above 96 dots per inch the system draws the box larger than the control and cuts it,
// also outside WM_PAINT when its state changes: then the whole box is painted again.
LRESULT CALLBACK WholeBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (HDC dc = BeginPaint(window, &paint)) {
            PaintWhole(window, dc);
            EndPaint(window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintWhole(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SETTEXT:
    case WM_UPDATEUISTATE: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, WholeBoxProc, 0);
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void CheckBox::Create(Form& form, const CheckBoxArgs& args)
{
    CreateWindowed(form, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, args.bounds, args.name);
    // Without text the system draws its focus nowhere.
    ShowFocusThroughForm();
    // The screen's scale is fixed for the process when it starts.
    static const int dpi = GetDeviceCaps(win::WindowDc(nullptr).get(), LOGPIXELSY);
    if (dpi > kDesignDpi)
        SetWindowSubclass(Handle(), WholeBoxProc, 0, 0);
}

void CheckBox::SetChecked(bool checked)
{
    if (Checked() == checked)
        return;
    // BM_SETCHECK sends no BN_CLICKED.
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick();
}

void CheckBox::OnCommand(WORD code)
{
    if (code == BN_CLICKED && OnClick)
        OnClick();
}

}  // namespace ui
