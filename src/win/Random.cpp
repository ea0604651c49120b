#include "win/Random.h"

#include "core/Error.h"
#include "core/Texts.h"

#include <windows.h>
#include <bcrypt.h>

namespace win {

uint32_t SystemRandom()
{
    uint32_t number = 0;
    const NTSTATUS status =
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&number), sizeof(number), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(status))
        throw veld::Error(veld::texts::NoRandomNumber(static_cast<uint32_t>(status)));
    return number;
}

}  // namespace win
