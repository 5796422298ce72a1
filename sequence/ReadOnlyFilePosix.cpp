#include "ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileStamp StampOf(const struct stat& status) {
    return {true,
            static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_size),
            Nanoseconds(status.st_mtim),
            Nanoseconds(status.st_ctim)};
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

FileStamp StampOfPath(const std::string& path, int* error) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (error != nullptr) {
            *error = errno == ENOTDIR ? ENOENT : errno;
        }
        return {};
    }
    return StampOf(status);
}

// The open is non-blocking so that a FIFO without a writer is refused at once
// instead of hanging the window.
ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        error = errno;
        return;
    }
    handle = descriptor;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        error = errno;
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : ENODEV;
        return;
    }
    stamp = StampOf(status);
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle >= 0) {
        ::close(Descriptor(handle));
    }
}

std::int64_t ReadOnlyFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const {
    for (;;) {
        const ssize_t count = ::pread(Descriptor(handle), buffer, size, static_cast<off_t>(offset));
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}
