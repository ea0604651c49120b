#include "win/NamedMutex.h"

#include "win/Wait.h"

namespace win {

NamedMutex::NamedMutex(const std::wstring& name)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    error_ = GetLastError();
    existed_ = mutex && error_ == ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
}

NamedMutex::~NamedMutex()
{
    if (held_)
        ReleaseMutex(mutex_.get());
}

bool NamedMutex::Acquire(DWORD timeout)
{
    if (!mutex_)
        return false;
    // WAIT_ABANDONED: the holder ended half-way; every file is replaced safely, so
    // whatever it was doing left them whole, and the mutex is ours.
    const DWORD waited = WaitAnswering(mutex_.get(), timeout);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return held_;
}

}  // namespace win
