// LISTBOX: single selection, not sorted, entry height fixed, own background colour; its
// entries are wide text, so a name reads as the folder holds it.
#pragma once

#include "ui/Control.h"
#include "win/Handles.h"

#include <string>
#include <vector>

namespace ui {

struct ListBoxArgs {
    Bounds bounds;
    COLORREF background = RGB(255, 255, 255);
    int itemHeight = 13;
    std::string name;  // for screen readers
};

class ListBox : public WindowedControl {
public:
    void Create(Form& form, const ListBoxArgs& args);

    void Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }
    // Appends many entries with one repaint at the end instead of one per entry.
    void AddAll(const std::vector<std::wstring>& texts);
    int Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }
    std::wstring Item(int index) const;
    // -1 when nothing is selected.
    int ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0)); }
    // A selection made by the program raises no OnClick.
    void SetItemIndex(int index) { SendMessageA(Handle(), LB_SETCURSEL, index, 0); }

    // The user changed the selection (click or keyboard).
    Event OnClick;

    void OnCommand(WORD code) override;
    HBRUSH OnCtlColor(HDC dc) override;
    // The entry height scales with the font.
    void Rescale(const Form& form) override;

private:
    int itemHeight_ = 13;
    win::Brush background_;
    COLORREF backgroundColor_ = 0;
};

}  // namespace ui
