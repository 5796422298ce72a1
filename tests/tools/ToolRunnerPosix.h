#pragma once

#include <string>
#include <vector>

// In a forked child: becomes PROGRAM with ARGUMENTS (a name without a slash is
// looked up in PATH), or ends with status 127 when it cannot.
[[noreturn]] void ExecProgram(const std::string& program,
                              const std::vector<std::string>& arguments);
