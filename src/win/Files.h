// Whole-file reads and safe replacement of files, with the error texts the user reads.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace win {

// A file (not a folder) exists at path.
bool FileExists(const std::string& path);

// What an attempt does to the file at path: another program holding it open makes an
// open for reading or writing fail as a sharing violation, and a replacement or deletion
// as access denied.
enum class FileAction { ReadOrWrite, ReplaceOrDelete };

// Runs attempt (false with the system's error set when it fails) again while that error
// says another program holds the file, as scanners and sync clients do for a moment:
// up to 10 more times, each pause 25 ms longer (about 1.4 s), answering the thread's
// windows meanwhile (win/Wait.h). Other refusals fail at once; the last error is left.
bool RetryWhileHeld(const std::string& path, FileAction action, const std::function<bool()>& attempt);

// The file opened for reading, sharing reading and writing, and held until the owner
// goes, so that no other program can take it alone meanwhile; empty when nothing is at
// path. Throws the file-open error when it cannot be opened (held by another program
// after the retries, or a folder).
Handle HoldReadableIfPresent(const std::string& path);

// The whole file; throws the file-open error when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Deletes the file; false when it could not. RemoveFile gives up at once on a file
// another program holds; RemoveFileRetrying waits for it as RetryWhileHeld does.
bool RemoveFile(const std::string& path);
bool RemoveFileRetrying(const std::string& path);

// Throws the file-open error unless the file can be opened for reading.
void RequireReadable(const std::string& path);

// Runs use on up to size bytes from the start of the file while the file is still open
// for reading, so that no program can hold it unshared between the read and what use
// does with the file; false when it cannot be opened or read, else what use returns.
bool ReadFileStart(const std::string& path, size_t size, const std::function<bool(std::span<const uint8_t>)>& use);

// The existing file can be opened for writing (it is not protected, held open by another
// program or a folder); nothing is changed.
bool CanWriteExisting(const std::string& path);

// Copies from to a new file to; never over an existing file, and never leaves a part
// of it (a full disk): the copy is made under a temporary name in to's folder and moved
// into place. False when it did not.
bool CopyToNewFile(const std::string& from, const std::string& to);
// Removes a copy of Veldana's own making, also one that took over the read-only mark of
// what was copied; false when it could not.
bool RemoveCopy(const std::string& path);

// What the system tells of an opened file or folder, from which IdentityFrom makes its
// identity.
struct IdentityFacts {
    // GetFileInformationByHandle: the volume's serial number and the 64-bit file index.
    DWORD volume = 0;
    uint64_t index = 0;
    // FileIdInfo, where the system has it (Windows 8 and later): the volume's 64-bit
    // serial number and the 128-bit identifier.
    struct LongId {
        uint64_t volume = 0;
        std::array<uint8_t, 16> id{};
    };
    std::optional<LongId> longId;
    // GetFinalPathNameByHandleW, or empty where it gave none.
    std::wstring finalPath;
};

// A short text that tells files and folders apart whatever name reaches them; nothing
// when the facts name none.
std::optional<std::wstring> IdentityFrom(const IdentityFacts& facts);

// The identity of a folder, however it is spelled (a drive letter, a link, its short
// form), or nothing when there is none to open.
std::optional<std::wstring> FolderIdentity(const std::wstring& folder);

// Replaces the file with parts, one after the other, safely: they go into a temporary
// file beside path, which is flushed and moved over path, so path holds either its old
// contents or all of the new ones; the temporary file does not stay. The errors name
// path (or a temporary file in the way) and the system's reason.
void ReplaceFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);

// The temporary file ReplaceFile writes for path.
std::string TemporaryFileOf(const std::string& path);

}  // namespace win
