// The active and the inactive look of the window, and the picture buttons lighting up
// under the mouse.
#include "app/Form1.h"

namespace {

constexpr int kNormalPicture = 0;
constexpr int kHoverPicture = 1;

}  // namespace

void TForm1::ApplyActiveState(std::string_view state)
{
    if (state == "true") {
        ListBox1.SetEnabled(true);
        CheckBox2.SetEnabled(true);
    } else {
        ListBox1.SetEnabled(false);
        CheckBox2.SetEnabled(false);
    }
}

void TForm1::CheckBox1Click() { ApplyActiveState(CheckBox1.Checked() ? "true" : "false"); }

void TForm1::Label3MouseEnter() { ImageList1.Draw(kHoverPicture, ImageClose); }
void TForm1::Label3MouseLeave() { ImageList1.Draw(kNormalPicture, ImageClose); }
void TForm1::Label4MouseEnter() { ImageList2.Draw(kHoverPicture, ImageNoWallpaper); }
void TForm1::Label4MouseLeave() { ImageList2.Draw(kNormalPicture, ImageNoWallpaper); }
void TForm1::Label5MouseEnter() { ImageList3.Draw(kHoverPicture, ImageSetAsDefault); }
void TForm1::Label5MouseLeave() { ImageList3.Draw(kNormalPicture, ImageSetAsDefault); }
void TForm1::Label6MouseEnter() { ImageList4.Draw(kHoverPicture, ImageDeleteSelected); }
void TForm1::Label6MouseLeave() { ImageList4.Draw(kNormalPicture, ImageDeleteSelected); }
void TForm1::Label7MouseEnter() { ImageList5.Draw(kHoverPicture, ImageAddYourOwn); }
void TForm1::Label7MouseLeave() { ImageList5.Draw(kNormalPicture, ImageAddYourOwn); }
