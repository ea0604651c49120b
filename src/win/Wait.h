// Waits that keep the thread's windows answering. Another program may be waiting for
// them: the wallpaper call sends WM_SETTINGCHANGE to every top-level window and waits
// for each answer, and the system calls a window that answers nothing "not responding".
// While these wait, what other threads and programs send is answered; what the user
// does (clicks, keys) stays queued until the wait is over, so no other command starts.
// The wait cursor shows meanwhile.
#pragma once

#include <windows.h>

namespace win {

// Waits at most timeout milliseconds for object: WaitForSingleObject's result.
DWORD WaitAnswering(HANDLE object, DWORD timeout);

// Pauses for milliseconds.
void PauseAnswering(DWORD milliseconds);

}  // namespace win
