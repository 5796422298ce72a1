#pragma once

#include "FileStamp.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A sequence file opened for reading while others may go on writing, renaming
// or deleting it. The system's own calls stand behind it, one source file a
// system; names follow FileName.h. The Linux file uses statx, whose forced
// look asks network mounts for fresh attributes: a macOS or BSD twin would use
// fstat and lose that, and major/minor device numbers from other headers.
class ReadOnlyFile {
  public:
    // Opens `path` if it names a regular file. A FIFO without a writer is
    // refused at once rather than waited for.
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return error == 0; }
    // Why the file is not open, as an errno value: ENOENT, EISDIR, EACCES, EIO,
    // ENODEV for anything that is not a regular file, and EBUSY for a file
    // another program holds locked (Windows), which a later look may open.
    int Error() const { return error; }
    // The open file as it stood when it was opened.
    const FileStamp& Stamp() const { return stamp; }
    // Up to `size` bytes from `offset`: the count read, 0 at the end, -1 on an
    // error, with errno telling which.
    std::int64_t ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const;

  private:
    std::intptr_t handle = -1;
    int error = 0;
    FileStamp stamp;
};
