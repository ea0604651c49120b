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
        ImageList2.Draw(picture, ImageNoWallpaper);
        ImageList3.Draw(picture, ImageSetAsDefault);
        ImageList4.Draw(picture, ImageDeleteSelected);
        ImageList5.Draw(picture, ImageAddYourOwn);
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
    ImageList1.Draw(kHoverPicture, ImageClose);
}
void TForm1::Label3MouseLeave()
{
    ImageList1.Draw(kNormalPicture, ImageClose);
}
void TForm1::Label4MouseEnter()
{
    ImageList2.Draw(kHoverPicture, ImageNoWallpaper);
}
void TForm1::Label4MouseLeave()
{
    ImageList2.Draw(kNormalPicture, ImageNoWallpaper);
}
void TForm1::Label5MouseEnter()
{
    ImageList3.Draw(kHoverPicture, ImageSetAsDefault);
}
void TForm1::Label5MouseLeave()
{
    ImageList3.Draw(kNormalPicture, ImageSetAsDefault);
}
void TForm1::Label6MouseEnter()
{
    ImageList4.Draw(kHoverPicture, ImageDeleteSelected);
}
void TForm1::Label6MouseLeave()
{
    ImageList4.Draw(kNormalPicture, ImageDeleteSelected);
}
void TForm1::Label7MouseEnter()
{
    ImageList5.Draw(kHoverPicture, ImageAddYourOwn);
}
void TForm1::Label7MouseLeave()
{
    ImageList5.Draw(kNormalPicture, ImageAddYourOwn);
}
