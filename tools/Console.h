#pragma once

// What differs between the terminals qornv-render writes to: one source file
// a platform.

// A terminal that understands "carriage return, erase to the end of the line":
// not TERM=dumb on POSIX; on Windows a console that takes escape sequences.
bool IsCapableTerminal(int descriptor);

// Standard output passes bytes unchanged: on Windows the C runtime would write
// every LF as CR LF, and CSV, JSON and dumps must be the same files everywhere.
void UseBinaryStandardOutput();

// Messages reach a console as the console shows them. The programs write
// UTF-8, as on Linux; a Windows console would read those bytes in its own
// code page (850 in a German cmd), so there std::cerr, which carries every
// message that names a file, writes to a console in UTF-16 instead. Into a
// file or pipe the bytes stay UTF-8. On POSIX a terminal takes the bytes as
// they are. Called once, first thing.
void UseConsoleText();
