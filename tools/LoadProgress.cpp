#include "LoadProgress.h"

#include "Console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The clock is read once per this many 64 KiB blocks (1 MiB): a few hundred
// times a second at full speed, so reading it costs nothing measurable, and
// still often enough for a slow disk.
constexpr unsigned blocksPerClockCheck = 16;
constexpr auto redrawInterval = std::chrono::milliseconds(250);

// Carriage return, then "erase to the end of the line".
constexpr char eraseLine[] = "\r\033[K";

void WriteAll(int descriptor, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, text, size);
        if (written <= 0) {
            return; // a progress line is not worth failing the load for
        }
        text += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace

TerminalProgress::TerminalProgress(int descriptor, std::chrono::milliseconds delay,
                                   ClockReading readClock)
    : descriptor(descriptor), readClock(readClock), enabled(IsCapableTerminal(descriptor)),
      start(readClock()), nextShow(start + delay) {}

void TerminalProgress::BlockRead(std::uint64_t bytesRead, std::uint64_t fileSize) {
    if (!enabled || ++blocksUnchecked < blocksPerClockCheck) {
        return;
    }
    blocksUnchecked = 0;
    const Clock::time_point now = readClock();
    if (now < nextShow) {
        return;
    }
    Show(bytesRead, fileSize, now);
    nextShow = now + redrawInterval;
}

// Whole megabytes (10^6 bytes) in integers: no locale can change the figures.
void TerminalProgress::Show(std::uint64_t bytesRead, std::uint64_t fileSize,
                            Clock::time_point now) {
    using Count = unsigned long long;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start);
    const Count milliseconds = std::max<Count>(1, static_cast<Count>(elapsed.count()));
    const Count megabytes = bytesRead / 1000000;
    const Count rate = bytesRead / 1000 / milliseconds;
    char line[160];
    int length = 0;
    if (fileSize > 0) {
        const Count percent = bytesRead >= fileSize ? 100 : bytesRead * 100 / fileSize;
        length = std::snprintf(
            line, sizeof line, "%sqornv-render: read %llu MB of %llu MB (%llu %%), %llu MB/s",
            eraseLine, megabytes, static_cast<Count>(fileSize / 1000000), percent, rate);
    } else {
        length = std::snprintf(line, sizeof line, "%sqornv-render: read %llu MB, %llu MB/s",
                               eraseLine, megabytes, rate);
    }
    if (length > 0) {
        WriteAll(descriptor, line, std::min(static_cast<std::size_t>(length), sizeof line - 1));
        shown = true;
    }
}

void TerminalProgress::Remove() {
    if (shown) {
        WriteAll(descriptor, eraseLine, sizeof eraseLine - 1);
        shown = false;
    }
}
