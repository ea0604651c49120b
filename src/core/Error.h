// Errors carry the text the user reads in the error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace veld {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The error box's text for a message: a trailing line break (system messages end in
// CR LF) is dropped, and a period is added when the last character sorts above '.'
// (a letter, a digit, a colon), but not after a period, a space or a ')'.
std::string ErrorBoxText(std::string_view message);

}  // namespace veld
