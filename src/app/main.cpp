#include "app/Form1.h"
#include "app/resource.h"
#include "core/Steps.h"
#include "core/Texts.h"
#include "ui/Application.h"
#include "win/ProgramDir.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    veld::MarkStep("loaded");
    ui::Application& app = ui::Application::Instance();
    app.SetTitle(veld::texts::kTitle);
    if (!app.ClaimProgramFolder())
        return 0;
    TForm1 form;
    try {
        app.Initialize(instance, IDI_PROGRAM);
        // Throws when no path to the program folder can be spelled in the ANSI code page:
        // nothing beside the program could be reached.
        win::ProgramFolderA();
        veld::MarkStep("initialised");
        Form1 = &form;
        form.Create();
    } catch (...) {
        // No window to go on with: say why, and end.
        Form1 = nullptr;
        app.ShowCurrentError();
        return 1;
    }
    return app.Run();
}
