#include "ui/ListBox.h"

#include "ui/Form.h"

namespace ui {

void ListBox::Create(Form& form, const ListBoxArgs& args)
{
    backgroundColor_ = args.background;
    background_.reset(CreateSolidBrush(args.background));
    // NOINTEGRALHEIGHT keeps the designed height instead of a whole number of rows.
    CreateWindowed(form, "LISTBOX",
                   WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                   WS_EX_CLIENTEDGE, args.bounds, args.name);
    itemHeight_ = args.itemHeight;
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, form.Scaled(itemHeight_));
}

void ListBox::Rescale(const Form& form)
{
    WindowedControl::Rescale(form);
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, form.Scaled(itemHeight_));
}

void ListBox::AddAll(const std::vector<std::string>& texts)
{
    size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += text.size() + 1;
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    for (const std::string& text : texts)
        SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::string ListBox::Item(int index) const
{
    const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void ListBox::OnCommand(WORD code)
{
    if (code == LBN_SELCHANGE && OnClick)
        OnClick();
}

HBRUSH ListBox::OnCtlColor(HDC dc)
{
    SetBkColor(dc, backgroundColor_);
    SetTextColor(dc, RGB(0, 0, 0));
    return background_.get();
}

}  // namespace ui
