#include "app/Form1.h"

#include "app/resource.h"
#include "catalogue/Catalogue.h"
#include "desktop/Desktop.h"
#include "preview/Preview.h"
#include "core/Paths.h"
#include "core/Steps.h"
#include "core/Texts.h"
#include "settings/Settings.h"
#include "ui/Application.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/Screen.h"
#include "win/UserText.h"

std::string WallpaperDir;
TForm1* Form1 = nullptr;

TForm1::~TForm1()
{
    DestroyHandle();
}

void TForm1::Create()
{
    ui::Application& app = ui::Application::Instance();
    const SIZE client = ClientSize();
    CreateHandle({.className = "TForm1",
                  .caption = "Form1",
                  .clientWidth = client.cx,
                  .clientHeight = client.cy,
                  .owner = app.OwnerWindow(),
                  .iconId = IDI_PROGRAM});
    veld::MarkStep("controls");
    app.SetMainWindow(Handle());
    // What reaches the window while start-up waits starts no command, and a close waits.
    RunCommand([this] { FormCreate(); });
    ShowWindow(app.OwnerWindow(), SW_SHOWNOACTIVATE);
    Show();
}

void TForm1::FormCreate()
{
    ui::Application& app = ui::Application::Instance();
    // Each step reports its own error and the next one still runs: settings left unread
    // would be overwritten with "False" at the next close.
    app.Guard([&] { app.SetTitle(veld::texts::kRunningTitle); });
    app.Guard([&] { desktop::RemoveLeftovers(); });
    app.Guard([&] { LoadButtonPictures(); });
    veld::MarkStep("pictures");
    app.Guard([&] { LoadClips(); });
    veld::MarkStep("clips");
    app.Guard([&] { ApplyWindowShape(); });
    veld::MarkStep("region");
    app.Guard([&] { WallpaperDir = catalogue::ChooseWallpaperDir(win::ProgramFolderA(), win::PrimaryScreenSize()); });
    app.Guard([&] { RefillWallpaperList(); });
    veld::MarkStep("list");
    // A veld.ini that is there but cannot be read (another program holds it past the
    // retries) is named once, and both check marks start unticked.
    bool active = false, random = false;
    settingsRead_ = false;
    app.Guard([&] {
        active = settings::Read(settings::Flag::Active);
        random = settings::Read(settings::Flag::Random);
        settingsRead_ = true;
    });
    app.Guard([&] {
        CheckBox1.SetChecked(active);
        ApplyActiveState(active ? "true" : "false");
    });
    app.Guard([&] { CheckBox2.SetChecked(random); });
    startActive_ = CheckBox1.Checked();
    startRandom_ = CheckBox2.Checked();
    veld::MarkStep("settings");
}

void TForm1::LoadButtonPictures()
{
    SizeButtonLists();
    ui::ImageList* const lists[] = {&ImageList2, &ImageList3, &ImageList4, &ImageList5};
    int number = 1;
    for (ui::ImageList* list : lists) {
        for (const char letter : {'A', 'B', 'C'}) {
            const std::string name = "Media\\button" + std::to_string(number) + "_" + letter + ".bmp";
            win::Bitmap scratch = ui::LoadBitmapFile(win::ProgramFolderA() + name);
            list->Add(scratch.get());
        }
        ++number;
    }
}

void TForm1::LoadClips()
{
    OpenClip(Animate1, "tv");
    Animate1.SetActive(false);
    OpenClip(Animate2, "on");
    Animate2.SetActive(false);
    Animate2.SetVisible(false);
}

void TForm1::OpenClip(ui::Animate& clip, const std::string& name)
{
    // Media holds each clip as drawn for 96 dpi and enlarged for 192.
    const std::string path = win::ProgramFolderA() + "Media\\" + name;
    if (Dpi() >= 192 && win::FileExists(path + "_200.avi"))
        clip.Open(path + "_200.avi", 192);
    else
        clip.Open(path + ".avi", 96);
}

void TForm1::OnRescale()
{
    ui::Application& app = ui::Application::Instance();
    ShowListsAtScale();
    // What plays goes on playing in the clip for the new scale.
    for (ui::Animate* clip : {&Animate1, &Animate2}) {
        if (clip->FrameCount() > 0)
            app.Guard([&] { clip->Reopen([&] { OpenClip(*clip, clip == &Animate1 ? "tv" : "on"); }); });
    }
    app.Guard([&] { ApplyWindowShape(); });
    const ui::Bounds& area = Image2.GetBounds();
    if (Image2.Picture() && !previewFile_.empty()) {
        // The preview is decoded again at its new size; a file that cannot be read any
        // more leaves the picture as it was: no error box for moving a window.
        try {
            Image2.SetPicture(preview::LoadPreview(previewFile_, area.width, area.height));
        } catch (...) {
        }
    }
}

void TForm1::FormClose()
{
    // Unticked marks over settings that were never read would switch them off behind
    // the user's back.
    if (settingsRead_ || CheckBox1.Checked() != startActive_)
        settings::Write(settings::Flag::Active, CheckBox1.Checked());
    if (settingsRead_ || CheckBox2.Checked() != startRandom_)
        settings::Write(settings::Flag::Random, CheckBox2.Checked());
}

void TForm1::RefillWallpaperList()
{
    ListBox1.Clear();
    WallpaperFiles = {};
    catalogue::FindFiles(WallpaperDir, WallpaperFiles, catalogue::kWallpaperMask);
    std::vector<std::wstring> names;
    names.reserve(WallpaperFiles.size());
    for (const catalogue::WallpaperFile& file : WallpaperFiles)
        names.push_back(file.name);
    ListBox1.AddAll(names);
}

void TForm1::WithSelectedFile(const std::function<void(const std::string& path)>& action) const
{
    const int index = ListBox1.ItemIndex();
    const catalogue::WallpaperFile file = index >= 0 && static_cast<size_t>(index) < WallpaperFiles.size()
                                              ? WallpaperFiles[static_cast<size_t>(index)]
                                              : catalogue::WallpaperFile{};
    try {
        action(SelectedFile());
    } catch (const veld::Error& error) {
        // The name as the path that reaches it spells it, or as the code page comes nearest.
        const std::wstring reached = win::FromAnsi(
            veld::FileNamePart(file.path.empty() ? win::AnsiNearest(file.name) : file.path, win::IsLeadByte));
        if (reached == file.name)
            throw;
        std::wstring text = error.Text().Wide();
        for (size_t at = text.find(reached); at != std::wstring::npos; at = text.find(reached, at + file.name.size()))
            text.replace(at, reached.size(), file.name);
        throw veld::Error(veld::Message(std::move(text)));
    }
}

std::string TForm1::SelectedFile() const
{
    const int index = ListBox1.ItemIndex();
    if (index < 0 || static_cast<size_t>(index) >= WallpaperFiles.size())
        return {};
    return catalogue::ReachableFile(WallpaperDir, WallpaperFiles[static_cast<size_t>(index)]);
}
