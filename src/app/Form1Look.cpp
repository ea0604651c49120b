// The active and the inactive look of the window, and the picture buttons lighting up
// under the mouse.
#include "app/Form1.h"

namespace {

constexpr int kNormalPicture = 0;
constexpr int kHoverPicture = 1;
constexpr int kInactivePicture = 2;

}  // namespace

void TForm1::ApplyActiveState(std::string_view state)
{
    ui::Label* const hitAreas[] = {&Label4, &Label5, &Label6, &Label7};
    auto showButtons = [this](int picture) {
        ImageNoWallpaper.ShowListPicture(ImageList2, picture);
        ImageSetAsDefault.ShowListPicture(ImageList3, picture);
        ImageDeleteSelected.ShowListPicture(ImageList4, picture);
        ImageAddYourOwn.ShowListPicture(ImageList5, picture);
    };
    if (state == "true") {
        Animate2.SetActive(false);
        Animate2.SetVisible(false);
        ListBox1.SetEnabled(true);
        CheckBox2.SetEnabled(true);
        showButtons(kNormalPicture);
        for (ui::Label* area : hitAreas)
            area->SetVisible(true);
    } else {
        ListBox1.SetEnabled(false);
        CheckBox2.SetEnabled(false);
        showButtons(kInactivePicture);
        for (ui::Label* area : hitAreas)
            area->SetVisible(false);
        Image2.Clear();
        Animate2.SetActive(true);
        Animate2.SetVisible(true);
        Animate2.Play(1, 24, 1);
    }
}

void TForm1::CheckBox1Click()
{
    ApplyActiveState(CheckBox1.Checked() ? "true" : "false");
}

void TForm1::Label3MouseEnter()
{
    ImageClose.ShowListPicture(ImageList1, kHoverPicture);
}
void TForm1::Label3MouseLeave()
{
    ImageClose.ShowListPicture(ImageList1, kNormalPicture);
}
void TForm1::Label4MouseEnter()
{
    ImageNoWallpaper.ShowListPicture(ImageList2, kHoverPicture);
}
void TForm1::Label4MouseLeave()
{
    ImageNoWallpaper.ShowListPicture(ImageList2, kNormalPicture);
}
void TForm1::Label5MouseEnter()
{
    ImageSetAsDefault.ShowListPicture(ImageList3, kHoverPicture);
}
void TForm1::Label5MouseLeave()
{
    ImageSetAsDefault.ShowListPicture(ImageList3, kNormalPicture);
}
void TForm1::Label6MouseEnter()
{
    ImageDeleteSelected.ShowListPicture(ImageList4, kHoverPicture);
}
void TForm1::Label6MouseLeave()
{
    ImageDeleteSelected.ShowListPicture(ImageList4, kNormalPicture);
}
void TForm1::Label7MouseEnter()
{
    ImageAddYourOwn.ShowListPicture(ImageList5, kHoverPicture);
}
void TForm1::Label7MouseLeave()
{
    ImageAddYourOwn.ShowListPicture(ImageList5, kNormalPicture);
}
