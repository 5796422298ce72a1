#pragma once

#include <string_view>

// Everything qornv-render prints on standard output goes through these two
// functions: a write that fails (a full disk, a pipe whose reader left while
// SIGPIPE is ignored) is then noticed and named once on stderr, rather than
// leaving cut-short output behind a status of 0. Binary mode, which keeps
// Windows from writing every LF as CR LF, is set by Console.h.

// False once a write has failed; the first failure prints the reason, later
// calls write nothing more and say nothing more.
bool WriteStandardOutput(std::string_view text);

// Flushes and closes standard output, where buffered output meets the disk.
// False when that, or any earlier write, failed. Called once, at the end.
bool FinishStandardOutput();
