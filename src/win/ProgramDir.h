// The program's own folder, how the system spells paths, and the code page's lead bytes for the path rules.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace win {

// The folder of the running program, with a trailing backslash, worked out afresh on
// every call, in the ANSI code page: a folder the code page cannot spell, or too long for
// the ANSI calls to reach the files in it, is given in its short (8.3) form, and without
// one that serves the error names the folder. Tests point it at a temporary folder with
// SetProgramFolderForTests.
std::string ProgramFolderA();
void SetProgramFolderForTests(std::string dir);

// The folder of the running program as the system spells it, with a trailing backslash.
std::wstring ProgramFolderW();

// One spelling per folder, whichever way it was reached: long form, letters folded.
std::wstring FolderKey(const std::wstring& folder);

// A session-wide object name, "Local\Veldana-<purpose>-<the folder's identity>", the same
// for every program started from the running program's folder, whichever spelling of the
// folder started it.
std::wstring ProgramFolderObjectName(std::wstring_view purpose);

// Where ProgramFolderA looks: the running program's path, and a path's short form (empty
// when there is none). Tests put stand-ins here; empty ones mean the system's own.
using ShortPathLookup = std::function<std::wstring(const std::wstring& path)>;
void SetProgramPathSourcesForTests(std::wstring modulePath, ShortPathLookup shortPath);

// What a system call that writes a path into a buffer of size characters gives (it
// answers the path's length, the size it needs, or 0): empty when it fails and for a
// path longer than the system allows.
std::wstring PathFromSystem(const std::function<DWORD(wchar_t* buffer, DWORD size)>& ask);

// The ANSI spelling that reaches what name names, by the rule ProgramFolderA follows for the
// folder: name itself where the code page spells it exactly, else its short (8.3) form
// shortName; nothing where neither is spelled exactly.
std::optional<std::string> AnsiReaching(const std::wstring& name, const std::wstring& shortName);

// IsDBCSLeadByte as a predicate for the portable path rules.
bool IsLeadByte(unsigned char byte);

}  // namespace win
