// VeldanaStart.exe, started at sign-in from the user's Run key. A GUI program that
// never opens a window, so no console flashes up.
#include "start/SignIn.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Nobody is there to answer the system's boxes either (a drive without a disk, a crash).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    return start::Run();
}
