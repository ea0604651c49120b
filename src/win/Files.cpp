#include "win/Files.h"

#include "core/Error.h"
#include "core/Steps.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"

#include <stdexcept>

namespace win {

void ThrowFileOpenError(const std::string& path, DWORD error)
{
    throw veld::Error(veld::texts::CannotOpenFile(path, SystemMessage(error)));
}

std::string ExactPath(const std::string& path)
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

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(ExactPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    HANDLE handle = CreateFileA(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        ThrowFileOpenError(path, GetLastError());
    File file(handle);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size))
        ThrowFileOpenError(path, GetLastError());
    // A wallpaper is a few megabytes; refuse what could not be one before allocating.
    constexpr LONGLONG kLargestFile = LONGLONG{1} << 30;
    if (size.QuadPart > kLargestFile)
        throw veld::Error(veld::texts::FileTooLarge(path));
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
    return DeleteFileA(ExactPath(path).c_str()) != FALSE;
}

void RequireReadable(const std::string& path)
{
    HANDLE handle =
        CreateFileA(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        ThrowFileOpenError(path, GetLastError());
    CloseHandle(handle);
}

std::optional<std::vector<uint8_t>> ReadFileStart(const std::string& path, size_t size)
{
    HANDLE handle =
        CreateFileA(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    File file(handle);
    std::vector<uint8_t> bytes(size);
    DWORD read = 0;
    if (!ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

bool CanWriteExisting(const std::string& path)
{
    HANDLE handle = CreateFileA(ExactPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

bool CopyToNewFile(const std::string& from, const std::string& to)
{
    return CopyFileA(ExactPath(from).c_str(), ExactPath(to).c_str(), TRUE) != FALSE;
}

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    // Attributes only: a file another program holds open without sharing still answers.
    HANDLE handle =
        CreateFileA(ExactPath(path).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    File file(handle);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information))
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

FileReplacement::FileReplacement(const std::string& path) : path_(path), temporary_(TemporaryFileOf(path))
{
    HANDLE handle =
        CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // No temporary file was made: there is nothing of ours to remove.
    if (handle == INVALID_HANDLE_VALUE)
        throw veld::Error(veld::texts::CannotCreateFile(path_, SystemMessage(GetLastError())));
    file_.reset(handle);
    temporaryExists_ = true;
}

FileReplacement::~FileReplacement()
{
    // Removed only once closed: the open file would refuse to go, and a half-written
    // one on a full disk would keep it full.
    file_.reset();
    if (temporaryExists_)
        DeleteFileA(temporary_.c_str());
}

void FileReplacement::Fail(DWORD error)
{
    file_.reset();
    DeleteFileA(temporary_.c_str());
    temporaryExists_ = false;
    throw veld::Error(veld::texts::CannotCreateFile(path_, SystemMessage(error)));
}

void FileReplacement::WriteAt(uint64_t offset, std::span<const uint8_t> bytes)
{
    if (!file_)
        throw std::logic_error("write to a finished file replacement");
    size_t done = 0;
    while (done < bytes.size()) {
        // Every write names its place: the rows come back to front.
        OVERLAPPED place{};
        place.Offset = static_cast<DWORD>(offset + done);
        place.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(file_.get(), bytes.data() + done, chunk, &written, &place) || written == 0) {
            const DWORD error = GetLastError();
            Fail(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
        }
        done += written;
    }
}

void FileReplacement::Append(std::span<const uint8_t> bytes)
{
    WriteAt(size_, bytes);
    size_ += bytes.size();
}

void FileReplacement::Overwrite(uint64_t offset, std::span<const uint8_t> bytes)
{
    if (offset + bytes.size() > size_)
        throw std::logic_error("overwrite beyond the end of a file replacement");
    WriteAt(offset, bytes);
}

void FileReplacement::Commit()
{
    if (!file_)
        throw std::logic_error("commit of a finished file replacement");
    veld::MarkStep("written");
    if (!FlushFileBuffers(file_.get()))
        Fail(GetLastError());
    veld::MarkStep("flushed");
    file_.reset();
    if (!MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail(GetLastError());
    temporaryExists_ = false;
    veld::MarkStep("moved");
}

void ReplaceFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts)
{
    FileReplacement file(path);
    for (const std::span<const uint8_t> part : parts)
        file.Append(part);
    file.Commit();
}

std::string TemporaryFileOf(const std::string& path)
{
    return path + ".new";
}

}  // namespace win
