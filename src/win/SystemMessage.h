// The system's own words for an error code, as the error texts quote them.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// The system's text for an error code, without its trailing line break, marked as the
// system's (veld::SystemText).
std::string SystemMessage(DWORD error);

}  // namespace win
