#include "ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

std::int64_t Nanoseconds(const statx_timestamp& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileStamp StampOf(const struct statx& status) {
    return {true,
            makedev(status.stx_dev_major, status.stx_dev_minor),
            static_cast<std::uint64_t>(status.stx_ino),
            static_cast<std::uint64_t>(status.stx_size),
            Nanoseconds(status.stx_mtime),
            Nanoseconds(status.stx_ctime)};
}

// FUSE (sshfs, bindfs), NFS and SMB mounts answer a plain stat from attributes
// the kernel keeps for a while (a second on FUSE, three and more on NFS), and
// send no change notifications: a write on the server's side stayed unseen
// for that long on top of the half-second look. AT_STATX_FORCE_SYNC asks the
// server instead, one round trip a look; local file systems ignore it.
int ForcedStatus(int folder, const char* path, int flags, struct statx& status) {
    constexpr unsigned wanted = STATX_TYPE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_CTIME;
    return ::statx(folder, path, flags | AT_STATX_FORCE_SYNC, wanted, &status);
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

FileStamp StampOfPath(const std::string& path, int* error) {
    struct statx status {};
    if (ForcedStatus(AT_FDCWD, path.c_str(), 0, status) != 0) {
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
    struct statx status {};
    if (ForcedStatus(descriptor, "", AT_EMPTY_PATH, status) != 0) {
        error = errno;
        return;
    }
    if (!S_ISREG(status.stx_mode)) {
        error = S_ISDIR(status.stx_mode) ? EISDIR : ENODEV;
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
