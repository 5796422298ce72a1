#pragma once

// Runs qornv-render and other programs as a user's shell would and collects
// what they printed. How a program is started differs by platform:
// ToolRunnerPosix.cpp forks, ToolRunnerWindows.cpp calls CreateProcessW.

#include "TemporaryFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct ToolRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs PROGRAM (a name without a folder is looked up in PATH) with ARGUMENTS,
// standard input empty, standard output and error collected byte for byte.
// `environment` holds NAME=VALUE to set and NAME alone to unset.
ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {});

// Whether `program` can be run from PATH, for tests that need one.
bool HasProgram(const std::string& program);

// The device that reads as empty: /dev/null, or NUL on Windows.
extern const char* const nullDevice;

inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment = {}) {
    return RunProgram(QORNV_RENDER_PATH, arguments, environment);
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(NativePath(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A sequence file holding `bytes`, removed again at the end of the test.
class TemporaryKzt {
    TemporaryFolder folder; // made before the file in it

  public:
    explicit TemporaryKzt(const std::string& bytes) : path(folder.Write("run.kzt", bytes)) {}
    const std::string path;
};

// `lines` lines of 50 bytes each, as a recording program writes them.
inline std::string RecordedLines(int lines) {
    const std::string line = "2026-12-08;12:00:00.000000;PH;0000001;A;7;0.0001\n";
    std::string bytes;
    bytes.reserve(line.size() * static_cast<std::size_t>(lines));
    for (int k = 0; k < lines; ++k) {
        bytes += line;
    }
    return bytes;
}

// Every call that prints to standard output; FILE stands for a sequence file.
inline const std::vector<std::vector<std::string>> printingCalls = {
    {"--check", "FILE"}, {"--dump", "FILE"}, {"--stats", "FILE"}, {"--stats", "--format", "json"},
    {"--help"},          {"--version"},
};

inline std::vector<std::string> WithFile(std::vector<std::string> arguments,
                                         const std::string& file) {
    std::replace(arguments.begin(), arguments.end(), std::string("FILE"), file);
    return arguments;
}
