// BUTTON with BS_AUTOCHECKBOX, without text (its meaning is painted beside it).
#pragma once

#include "ui/Control.h"

#include <string>

namespace ui {

struct CheckBoxArgs {
    Bounds bounds;
    std::string name;  // for screen readers
};

class CheckBox : public WindowedControl {
public:
    void Create(Form& form, const CheckBoxArgs& args);

    bool Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Like a click, a change of the check mark from code raises OnClick; setting the
    // state it already has raises nothing.
    void SetChecked(bool checked);

    Event OnClick;

    void OnCommand(WORD code) override;
};

}  // namespace ui
