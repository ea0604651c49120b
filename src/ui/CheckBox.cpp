#include "ui/CheckBox.h"

namespace ui {

void CheckBox::Create(Form& form, const CheckBoxArgs& args)
{
    CreateWindowed(form, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, args.bounds);
}

bool CheckBox::Checked() const
{
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
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
