// The program's own folder, and the code page's lead bytes for the portable path rules.
#pragma once

#include <string>

namespace win {

// The folder of the running program, with a trailing backslash, worked out afresh on
// every call. Tests point it at a temporary folder with SetProgramDirForTests.
std::string ProgramDir();
void SetProgramDirForTests(std::string dir);

// IsDBCSLeadByte as a predicate for the portable path rules.
bool IsLeadByte(unsigned char byte);

}  // namespace win
