// The main window: every component of the layout under its own name and every event
// handler as a method. The hover handlers are written here; the others are defined in
// files named after the form, one per concern: Form1.cpp start-up and close,
// Form1Look.cpp the active and inactive looks, Form1Commands.cpp the commands,
// Form1Links.cpp the links, Form1Preview.cpp the preview click; Layout.cpp places the
// controls and Shape.cpp cuts and drags the window.
#pragma once

#include "catalogue/Catalogue.h"
#include "ui/Animate.h"
#include "ui/CheckBox.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Graphic.h"
#include "ui/ImageList.h"
#include "ui/ListBox.h"

#include <string>
#include <string_view>
#include <vector>

// The wallpaper folder chosen at start-up (with a trailing backslash), or empty when
// no folder suits the screen.
extern std::string WallpaperDir;

class TForm1;

// A named command with its caption; the hit areas call the same handlers directly.
struct Action {
    const char* name;
    const char* caption;
    void (TForm1::*execute)();
};

class TForm1 : public ui::Form {
public:
    // The window goes before the controls it still talks to while it is destroyed.
    ~TForm1() override;

    // Creates the window, runs the start-up sequence and shows the window centred.
    void Create();

    // Components, in creation order (the layout table in Layout.cpp places them).
    ui::ImageView Image1;
    ui::ImageView Image2;
    ui::Label Label1;
    ui::ImageView ImageClose;
    ui::Label Label3;
    ui::ImageView ImageNoWallpaper;
    ui::ImageView ImageSetAsDefault;
    ui::ImageView ImageDeleteSelected;
    ui::ImageView ImageAddYourOwn;
    ui::Label Label4;
    ui::Label Label5;
    ui::Label Label6;
    ui::Label Label7;
    ui::Label Label10;
    ui::Label Label2;
    ui::Animate Animate2;
    ui::ListBox ListBox1;
    ui::Animate Animate1;
    ui::CheckBox CheckBox1;
    ui::CheckBox CheckBox2;

    ui::ImageList ImageList1;
    ui::ImageList ImageList2;
    ui::ImageList ImageList3;
    ui::ImageList ImageList4;
    ui::ImageList ImageList5;

    ui::OpenDialog OpenDialog1;
    static const std::vector<Action>& ActionList1();

    // The window's shape, owned by the window once applied.
    HRGN WindowRegion = nullptr;
    // The files behind the entries of ListBox1, entry for entry.
    std::vector<catalogue::WallpaperFile> WallpaperFiles;

    // The client area's size, from the layout table.
    static SIZE ClientSize();

    // Start-up and closing.
    void FormCreate();
    void FormClose();
    void LoadButtonPictures();
    // Each picture button's image list takes the button's size, before anything is added.
    void SizeButtonLists();
    // Every image list shows its pictures at its button's size at the window's scale.
    void ShowListsAtScale();
    void LoadClips();
    // The clip of that name drawn for the largest scale up to the window's that Media holds.
    void OpenClip(ui::Animate& clip, const std::string& name);
    void ApplyWindowShape();
    void Image1MouseDown(ui::MouseButton button, POINT point);

    // Preview.
    void ListBox1Click();

    // Active and inactive look.
    void ApplyActiveState(std::string_view state);
    void CheckBox1Click();
    // A picture button lights up while the mouse is over its hit area.
    void Label3MouseEnter() { ImageClose.ShowListPicture(ImageList1, kHoverPicture); }
    void Label3MouseLeave() { ImageClose.ShowListPicture(ImageList1, kNormalPicture); }
    void Label4MouseEnter() { ImageNoWallpaper.ShowListPicture(ImageList2, kHoverPicture); }
    void Label4MouseLeave() { ImageNoWallpaper.ShowListPicture(ImageList2, kNormalPicture); }
    void Label5MouseEnter() { ImageSetAsDefault.ShowListPicture(ImageList3, kHoverPicture); }
    void Label5MouseLeave() { ImageSetAsDefault.ShowListPicture(ImageList3, kNormalPicture); }
    void Label6MouseEnter() { ImageDeleteSelected.ShowListPicture(ImageList4, kHoverPicture); }
    void Label6MouseLeave() { ImageDeleteSelected.ShowListPicture(ImageList4, kNormalPicture); }
    void Label7MouseEnter() { ImageAddYourOwn.ShowListPicture(ImageList5, kHoverPicture); }
    void Label7MouseLeave() { ImageAddYourOwn.ShowListPicture(ImageList5, kNormalPicture); }

    // Commands.
    void acNoWallpaperExecute();
    void acSetAsDefaultExecute();
    void acDeleteSelectedExecute();
    void acAddYourOwnExecute();
    void acCloseExecute();

    // Promotion links.
    void Label1Click();
    void Label2Click();
    void Label10Click();
    void Label1MouseEnter() { Label1.SetColor(RGB(255, 255, 255)); }
    void Label1MouseLeave() { Label1.SetColor(RGB(0, 0, 0)); }

    // The wallpaper list.
    void RefillWallpaperList();
    // The path of the selected list entry's file, or empty with no selection. Throws,
    // naming the file, when no path reaches it.
    std::string SelectedFile() const;
    // Runs action with SelectedFile(). A box it raises names the file as the list shows it,
    // not by the short (8.3) name that reaches it.
    void WithSelectedFile(const std::function<void(const std::string& path)>& action) const;

protected:
    void CreateControls() override;
    void OnClose() override { FormClose(); }
    // At a new scale: the lists' pictures, the clips, the outline and the preview.
    void OnRescale() override;
    // The end of the session is no close request: store the check boxes as closing does.
    void OnEndSession() override { FormClose(); }

private:
    // The pictures in a picture button's image list.
    static constexpr int kNormalPicture = 0;
    static constexpr int kHoverPicture = 1;
    static constexpr int kInactivePicture = 2;

    // The check marks as start-up left them, and whether they came from veld.ini: when
    // veld.ini was there but could not be read, closing stores only what the user changed.
    bool settingsRead_ = true;
    bool startActive_ = false;
    bool startRandom_ = false;
    // The file the preview shows, decoded again at a new scale.
    std::string previewFile_;
};

// The outline of a picture: the rectangle of its size less every pixel of the key
// colour (the top-left pixel's), one subtraction per horizontal run.
win::Region BuildWindowRegion(HBITMAP bitmap);

extern TForm1* Form1;
