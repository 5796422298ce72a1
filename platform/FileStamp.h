#pragma once

#include <cstdint>
#include <string>

// What the file system tells of a file: which file it is, and whether it was
// written since. The change time is part of it, so a rewrite that puts the old
// modification time back is still seen as a change.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0; // the volume
    std::uint64_t inode = 0;  // the file on that volume
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool SameFile(const FileStamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode;
    }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A stamp with `exists` false when `path` cannot be looked at; `error`, if
// given, then tells why as an errno value (ENOENT when nothing is there).
// Network and FUSE mounts are asked, not the attributes the kernel keeps of
// them: a follower polling such a mount would otherwise see a write late.
FileStamp StampOfPath(const std::string& path, int* error = nullptr);
