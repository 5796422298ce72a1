#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, file names among them, as the
// platform's file calls behind ReadOnlyFile take them: UTF-8 on Windows, whose
// `argv` holds only what the ANSI code page can spell; unchanged elsewhere.
std::vector<std::string> ProgramArguments(int argc, char** argv);
