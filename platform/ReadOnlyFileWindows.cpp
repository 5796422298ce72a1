#include "ReadOnlyFile.h"

#include "FileName.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

namespace {

// The wide calls take every name the file system can hold, umlauts and CJK
// characters alike. An absolute name of MAX_PATH characters or more opens
// only with the \\?\ prefix, which takes backslashes alone.
std::wstring WideName(const std::string& path) {
    std::wstring wide = PathOfName(path).native();
    if (wide.size() < MAX_PATH) {
        return wide;
    }
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') {
        return L"\\\\?\\" + wide;
    }
    if (wide.starts_with(L"\\\\") && !wide.starts_with(L"\\\\?\\")) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    // Not a lack of rights: the user is told that another program holds it.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    default:
        return EIO;
    }
}

// FILETIME counts 100 ns since 1601; only differences and equality matter here.
std::int64_t Nanoseconds(LARGE_INTEGER time) {
    return time.QuadPart * 100;
}

std::uint64_t Combined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// Volume serial number and file index name the file as device and inode do;
// the change time comes from the basic information, which the older call lacks.
FileStamp StampOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandle(file, &information) ||
        !::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        return {};
    }
    return {true,
            information.dwVolumeSerialNumber,
            Combined(information.nFileIndexHigh, information.nFileIndexLow),
            Combined(information.nFileSizeHigh, information.nFileSizeLow),
            Nanoseconds(basic.LastWriteTime),
            Nanoseconds(basic.ChangeTime)};
}

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

FileStamp StampOfPath(const std::string& path, int* error) {
    // Attributes only: no read access is asked, so a file locked by its writer
    // can still be looked at; the backup flag lets a folder be opened too.
    const HANDLE file = ::CreateFileW(WideName(path).c_str(), FILE_READ_ATTRIBUTES, shareAll,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error != nullptr) {
            *error = ErrnoOf(::GetLastError());
        }
        return {};
    }
    const FileStamp stamp = StampOfHandle(file);
    ::CloseHandle(file);
    if (!stamp.exists && error != nullptr) {
        *error = EIO;
    }
    return stamp;
}

// Shared for reading, writing and deleting: the recording program goes on
// writing, and may rename or delete the file, while it is read.
ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    const std::wstring name = WideName(path);
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD reason = ::GetLastError();
        error = reason == ERROR_ACCESS_DENIED && IsFolder(name) ? EISDIR : ErrnoOf(reason);
        return;
    }
    handle = reinterpret_cast<std::intptr_t>(file);
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        error = ENODEV; // a pipe or a device such as NUL or CON
        return;
    }
    stamp = StampOfHandle(file);
    if (!stamp.exists) {
        error = EIO;
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle != -1) {
        ::CloseHandle(Handle(handle));
    }
}

// A positioned read on a handle opened without overlapping: ReadFile takes the
// offset from the OVERLAPPED record and still waits for the data.
std::int64_t ReadOnlyFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1U << 30));
    DWORD count = 0;
    if (!::ReadFile(Handle(handle), buffer, wanted, &count, &position)) {
        const DWORD reason = ::GetLastError();
        if (reason == ERROR_HANDLE_EOF) {
            return 0;
        }
        errno = ErrnoOf(reason);
        return -1;
    }
    return count;
}
