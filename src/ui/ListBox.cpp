#include "ui/ListBox.h"

#include "ui/Form.h"

namespace ui {

void ListBox::Create(Form& form, const ListBoxArgs& args)
{
    backgroundColor_ = args.background;
    background_.reset(CreateSolidBrush(args.background));
    // NOINTEGRALHEIGHT keeps the designed height instead of a whole number of rows.
    CreateWindowed(form, L"LISTBOX",
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

void ListBox::AddAll(const std::vector<std::wstring>& texts)
{
    size_t bytes = 0;
    for (const std::wstring& text : texts)
        bytes += (text.size() + 1) * sizeof(wchar_t);
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(Handle(), LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    for (const std::wstring& text : texts)
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::wstring ListBox::Item(int index) const
{
    const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
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
