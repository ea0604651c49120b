// The main window: every component of the layout under its own name and every event
// handler as a method. The handlers are defined in the folder of their concern.
#pragma once

#include "ui/CheckBox.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

#include <string>
#include <string_view>
#include <vector>

// The wallpaper folder chosen at start-up (with a trailing backslash), or empty when
// no folder suits the screen.
extern std::string WallpaperDir;

class TForm1 : public ui::Form {
public:
    TForm1();

    // Creates the window, runs the start-up sequence and shows the window centred.
    void Create();

    // Components, in creation order.
    ui::ListBox ListBox1{"ListBox1"};
    ui::CheckBox CheckBox1{"CheckBox1"};
    ui::CheckBox CheckBox2{"CheckBox2"};

    // Full paths behind the entries of ListBox1, entry for entry.
    std::vector<std::string> WallpaperFiles;

    // Start-up and closing.
    void FormCreate();
    void FormClose();

    // Active and inactive look.
    void ApplyActiveState(std::string_view state);
    void CheckBox1Click();

    // The wallpaper list.
    void RefillWallpaperList();
    // The WallpaperFiles entry of the selected list entry, or empty with no selection.
    std::string SelectedFile() const;

protected:
    void CreateControls() override;
    void OnClose() override { FormClose(); }

private:
    void AddWallpaperNames();
};

extern TForm1* Form1;
