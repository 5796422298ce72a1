#pragma once

#include "SequenceLoader.h"

#include <chrono>
#include <cstdint>

// One progress line on a terminal while a long load runs: bytes read of the
// file's size, percent and rate, shown once the load has taken `delay`,
// redrawn a few times a second and removed when the load ends. On anything
// but a terminal it shows nothing, so scripts and logs stay as they were.
class TerminalProgress final : public LoadObserver {
  public:
    using Clock = std::chrono::steady_clock;
    // Where the time is read: the steady clock, or in tests one that makes the
    // figures known in advance.
    using ClockReading = Clock::time_point (*)();
    static Clock::time_point SteadyClockNow() { return Clock::now(); }

    TerminalProgress(int descriptor, std::chrono::milliseconds delay, ClockReading readClock);
    ~TerminalProgress() { Remove(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void BlockRead(std::uint64_t bytesRead, std::uint64_t fileSize) override;
    // Takes the line away, if one is shown, so that what follows starts clean.
    void Remove();

  private:
    void Show(std::uint64_t bytesRead, std::uint64_t fileSize, Clock::time_point now);

    int descriptor;
    ClockReading readClock;
    bool enabled;
    bool shown = false;
    unsigned blocksUnchecked = 0;
    Clock::time_point start;
    Clock::time_point nextShow;
};
