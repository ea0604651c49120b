#include "win/Registry.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "win/Handles.h"
#include "win/SystemMessage.h"

#include <windows.h>

namespace win {

void SetUserString(const std::string& key, const std::string& name, const std::string& value)
{
    HKEY opened = nullptr;
    LSTATUS status =
        RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS)
        throw veld::Error(veld::texts::CannotOpenRegistryKey(key, SystemMessage(static_cast<DWORD>(status))));
    RegKey owner(opened);
    status = RegSetValueExA(opened, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    if (status != ERROR_SUCCESS)
        throw veld::Error(veld::texts::CannotSetRegistryValue(name, SystemMessage(static_cast<DWORD>(status))));
}

}  // namespace win
