#pragma once

#include "ToolRunner.h"

#include <windows.h>

// RunProgram with the given handle as the program's standard output, which is
// then not collected: a pipe whose reader has gone, say.
ToolRun RunProgramWithOutput(const std::string& program, const std::vector<std::string>& arguments,
                             HANDLE standardOutput);
