#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, file names among them as FileName.h
// says: on Windows from the wide command line, since `argv` holds only what
// the ANSI code page can spell. A macOS or BSD twin is the Linux file.
std::vector<std::string> ProgramArguments(int argc, char** argv);
