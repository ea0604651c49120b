// The system's own words for an error code, as the error texts quote them.
#pragma once

#include "core/Error.h"

#include <windows.h>

namespace win {

// The system's text for an error code in the user's language, whole and without its
// trailing line break.
veld::Message SystemMessage(DWORD error);

}  // namespace win
