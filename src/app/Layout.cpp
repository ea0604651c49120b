// The main window's controls, in creation order, with their places, settings and
// events, and the window's image lists and commands. This table is the one place where
// a control's place is written: the artwork generator and the end-to-end tests read the
// places from it (scripts/places.py), so keep each row's bounds right after its name.
#include "app/Form1.h"

#include "app/resource.h"
#include "core/Texts.h"

#include <stdexcept>
#include <variant>

namespace {

using Handler = void (TForm1::*)();
using MouseDownHandler = void (TForm1::*)(ui::MouseButton, POINT);

constexpr COLORREF kListBackground = RGB(183, 208, 236);

const char* const kGamePage = "https://www.nordwerk-interactive.de/spiele/tollrand/";
const char* const kPublisherPage = "https://www.nordwerk-interactive.de/";
const char* const kConsolePage = "https://www.sternling-pocket.de/";

struct ImageEntry {
    ui::ImageView TForm1::*control;
    ui::ImageArgs args;
    MouseDownHandler onMouseDown = nullptr;
};

struct LabelEntry {
    ui::Label TForm1::*control;
    ui::LabelArgs args;
    Handler onClick = nullptr;
    Handler onMouseEnter = nullptr;
    Handler onMouseLeave = nullptr;
};

struct AnimateEntry {
    ui::Animate TForm1::*control;
    ui::AnimateArgs args;
};

struct ListBoxEntry {
    ui::ListBox TForm1::*control;
    ui::ListBoxArgs args;
    Handler onClick = nullptr;
};

struct CheckBoxEntry {
    ui::CheckBox TForm1::*control;
    ui::CheckBoxArgs args;
    Handler onClick = nullptr;
};

using LayoutEntry = std::variant<ImageEntry, LabelEntry, AnimateEntry, ListBoxEntry, CheckBoxEntry>;

// An invisible hit area over a picture button or a logo, named by the words painted there.
ui::LabelArgs HitArea(ui::Bounds bounds, std::string name, std::string hint = {})
{
    return {.bounds = bounds, .handCursor = true, .hint = std::move(hint), .name = std::move(name)};
}

// clang-format off
const LayoutEntry kLayout[] = {
    ImageEntry   {&TForm1::Image1,              {.bounds = {0, 0, 762, 540}, .pictureId = IDB_BACKGROUND, .keyed = true}, &TForm1::Image1MouseDown},
    ImageEntry   {&TForm1::Image2,              {.bounds = {173, 287, 154, 114}}},
    LabelEntry   {&TForm1::Label1,              {.bounds = {519, 456, 192, 26},
                                                 .text = veld::texts::kGameLink,
                                                 .bold = true, .color = RGB(0, 0, 0), .handCursor = true, .hint = kGamePage},
                                                &TForm1::Label1Click, &TForm1::Label1MouseEnter, &TForm1::Label1MouseLeave},
    ImageEntry   {&TForm1::ImageClose,          {.bounds = {715, 141, 22, 23}, .pictureId = IDB_CLOSE}},
    LabelEntry   {&TForm1::Label3,              HitArea({713, 139, 27, 28}, veld::texts::kCloseName),
                                                &TForm1::acCloseExecute, &TForm1::Label3MouseEnter, &TForm1::Label3MouseLeave},
    ImageEntry   {&TForm1::ImageNoWallpaper,    {.bounds = {503, 319, 236, 36}, .pictureId = IDB_BUTTON1}},
    ImageEntry   {&TForm1::ImageSetAsDefault,   {.bounds = {503, 354, 236, 33}, .pictureId = IDB_BUTTON2}},
    ImageEntry   {&TForm1::ImageDeleteSelected, {.bounds = {503, 385, 236, 33}, .pictureId = IDB_BUTTON3}},
    ImageEntry   {&TForm1::ImageAddYourOwn,     {.bounds = {503, 416, 236, 37}, .pictureId = IDB_BUTTON4}},
    LabelEntry   {&TForm1::Label4,              HitArea({510, 325, 223, 30}, veld::texts::kNoWallpaperName),
                                                &TForm1::acNoWallpaperExecute, &TForm1::Label4MouseEnter, &TForm1::Label4MouseLeave},
    LabelEntry   {&TForm1::Label5,              HitArea({508, 356, 222, 29}, veld::texts::kSetAsDefaultName),
                                                &TForm1::acSetAsDefaultExecute, &TForm1::Label5MouseEnter, &TForm1::Label5MouseLeave},
    LabelEntry   {&TForm1::Label6,              HitArea({510, 387, 220, 29}, veld::texts::kDeleteSelectedName),
                                                &TForm1::acDeleteSelectedExecute, &TForm1::Label6MouseEnter, &TForm1::Label6MouseLeave},
    LabelEntry   {&TForm1::Label7,              HitArea({509, 419, 223, 30}, veld::texts::kAddYourOwnName),
                                                &TForm1::acAddYourOwnExecute, &TForm1::Label7MouseEnter, &TForm1::Label7MouseLeave},
    LabelEntry   {&TForm1::Label10,             HitArea({628, 493, 110, 24}, veld::texts::kConsoleName, kConsolePage), &TForm1::Label10Click},
    LabelEntry   {&TForm1::Label2,              HitArea({473, 492, 92, 26}, veld::texts::kPublisherName, kPublisherPage), &TForm1::Label2Click},
    AnimateEntry {&TForm1::Animate2,            {.bounds = {174, 288, 154, 115}, .repetitions = 1}},
    ListBoxEntry {&TForm1::ListBox1,            {.bounds = {509, 231, 223, 81}, .background = kListBackground, .itemHeight = 13,
                                                 .name = veld::texts::kWallpaperListName},
                                                &TForm1::ListBox1Click},
    AnimateEntry {&TForm1::Animate1,            {.bounds = {173, 287, 154, 115}, .repetitions = 1, .visible = false}},
    CheckBoxEntry{&TForm1::CheckBox1,           {.bounds = {527, 163, 12, 13}, .name = veld::texts::kActiveName}, &TForm1::CheckBox1Click},
    CheckBoxEntry{&TForm1::CheckBox2,           {.bounds = {527, 192, 12, 13}, .name = veld::texts::kRandomName}},
};

// Where Tab goes after the child windows: the commands top to bottom, the links, then
// the close button.
ui::Label TForm1::*const kHitAreaTabOrder[] = {
    &TForm1::Label4, &TForm1::Label5, &TForm1::Label6,  &TForm1::Label7,
    &TForm1::Label1, &TForm1::Label2, &TForm1::Label10, &TForm1::Label3,
};

// The stored size of each list; a list filled at start-up then takes the size of the
// picture button it serves. Each list shows its pictures at its button's size at the
// window's scale.
struct ImageListEntry {
    ui::ImageList TForm1::*list;
    int width;
    int height;
    int pictureId;  // stored pictures, or 0 for a list filled at start-up
    ui::ImageView TForm1::*button;
};

const ImageListEntry kImageLists[] = {
    {&TForm1::ImageList1, 22, 23, IDB_CLOSE_LIST, &TForm1::ImageClose},
    {&TForm1::ImageList2, 213, 38, 0, &TForm1::ImageNoWallpaper},
    {&TForm1::ImageList3, 213, 38, 0, &TForm1::ImageSetAsDefault},
    {&TForm1::ImageList4, 213, 37, 0, &TForm1::ImageDeleteSelected},
    {&TForm1::ImageList5, 213, 38, 0, &TForm1::ImageAddYourOwn},
};
// clang-format on

// The control's event calling the form's handler; none where the table names none.
template <typename... Args>
std::function<void(Args...)> Bind(TForm1* form, void (TForm1::*handler)(Args...))
{
    if (!handler)
        return {};
    return [form, handler](Args... args) { (form->*handler)(args...); };
}

void Wire(TForm1* form, const ImageEntry& entry)
{
    (form->*entry.control).OnMouseDown = Bind(form, entry.onMouseDown);
}

void Wire(TForm1* form, const LabelEntry& entry)
{
    ui::Label& label = form->*entry.control;
    label.OnClick = Bind(form, entry.onClick);
    label.OnMouseEnter = Bind(form, entry.onMouseEnter);
    label.OnMouseLeave = Bind(form, entry.onMouseLeave);
}

void Wire(TForm1*, const AnimateEntry&) {}

template <typename Entry>
void Wire(TForm1* form, const Entry& entry)
{
    (form->*entry.control).OnClick = Bind(form, entry.onClick);
}

}  // namespace

const std::vector<Action>& TForm1::ActionList1()
{
    static const std::vector<Action> actions = {
        {"acNoWallpaper", "acNoWallpaper", &TForm1::acNoWallpaperExecute},
        {"acSetAsDefault", "acSetAsDefault", &TForm1::acSetAsDefaultExecute},
        {"acDeleteSelected", "acDeleteSelected", &TForm1::acDeleteSelectedExecute},
        {"acAddYourOwn", "acAddYourOwn", &TForm1::acAddYourOwnExecute},
        {"acClose", "acClose", &TForm1::acCloseExecute},
    };
    return actions;
}

SIZE TForm1::ClientSize()
{
    // Image1 fills the client area.
    for (const LayoutEntry& entry : kLayout) {
        if (const auto* image = std::get_if<ImageEntry>(&entry); image && image->control == &TForm1::Image1)
            return {image->args.bounds.width, image->args.bounds.height};
    }
    throw std::logic_error("the layout has no Image1");
}

void TForm1::SizeButtonLists()
{
    for (const ImageListEntry& entry : kImageLists) {
        if (!entry.pictureId) {
            const ui::Bounds& button = (this->*entry.button).DesignBounds();
            (this->*entry.list).SetSize(button.width, button.height);
        }
    }
    ShowListsAtScale();
}

void TForm1::ShowListsAtScale()
{
    for (const ImageListEntry& entry : kImageLists) {
        const ui::Bounds& button = (this->*entry.button).GetBounds();
        (this->*entry.list).SetShownSize(button.width, button.height);
    }
}

void TForm1::CreateControls()
{
    OpenDialog1.Configure({.filter = "*.jpg|*.jpg", .defaultExtension = "*.jpg"});
    for (const LayoutEntry& entry : kLayout) {
        std::visit(
            [this](const auto& item) {
                (this->*item.control).Create(*this, item.args);
                Wire(this, item);
            },
            entry);
    }
    std::vector<ui::GraphicControl*> tabOrder;
    for (ui::Label TForm1::*area : kHitAreaTabOrder)
        tabOrder.push_back(&(this->*area));
    SetTabOrder(std::move(tabOrder));
    for (const ImageListEntry& entry : kImageLists) {
        ui::ImageList& list = this->*entry.list;
        list.SetSize(entry.width, entry.height);
        if (entry.pictureId)
            list.Add(ui::LoadBitmapResource(entry.pictureId).get());
    }
    ShowListsAtScale();
}
