#pragma once

// What differs between the terminals qornv-render writes to: one source file
// a platform.

// A terminal that understands "carriage return, erase to the end of the line":
// not TERM=dumb on POSIX; on Windows a console that takes escape sequences.
bool IsCapableTerminal(int descriptor);

// Standard output passes bytes unchanged: on Windows the C runtime would write
// every LF as CR LF, and CSV, JSON and dumps must be the same files everywhere.
void UseBinaryStandardOutput();
