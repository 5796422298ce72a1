#include "FileWrites.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Shared as a recording program shares its file: the follower may read it,
// and others rename or delete it, while it is written.
HANDLE OpenForWriting(const std::string& path, DWORD access, DWORD disposition) {
    return ::CreateFileW(NativePath(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Closes the handle however the test leaves the function.
struct Closing {
    HANDLE handle;
    ~Closing() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};

DWORD WriteAt(HANDLE file, const std::string& bytes, std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &position);
    return written;
}

// The same instant as the 4'000'000'000 s after 1970 that the POSIX side sets:
// FILETIME counts 100 ns from 1601.
FILETIME LaterTime() {
    constexpr std::uint64_t ticks = (4'000'000'000ULL + 11'644'473'600ULL) * 10'000'000ULL;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

} // namespace

void Append(const std::string& path, const std::string& bytes) {
    const Closing file{OpenForWriting(path, FILE_APPEND_DATA, OPEN_EXISTING)};
    ASSERT_NE(file.handle, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr));
    EXPECT_EQ(written, bytes.size());
}

void Rewrite(const std::string& path, const std::string& bytes) {
    const Closing file{OpenForWriting(path, GENERIC_WRITE, TRUNCATE_EXISTING)};
    ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteAt(file.handle, bytes, 0), bytes.size());
}

void ChangeInPlace(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    const Closing file{OpenForWriting(path, GENERIC_WRITE, OPEN_EXISTING)};
    ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteAt(file.handle, bytes, offset), bytes.size());
    const FILETIME later = LaterTime();
    EXPECT_TRUE(::SetFileTime(file.handle, nullptr, nullptr, &later));
}

void ChangeKeepingTime(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    const Closing file{OpenForWriting(path, GENERIC_WRITE | GENERIC_READ, OPEN_EXISTING)};
    ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
    FILETIME created{};
    FILETIME accessed{};
    FILETIME written{};
    ASSERT_TRUE(::GetFileTime(file.handle, &created, &accessed, &written));
    EXPECT_EQ(WriteAt(file.handle, bytes, offset), bytes.size());
    EXPECT_TRUE(::SetFileTime(file.handle, &created, &accessed, &written));
}

void TouchLater(const std::string& path) {
    const Closing file{OpenForWriting(path, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING)};
    const FILETIME later = LaterTime();
    ::SetFileTime(file.handle, nullptr, nullptr, &later);
}

std::size_t OpenFileCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
}

void TruncateTo(const std::string& path, std::uint64_t size) {
    std::error_code error;
    std::filesystem::resize_file(NativePath(path), size, error);
    EXPECT_FALSE(error) << error.message();
}
