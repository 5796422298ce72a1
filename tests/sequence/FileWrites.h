#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes to a followed file as the programs that record one do, with the
// platform's own calls (one source file a platform), so that the follower sees
// what it sees in use rather than what a stream library makes of it.

// Appends at the end of the file, as a writer does.
void Append(const std::string& path, const std::string& bytes);
// Empties the file and writes `bytes`, keeping its identity.
void Rewrite(const std::string& path, const std::string& bytes);
// Overwrites bytes at `offset` and gives the file a later modification time:
// the clock that stamps writes moves in ticks of milliseconds, and the write is
// given the time it would have had a moment later.
void ChangeInPlace(const std::string& path, std::uint64_t offset, const std::string& bytes);
// Overwrites bytes at `offset` and puts the old modification time back, as
// copying tools that keep times do.
void ChangeKeepingTime(const std::string& path, std::uint64_t offset, const std::string& bytes);
// Gives the file a later modification time and leaves its bytes alone.
void TouchLater(const std::string& path);
// Files (handles, on Windows) this process has open.
std::size_t OpenFileCount();
// Cuts the file to `size` bytes.
void TruncateTo(const std::string& path, std::uint64_t size);
