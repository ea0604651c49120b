// Numbers from the system's random source, which nobody can guess from the time.
#pragma once

#include <cstdint>

namespace win {

// Throws when the system has no random number to give.
uint32_t SystemRandom();

}  // namespace win
