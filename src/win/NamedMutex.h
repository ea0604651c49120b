// A mutex shared by name between the processes of one session.
#pragma once

#include "win/Handles.h"

#include <string>

namespace win {

class NamedMutex {
public:
    // Makes the mutex, or opens the one another process made under that name.
    explicit NamedMutex(const std::wstring& name);
    // Lets go of it when held.
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // False when the system could not make it; Error says why.
    bool Made() const { return mutex_ != nullptr; }
    DWORD Error() const { return error_; }
    // Another process had made it first.
    bool AlreadyExisted() const { return existed_; }

    // Waits at most timeout milliseconds for it, answering what is sent to the thread's
    // windows meanwhile (win/Wait.h); true once this thread holds it.
    bool Acquire(DWORD timeout);

private:
    Handle mutex_;
    DWORD error_ = ERROR_SUCCESS;
    bool existed_ = false;
    bool held_ = false;
};

}  // namespace win
