// Whole-file reads and safe replacement of files, with the error texts the user reads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace win {

// "Datei <path> kann nicht geöffnet werden. <reason>"
[[noreturn]] void ThrowFileOpenError(const std::string& path, DWORD error);

// The path rules drop the spaces and dots a name ends in, so "a.jpg " would reach
// "a.jpg": such a path is given in its "\\?\" form, which the rules leave alone. Other
// paths are returned as they are. The functions below reach files through it.
std::string ExactPath(const std::string& path);

// A file (not a folder) exists at path.
bool FileExists(const std::string& path);

// The whole file; throws the file-open error when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Deletes the file; false when it could not.
bool RemoveFile(const std::string& path);

// Tells files apart whatever name reaches them: the volume and the file's number on it.
struct FileIdentity {
    DWORD volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at path, or nothing when there is none to open.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Writes the parts one after the other into a temporary file beside path and moves it
// into place, so path holds either its old contents or all of the new ones. On failure
// the temporary file is removed and the error names path and the system's reason.
void ReplaceFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);

// The temporary file ReplaceFile writes for path.
std::string TemporaryFileOf(const std::string& path);

}  // namespace win
