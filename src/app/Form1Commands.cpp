// The commands behind the picture buttons and the close button.
#include "app/Form1.h"

#include "core/Paths.h"
#include "core/Texts.h"
#include "desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "win/Files.h"
#include "win/ProgramDir.h"
#include "win/UserText.h"

// A desktop that the system paints (Windows, Wine's virtual desktop) draws a new
// wallpaper over every window on it, and this one would stay overdrawn.
void TForm1::acNoWallpaperExecute()
{
    desktop::ClearDefaultWallpaper([this] { RedrawOverDesktop(); });
}

void TForm1::acSetAsDefaultExecute()
{
    if (ListBox1.ItemIndex() < 0)
        return;
    WithSelectedFile([this](const std::string& path) {
        desktop::SetDefaultWallpaper(path, desktop::Picture::ShowWhatIsThere, [this] { RedrawOverDesktop(); });
    });
}

void TForm1::acDeleteSelectedExecute()
{
    std::string file;
    WithSelectedFile([&](const std::string& path) { file = path; });
    if (!win::FileExists(file))
        return;
    // Named as the list shows it, not by the short (8.3) name that may reach it.
    const veld::Message message =
        veld::texts::AskDeleteFile(WallpaperFiles[static_cast<size_t>(ListBox1.ItemIndex())].name);
    if (ui::AskYesNo(message, {veld::texts::kYes, veld::texts::kNo}) != 1)
        return;
    win::RemoveFileRetrying(file);  // a failed delete shows in the refilled list
    RefillWallpaperList();
    Image2.Clear();
}

void TForm1::acAddYourOwnExecute()
{
    // Without a wallpaper folder there is nowhere to copy to: the target would be the
    // root of the current drive.
    if (WallpaperDir.empty()) {
        ui::ShowInformation(veld::texts::kNoWallpaperFolder);
        RefillWallpaperList();
        return;
    }
    if (OpenDialog1.Execute(Handle())) {
        const std::string chosen = OpenDialog1.FileName();
        const std::string target = WallpaperDir + "/" + veld::FileNamePart(chosen, win::IsLeadByte);
        // Never over an existing file; a refused or failed copy is not reported.
        win::CopyToNewFile(chosen, target);
    }
    RefillWallpaperList();
}

void TForm1::acCloseExecute()
{
    Close();
}
