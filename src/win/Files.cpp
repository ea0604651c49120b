#include "win/Files.h"

#include "core/Error.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "win/Handles.h"
#include "win/ProgramDir.h"
#include "win/SystemMessage.h"

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

void ReplaceFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts)
{
    const std::string temporary = TemporaryFileOf(path);
    auto fail = [&](DWORD error) {
        DeleteFileA(temporary.c_str());
        throw veld::Error(veld::texts::CannotCreateFile(path, SystemMessage(error)));
    };
    DWORD error = ERROR_SUCCESS;
    {
        HANDLE handle =
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            // No temporary file was made: there is nothing of ours to remove.
            error = GetLastError();
            throw veld::Error(veld::texts::CannotCreateFile(path, SystemMessage(error)));
        }
        File file(handle);
        for (auto part = parts.begin(); part != parts.end() && error == ERROR_SUCCESS; ++part) {
            size_t done = 0;
            while (done < part->size()) {
                DWORD written = 0;
                const DWORD chunk = static_cast<DWORD>(std::min<size_t>(part->size() - done, 1u << 30));
                if (!WriteFile(handle, part->data() + done, chunk, &written, nullptr) || written == 0) {
                    error = GetLastError();
                    if (error == ERROR_SUCCESS)
                        error = ERROR_WRITE_FAULT;
                    break;
                }
                done += written;
            }
        }
        if (error == ERROR_SUCCESS && !FlushFileBuffers(handle))
            error = GetLastError();
    }
    // Removed only once closed: the open file would refuse to go, and a half-written
    // one on a full disk would keep it full.
    if (error != ERROR_SUCCESS)
        fail(error);
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(GetLastError());
}

std::string TemporaryFileOf(const std::string& path)
{
    return path + ".new";
}

}  // namespace win
