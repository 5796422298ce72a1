#include "StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool failed = false;

bool Fail(int error) {
    if (!failed) {
        std::fprintf(stderr, "qornv-render: cannot write to standard output: %s\n",
                     std::strerror(error != 0 ? error : EIO));
    }
    failed = true;
    return false;
}

} // namespace

bool WriteStandardOutput(std::string_view text) {
    if (failed) {
        return false;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        return Fail(errno);
    }
    return true;
}

bool FinishStandardOutput() {
    if (failed) {
        return false;
    }
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int flushError = errno;
    // Closing reports what only the close finds out, such as a full NFS share.
    if (std::fclose(stdout) != 0 || !flushed) {
        return Fail(flushed ? errno : flushError);
    }
    return true;
}
