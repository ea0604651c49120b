// Whole-file reads and safe replacement of files, with the error texts the user reads.
#pragma once

#include "win/Handles.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace win {

// A file (not a folder) exists at path.
bool FileExists(const std::string& path);

// What an attempt does to the file at path. A program that holds a file open makes an
// open fail as a sharing violation, and replacing, renaming or deleting the file (when it
// did not share its deletion) as access denied.
enum class FileAction { Open, ReplaceOrDelete };

// Virus scanners, backup programs and sync clients open a file for a moment without
// sharing it. Runs attempt, which returns false with the system's error set when it
// fails, and runs it again while that error says another program holds the file at
// path: a sharing or lock violation; access denied to a file being deleted while another
// program still has it open (whose attributes are denied too); and access denied to
// replace or delete a file that is not read-only. Denials with another cause (a
// read-only file, a folder, a protected folder) fail at once. Up to 10 more times, each
// pause 25 ms longer than the last, about 1.4 s in all, answering what is sent to the
// thread's windows meanwhile (win/Wait.h). Every open, read, write and replacement of
// Veldana's own files goes through it. The last error is left for the caller.
bool RetryWhileHeld(const std::string& path, FileAction action, const std::function<bool()>& attempt);

// Throws the file-open error when something is at path that cannot be opened for
// reading (held by another program after the retries, or a folder); a missing file is
// no error. The private-profile read cannot tell a held file from a missing one.
void RequireReadableIfPresent(const std::string& path);

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

// A file replaced safely: the new contents go into a temporary file beside path, which
// Commit flushes and moves over path, so path holds either its old contents or all of
// the new ones. A failure, or the replacement ending without Commit, removes the
// temporary file; the errors name path and the system's reason.
class FileReplacement {
public:
    explicit FileReplacement(const std::string& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Adds bytes at the end of what was written so far.
    void Append(std::span<const uint8_t> bytes);
    // Writes bytes again over what was written before, at offset.
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes);
    void Commit();

private:
    [[noreturn]] void Fail(DWORD error);

    std::string path_;
    std::string temporary_;
    File file_;
    uint64_t size_ = 0;
    bool temporaryExists_ = false;
};

// Replaces the file with bytes, as a FileReplacement does.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);

// The temporary file a FileReplacement writes for path.
std::string TemporaryFileOf(const std::string& path);

}  // namespace win
