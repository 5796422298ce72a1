#pragma once

#include "TemporaryFile.h"

#include <string>
#include <windows.h>

// A file held open by a program that shares it with no one, as some recording
// programs and editors do: nobody else may open it for reading until it closes.
class LockedFile {
  public:
    explicit LockedFile(const std::string& path)
        : handle(::CreateFileW(NativePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~LockedFile() { Release(); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool IsLocked() const { return handle != INVALID_HANDLE_VALUE; }
    // Appends through the lock, as its holder goes on writing.
    bool Append(const std::string& bytes) const {
        OVERLAPPED end{};
        end.Offset = 0xFFFFFFFF; // at the end of the file
        end.OffsetHigh = 0xFFFFFFFF;
        DWORD written = 0;
        return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           &end) &&
               written == bytes.size();
    }
    void Release() {
        if (IsLocked()) {
            ::CloseHandle(handle);
            handle = INVALID_HANDLE_VALUE;
        }
    }

  private:
    HANDLE handle;
};
