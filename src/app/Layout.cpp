// The main window's controls, in creation order, with their places and settings.
#include "app/Form1.h"

#include <variant>

namespace {

using Handler = void (TForm1::*)();

struct ListBoxEntry {
    ui::ListBox TForm1::*control;
    ui::ListBoxArgs args;
    Handler onClick;
};

struct CheckBoxEntry {
    ui::CheckBox TForm1::*control;
    ui::CheckBoxArgs args;
    Handler onClick;
};

using LayoutEntry = std::variant<ListBoxEntry, CheckBoxEntry>;

// clang-format off
const LayoutEntry kLayout[] = {
    ListBoxEntry {&TForm1::ListBox1,  {.bounds = {509, 231, 223, 81}, .background = RGB(183, 208, 236), .itemHeight = 13}, nullptr},
    CheckBoxEntry{&TForm1::CheckBox1, {.bounds = {527, 163, 12, 13}}, &TForm1::CheckBox1Click},
    CheckBoxEntry{&TForm1::CheckBox2, {.bounds = {527, 192, 12, 13}}, nullptr},
};
// clang-format on

ui::Event Bind(TForm1* form, Handler handler)
{
    if (!handler)
        return {};
    return [form, handler] { (form->*handler)(); };
}

}  // namespace

void TForm1::CreateControls()
{
    for (const LayoutEntry& entry : kLayout) {
        std::visit(
            [this](const auto& item) {
                auto& control = this->*item.control;
                control.Create(*this, item.args);
                control.OnClick = Bind(this, item.onClick);
            },
            entry);
    }
}
