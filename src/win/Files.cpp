#include "win/Files.h"

#include "core/Error.h"
#include "core/Steps.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "core/WallpaperFolder.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"
#include "win/Wait.h"
#include "win/UserText.h"

#include <algorithm>

namespace win {

namespace {

// "Datei <path> kann nicht geöffnet werden. <reason>"
[[noreturn]] void ThrowFileOpenError(const std::string& path, DWORD error)
{
    throw veld::Error(veld::texts::CannotOpenFile(FromAnsi(path), SystemMessage(error)));
}

// The path rules drop the spaces and dots a name ends in, so "a.jpg " would reach
// "a.jpg": such a path is given in its "\\?\" form, which keeps them; others as they are.
std::string KeepTrailingDotOrSpace(const std::string& path)
{
    const size_t last = veld::LastCharOffset(path, IsLeadByte);
    if (last == std::string::npos || (path[last] != ' ' && path[last] != '.') || path.starts_with("\\\\?\\"))
        return path;
    // The folder may be written any way the rules accept; only the name must stay as it is.
    const std::string name = veld::FileNamePart(path, IsLeadByte);
    const std::string folder = path.substr(0, path.size() - name.size());
    if (folder.empty())
        return path;
    char full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(folder.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    if (length == 0 || length >= std::size(full))
        return path;
    const std::string dir(full, length);
    if (dir.starts_with("\\\\.\\"))
        return path;  // a device path has no "\\?\" form
    if (dir.starts_with("\\\\"))
        return "\\\\?\\UNC\\" + veld::JoinPath(dir.substr(2), name, IsLeadByte);
    return "\\\\?\\" + veld::JoinPath(dir, name, IsLeadByte);
}

constexpr int kRetries = 10;
constexpr DWORD kPauseStep = 25;

bool HeldByAnother(const std::string& path, FileAction action, DWORD error)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return true;
    if (error != ERROR_ACCESS_DENIED)
        return false;
    const DWORD attributes = GetFileAttributesA(KeepTrailingDotOrSpace(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_ACCESS_DENIED;  // being deleted
    return action == FileAction::ReplaceOrDelete &&
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// CreateFileA through the retries; INVALID_HANDLE_VALUE with the last error when it fails.
HANDLE OpenRetrying(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    const std::string exact = KeepTrailingDotOrSpace(path);
    HANDLE handle = INVALID_HANDLE_VALUE;
    RetryWhileHeld(path, FileAction::ReadOrWrite, [&] {
        handle = CreateFileA(exact.c_str(), access, share, nullptr, disposition, flags, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    return handle;
}

// Opens path through the retries and closes it again: the system's error, or ERROR_SUCCESS.
DWORD OpenError(const std::string& path, DWORD access, DWORD share)
{
    HANDLE handle = OpenRetrying(path, access, share, OPEN_EXISTING, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(handle);
    return ERROR_SUCCESS;
}

}  // namespace

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(KeepTrailingDotOrSpace(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RetryWhileHeld(const std::string& path, FileAction action, const std::function<bool()>& attempt)
{
    for (int retry = 1;; ++retry) {
        if (attempt())
            return true;
        const DWORD error = GetLastError();
        if (retry > kRetries || !HeldByAnother(path, action, error)) {
            SetLastError(error);
            return false;
        }
        PauseAnswering(retry * kPauseStep);
    }
}

Handle HoldReadableIfPresent(const std::string& path)
{
    HANDLE handle = OpenRetrying(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    if (handle != INVALID_HANDLE_VALUE)
        return Handle(handle);
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        ThrowFileOpenError(path, error);
    return nullptr;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    HANDLE handle =
        OpenRetrying(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE)
        ThrowFileOpenError(path, GetLastError());
    Handle file(handle);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size))
        ThrowFileOpenError(path, GetLastError());
    // A wallpaper is a few megabytes; refuse what could not be one before allocating.
    constexpr LONGLONG kLargestFile = LONGLONG{1} << 30;
    if (size.QuadPart > kLargestFile)
        throw veld::Error(veld::texts::FileTooLarge(FromAnsi(path)));
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(handle, bytes.data() + done, chunk, &read, nullptr))
            ThrowFileOpenError(path, GetLastError());
        if (read == 0)
            break;  // the file shrank while we read it
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(KeepTrailingDotOrSpace(path).c_str()) != FALSE;
}

bool RemoveFileRetrying(const std::string& path)
{
    const std::string exact = KeepTrailingDotOrSpace(path);
    return RetryWhileHeld(path, FileAction::ReplaceOrDelete, [&] { return DeleteFileA(exact.c_str()) != FALSE; });
}

void RequireReadable(const std::string& path)
{
    if (const DWORD error = OpenError(path, GENERIC_READ, FILE_SHARE_READ))
        ThrowFileOpenError(path, error);
}

bool ReadFileStart(const std::string& path, size_t size, const std::function<bool(std::span<const uint8_t>)>& use)
{
    HANDLE handle = OpenRetrying(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    Handle file(handle);
    std::vector<uint8_t> bytes(size);
    DWORD read = 0;
    return ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           use(std::span(bytes).first(read));
}

bool CanWriteExisting(const std::string& path)
{
    return OpenError(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE) == ERROR_SUCCESS;
}

bool CopyToNewFile(const std::string& from, const std::string& to)
{
    // The temporary name ends in ".tmp" in its long and its 8.3 form, so a refill of the
    // list in between never shows it as a wallpaper. GetTempFileNameA makes it, empty,
    // under a name no file had.
    const std::string exactTo = KeepTrailingDotOrSpace(to);
    const std::string folder = exactTo.substr(0, exactTo.size() - veld::FileNamePart(exactTo, IsLeadByte).size());
    char temporary[MAX_PATH];
    if (folder.empty() || !GetTempFileNameA(folder.c_str(), veld::kCopyPrefix, 0, temporary))
        return false;
    const std::string exactFrom = KeepTrailingDotOrSpace(from);
    const bool copied = RetryWhileHeld(from, FileAction::ReadOrWrite,
                                       [&] { return CopyFileA(exactFrom.c_str(), temporary, FALSE) != FALSE; }) &&
                        MoveFileExA(temporary, exactTo.c_str(), MOVEFILE_WRITE_THROUGH);
    // A copy cut off by a full disk stays behind under Wine; the temporary file is ours.
    if (!copied)
        RemoveCopy(temporary);
    return copied;
}

bool RemoveCopy(const std::string& path)
{
    // A copy takes over the read-only mark of a read-only original.
    SetFileAttributesA(KeepTrailingDotOrSpace(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveFile(path);
}

namespace {

// FileIdInfo of GetFileInformationByHandleEx, declared here: the headers give it only to
// programs for Windows 8 and later, and Windows 7 answers it with an error.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation {
    ULONGLONG volume;
    BYTE id[16];
};

std::wstring Hex(uint64_t value, int digits)
{
    std::wstring text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        text += L"0123456789abcdef"[(value >> shift) & 0xF];
    return text;
}

}  // namespace

std::optional<std::wstring> FolderIdentity(const std::wstring& folder)
{
    // A folder opens only with backup semantics; reading its attributes needs no rights.
    HANDLE handle =
        CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    Handle file(handle);
    IdentityFacts facts;
    // What the system cannot say stays zero or empty, which the rule knows.
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(handle, &information)) {
        facts.volume = information.dwVolumeSerialNumber;
        facts.index = (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    }
    FileIdInformation longId{};
    if (GetFileInformationByHandleEx(handle, kFileIdInfo, &longId, sizeof(longId))) {
        facts.longId.emplace();
        facts.longId->volume = longId.volume;
        std::copy(std::begin(longId.id), std::end(longId.id), facts.longId->id.begin());
    }
    facts.finalPath =
        PathFromSystem([&](wchar_t* buffer, DWORD size) { return GetFinalPathNameByHandleW(handle, buffer, size, 0); });
    return IdentityFrom(facts);
}

std::optional<std::wstring> IdentityFrom(const IdentityFacts& facts)
{
    // The rule, which the uninstaller follows too. The 64-bit index is not unique on ReFS,
    // and network servers give zero or one that changes. On a local volume (the final
    // path does not start "\\?\UNC\"): FileIdInfo's 64-bit serial number and 128-bit
    // identifier where it gives one that is not zero, else GetFileInformationByHandle's
    // serial number and 64-bit index where that index is not zero. Otherwise, and on a
    // remote volume, the final path: "\\?\UNC\" written "\\", "\\?\" dropped, no
    // backslash at the end, letters in upper case (CharUpperBuffW).
    const std::wstring& finalPath = facts.finalPath;
    const bool remote = finalPath.starts_with(L"\\\\?\\UNC\\");
    if (!remote) {
        if (facts.longId && facts.longId->id != decltype(facts.longId->id){}) {
            std::wstring identity = L"f" + Hex(facts.longId->volume, 16);
            for (const uint8_t byte : facts.longId->id)
                identity += Hex(byte, 2);
            return identity;
        }
        if (facts.index != 0)
            return L"i" + Hex(facts.volume, 8) + Hex(facts.index, 16);
    }
    std::wstring path = remote                              ? L"\\\\" + finalPath.substr(8)
                        : finalPath.starts_with(L"\\\\?\\") ? finalPath.substr(4)
                                                            : finalPath;
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    if (path.empty())
        return std::nullopt;
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    // Named after a hash of it: an object's name is shorter than a path may be.
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : path)
        hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    return L"p" + Hex(hash, 16);
}

void ReplaceFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts)
{
    const std::string temporary = TemporaryFileOf(path);
    HANDLE handle = OpenRetrying(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Something standing at the temporary name (a folder, a file held open) is what
        // the user must move; in a folder that cannot be written nothing stands there.
        const bool blocked = GetFileAttributesA(KeepTrailingDotOrSpace(temporary).c_str()) != INVALID_FILE_ATTRIBUTES;
        throw veld::Error(veld::texts::CannotCreateFile(FromAnsi(blocked ? temporary : path), SystemMessage(error)));
    }
    Handle file(handle);
    DWORD error = ERROR_SUCCESS;
    for (std::span<const uint8_t> part : parts) {
        while (!part.empty() && error == ERROR_SUCCESS) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<size_t>(part.size(), 1u << 30));
            if (!WriteFile(file.get(), part.data(), chunk, &written, nullptr) || written == 0)
                error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
            part = part.subspan(written);
        }
    }
    veld::MarkStep("written");
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get()))
        error = GetLastError();
    veld::MarkStep("flushed");
    // Moved or removed only once closed: the open file would refuse to go.
    file.reset();
    if (error == ERROR_SUCCESS && !RetryWhileHeld(path, FileAction::ReplaceOrDelete, [&] {
            return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                   FALSE;
        }))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileA(temporary.c_str());
        throw veld::Error(veld::texts::CannotCreateFile(FromAnsi(path), SystemMessage(error)));
    }
    veld::MarkStep("moved");
}

std::string TemporaryFileOf(const std::string& path)
{
    return path + ".new";
}

}  // namespace win
