#include "win/Wait.h"

#include <algorithm>

namespace win {

namespace {

// Windows calls a window that has not looked at its messages for 5 s "not responding",
// even when nothing was sent to it.
constexpr DWORD kLongestSilence = 250;

}  // namespace

DWORD WaitAnswering(HANDLE object, DWORD timeout)
{
    const DWORD count = object ? 1 : 0;
    if (object) {
        const DWORD atOnce = WaitForSingleObject(object, 0);
        if (atOnce != WAIT_TIMEOUT || timeout == 0)
            return atOnce;
    }
    const HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const ULONGLONG end = GetTickCount64() + timeout;
    DWORD result = WAIT_TIMEOUT;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        // PeekMessage calls the window procedures for what was sent; limited to sent
        // messages, it takes nothing from the queue.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(end - now, kLongestSilence));
        result = MsgWaitForMultipleObjectsEx(count, &object, slice, QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0 + count)
            result = WAIT_TIMEOUT;  // something was sent: answered at the top
        else if (result != WAIT_TIMEOUT)
            break;
    }
    SetCursor(previous);
    return result;
}

void PauseAnswering(DWORD milliseconds)
{
    WaitAnswering(nullptr, milliseconds);
}

}  // namespace win
