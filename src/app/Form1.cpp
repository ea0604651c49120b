#include "app/Form1.h"

#include "app/resource.h"
#include "catalogue/Catalogue.h"
#include "desktop/Desktop.h"
#include "core/Paths.h"
#include "core/Steps.h"
#include "core/Texts.h"
#include "settings/Settings.h"
#include "ui/Application.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"

std::string WallpaperDir;
TForm1* Form1 = nullptr;

namespace {

constexpr int kClientWidth = 762;
constexpr int kClientHeight = 540;

}  // namespace

bool ProgramDirUsable()
{
    try {
        win::ProgramDir();
        return true;
    } catch (const std::exception& error) {
        ui::Application::Instance().ShowError(error.what());
        return false;
    }
}

TForm1::TForm1() = default;

TForm1::~TForm1()
{
    DestroyHandle();
}

void TForm1::Create()
{
    ui::Application& app = ui::Application::Instance();
    CreateHandle({.className = "TForm1",
                  .caption = "Form1",
                  .clientWidth = kClientWidth,
                  .clientHeight = kClientHeight,
                  .owner = app.OwnerWindow(),
                  .iconId = IDI_PROGRAM});
    veld::MarkStep("controls");
    if (!app.MainWindow())
        app.SetMainWindow(Handle());
    FormCreate();
    ShowWindow(app.OwnerWindow(), SW_SHOWNOACTIVATE);
    ShowCentered();
}

void TForm1::FormCreate()
{
    ui::Application& app = ui::Application::Instance();
    // Each step reports its own error and the next one still runs: settings left unread
    // would be overwritten with "False" at the next close.
    app.Guard([&] { app.SetTitle(veld::texts::kRunningTitle); });
    app.Guard([&] { desktop::RemoveLeftoverConversion(); });
    app.Guard([&] { LoadButtonPictures(); });
    veld::MarkStep("pictures");
    app.Guard([&] { LoadClips(); });
    veld::MarkStep("clips");
    app.Guard([&] { ApplyWindowShape(); });
    veld::MarkStep("region");
    app.Guard([&] {
        WallpaperFiles.clear();
        WallpaperShortNames.clear();
    });
    app.Guard([&] { WallpaperDir = catalogue::ChooseWallpaperDir(win::ProgramDir(), win::PrimaryScreenSize()); });
    app.Guard([&] {
        catalogue::FindFiles(WallpaperDir, WallpaperFiles, "*.jpg", &WallpaperShortNames);
        AddWallpaperNames();
    });
    veld::MarkStep("list");
    app.Guard([&] {
        if (settings::ReadSetting("Settings", "Active", "") == "True") {
            CheckBox1.SetChecked(true);
            ApplyActiveState("true");
        } else {
            CheckBox1.SetChecked(false);
            ApplyActiveState("false");
        }
    });
    app.Guard([&] { CheckBox2.SetChecked(settings::ReadSetting("Settings", "Random", "") == "True"); });
    veld::MarkStep("settings");
}

void TForm1::LoadButtonPictures()
{
    struct Button {
        ui::ImageList* list;
        int width;
        int height;
    };
    const Button buttons[] = {
        {&ImageList2, 236, 36},
        {&ImageList3, 236, 33},
        {&ImageList4, 236, 33},
        {&ImageList5, 236, 37},
    };
    for (const Button& button : buttons)
        button.list->SetSize(button.width, button.height);
    int number = 1;
    for (const Button& button : buttons) {
        for (const char letter : {'A', 'B', 'C'}) {
            const std::string name = "Media\\button" + std::to_string(number) + "_" + letter + ".bmp";
            win::Bitmap scratch = ui::LoadBitmapFile(win::ProgramDir() + name);
            button.list->Add(scratch.get());
        }
        ++number;
    }
}

void TForm1::LoadClips()
{
    Animate1.Open(win::ProgramDir() + "Media\\tv.avi");
    Animate1.SetActive(false);
    Animate2.Open(win::ProgramDir() + "Media\\on.avi");
    Animate2.SetActive(false);
    Animate2.SetVisible(false);
}

void TForm1::FormClose()
{
    settings::WriteSetting("Settings", "Active", CheckBox1.Checked() ? "True" : "False");
    settings::WriteSetting("Settings", "Random", CheckBox2.Checked() ? "True" : "False");
}

void TForm1::RefillWallpaperList()
{
    ListBox1.Clear();
    WallpaperFiles = {};
    WallpaperShortNames = {};
    catalogue::FindFiles(WallpaperDir, WallpaperFiles, "*.jpg", &WallpaperShortNames);
    AddWallpaperNames();
}

void TForm1::AddWallpaperNames()
{
    std::vector<std::string> names;
    names.reserve(WallpaperFiles.size());
    for (const std::string& path : WallpaperFiles)
        names.push_back(veld::FileNamePart(path, win::IsLeadByte));
    ListBox1.AddAll(names);
}

std::string TForm1::SelectedFile() const
{
    const int index = ListBox1.ItemIndex();
    if (index < 0 || static_cast<size_t>(index) >= WallpaperFiles.size())
        return {};
    const std::string& path = WallpaperFiles[static_cast<size_t>(index)];
    if (static_cast<size_t>(index) < WallpaperShortNames.size())
        catalogue::CheckListedFile(path, WallpaperShortNames[static_cast<size_t>(index)]);
    return path;
}
