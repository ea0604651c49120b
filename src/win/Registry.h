// Values in the current user's part of the registry.
#pragma once

#include <string>

namespace win {

// Writes a string value under HKEY_CURRENT_USER\key, creating the key where missing.
// Throws an error naming the key or the value, with the system's reason.
void SetUserString(const std::string& key, const std::string& name, const std::string& value);

}  // namespace win
