#include "ui/CheckBox.h"

#include "win/Handles.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

namespace {

// The check box as the system draws it at 96 dots per inch (a sunken frame, the field and
// a check mark of seven columns, three pixels high each), every part as many times larger
// as the control is than its place in the layout.
void PaintWhole(HWND window, HDC dc, int size, int designSize)
{
    const auto scaled = [&](int value) { return MulDiv(value, size, designSize); };
    RECT field{};
    GetClientRect(window, &field);
    const int edge = std::max(1, scaled(1));
    for (const UINT part : {BDR_SUNKENOUTER, BDR_SUNKENINNER})
        for (int k = 0; k < edge; ++k)
            DrawEdge(dc, &field, part, BF_RECT | BF_ADJUST);
    const bool enabled = IsWindowEnabled(window) != FALSE;
    const auto state = static_cast<UINT>(SendMessageA(window, BM_GETSTATE, 0, 0));
    const bool pushed = (state & BST_PUSHED) != 0;
    FillRect(dc, &field, GetSysColorBrush(enabled && !pushed ? COLOR_WINDOW : COLOR_BTNFACE));
    if ((state & BST_CHECKED) == 0)
        return;
    constexpr int kTops[] = {2, 3, 4, 3, 2, 1, 0};
    const int markWidth = scaled(7);
    const int markHeight = scaled(7);
    const int left = field.left + (field.right - field.left - markWidth + 1) / 2;
    const int top = field.top + (field.bottom - field.top - markHeight + 1) / 2;
    const HBRUSH ink = GetSysColorBrush(enabled ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
    for (int column = 0; column < 7; ++column) {
        const int barTop = top + scaled(kTops[column]);
        const RECT bar{left + scaled(column), barTop, left + scaled(column + 1), barTop + scaled(3)};
        FillRect(dc, &bar, ink);
    }
}

// The system draws the box at the screen's scale, cut to the control where that is
// larger, whatever the window's scale, and also outside WM_PAINT when its state changes:
// at any scale but 96 dpi the whole box is painted, again after each such change.
LRESULT CALLBACK WholeBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const auto* box = reinterpret_cast<const CheckBox*>(data);
    const int size = box->GetBounds().height;
    const int designSize = box->DesignBounds().height;
    // The screen's scale is fixed for the process when it starts.
    static const int systemDpi = GetDeviceCaps(win::WindowDc(nullptr).get(), LOGPIXELSY);
    if ((size == designSize && systemDpi <= 96) || designSize <= 0)
        return DefSubclassProc(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (HDC dc = BeginPaint(window, &paint)) {
            PaintWhole(window, dc, size, designSize);
            EndPaint(window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintWhole(window, reinterpret_cast<HDC>(wParam), size, designSize);
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
    CreateWindowed(form, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, args.bounds, args.name);
    // Without text the system draws its focus nowhere.
    ShowFocusThroughForm();
    SetWindowSubclass(Handle(), WholeBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
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
