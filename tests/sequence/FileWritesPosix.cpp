#include "FileWrites.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

void Append(const std::string& path, const std::string& bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(file, 0) << path;
    EXPECT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
}

void Rewrite(const std::string& path, const std::string& bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    ASSERT_GE(file, 0);
    EXPECT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
}

void ChangeInPlace(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(file, 0);
    EXPECT_EQ(::pwrite(file, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
              static_cast<ssize_t>(bytes.size()));
    const timespec later[2] = {{0, UTIME_OMIT}, {4'000'000'000, 0}};
    EXPECT_EQ(::futimens(file, later), 0);
    ::close(file);
}

void ChangeKeepingTime(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(file, 0);
    EXPECT_EQ(::pwrite(file, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
              static_cast<ssize_t>(bytes.size()));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    EXPECT_EQ(::futimens(file, times), 0);
    ::close(file);
}

void TouchLater(const std::string& path) {
    const timespec later[2] = {{0, UTIME_OMIT}, {4'000'000'000, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), later, 0);
}

std::size_t OpenFileCount() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

void TruncateTo(const std::string& path, std::uint64_t size) {
    EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
}
