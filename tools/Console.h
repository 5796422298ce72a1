#pragma once

// What differs between the terminals qornv-render writes to: one source file
// a platform.

// A terminal that understands "carriage return, erase to the end of the line":
// not TERM=dumb on POSIX; on Windows a console that takes escape sequences.
bool IsCapableTerminal(int descriptor);

// Standard output passes bytes unchanged: on Windows the C runtime would write
// every LF as CR LF, and CSV, JSON and dumps must be the same files everywhere.
void UseBinaryStandardOutput();

// Text reaches a console as the console shows it. The programs write UTF-8, as
// on Linux; a Windows console shows its own output code page (850 in a German
// cmd), so for the run it is switched to UTF-8 and switched back at the exit
// or on Ctrl+C. Output into a file or pipe is not touched. On POSIX a terminal
// takes the bytes as they are. Called once, first thing.
void UseUtf8Console();
