#include "win/ProgramDir.h"

#include "core/Paths.h"

#include <windows.h>

#include <optional>

namespace win {

namespace {

std::optional<std::string>& ProgramDirOverride()
{
    static std::optional<std::string> dir;
    return dir;
}

}  // namespace

std::string ProgramDir()
{
    if (ProgramDirOverride())
        return *ProgramDirOverride();
    char path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::string dir(path, length < std::size(path) ? length : 0);
    dir.resize(dir.size() - veld::FileNamePart(dir, IsLeadByte).size());
    return dir;
}

void SetProgramDirForTests(std::string dir)
{
    ProgramDirOverride() = std::move(dir);
}

bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace win
