// The three areas that open web pages: each opens exactly its tooltip text.
#include "app/Form1.h"

#include <shellapi.h>

namespace {

void OpenAddress(HWND window, const ui::Label& area)
{
    // shell32 is loaded only when a link is used: loading it at every start costs more
    // than the rest of the start-up work.
    static const auto shellExecute = reinterpret_cast<decltype(&ShellExecuteA)>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), "ShellExecuteA")));
    // Nothing is reported when the shell cannot open the address.
    if (shellExecute)
        shellExecute(window, "open", area.Hint().c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace

void TForm1::Label1Click()
{
    OpenAddress(Handle(), Label1);
}
void TForm1::Label2Click()
{
    OpenAddress(Handle(), Label2);
}
void TForm1::Label10Click()
{
    OpenAddress(Handle(), Label10);
}
