// The active and the inactive look of the window.
#include "app/Form1.h"

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
