#include "app/Form1.h"
#include "app/resource.h"
#include "core/Steps.h"
#include "core/Texts.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    veld::MarkStep("loaded");
    ui::Application& app = ui::Application::Instance();
    if (!app.ClaimProgramFolder())
        return 0;
    app.Initialize(instance, IDI_PROGRAM);
    app.SetTitle(veld::texts::kTitle);
    if (!ProgramDirUsable())
        return 1;
    veld::MarkStep("initialised");

    TForm1 form;
    Form1 = &form;
    form.Create();
    const int exitCode = app.Run();

    Form1 = nullptr;
    WallpaperDir.clear();
    return exitCode;
}
