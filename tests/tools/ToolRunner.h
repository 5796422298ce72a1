#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A sequence file in /tmp holding `bytes`, removed again at the end of the test.
class TemporaryKzt {
  public:
    explicit TemporaryKzt(const std::string& bytes) {
        char name[] = "/tmp/qornv-test-XXXXXX.kzt";
        const int descriptor = ::mkstemps(name, 4);
        path = name;
        ::close(descriptor);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~TemporaryKzt() { std::remove(path.c_str()); }
    TemporaryKzt(const TemporaryKzt&) = delete;
    TemporaryKzt& operator=(const TemporaryKzt&) = delete;
    std::string path;
};

// Runs a program with the given arguments and collects what it printed.
struct ToolRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// In a forked child: becomes PROGRAM with ARGUMENTS (a name without a slash is
// looked up in PATH), or ends with status 127 when it cannot.
[[noreturn]] inline void ExecProgram(const std::string& program,
                                     const std::vector<std::string>& arguments) {
    std::vector<std::string> copies = arguments;
    copies.insert(copies.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    ::_exit(127);
}

// `environment` holds NAME=VALUE to set and NAME alone to unset.
inline ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment = {}) {
    char directory[] = "/tmp/qornv-tool-XXXXXX";
    const std::string folder = ::mkdtemp(directory);
    const std::string outPath = folder + "/out";
    const std::string errPath = folder + "/err";
    const pid_t child = ::fork();
    if (child == 0) {
        std::FILE* out = std::freopen(outPath.c_str(), "w", stdout);
        std::FILE* err = std::freopen(errPath.c_str(), "w", stderr);
        if (out == nullptr || err == nullptr) {
            ::_exit(127);
        }
        for (const std::string& assignment : environment) {
            if (assignment.find('=') == std::string::npos) {
                ::unsetenv(assignment.c_str());
            } else {
                ::putenv(const_cast<char*>(assignment.c_str()));
            }
        }
        ExecProgram(program, arguments);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ToolRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    ::rmdir(folder.c_str());
    return run;
}

inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment = {}) {
    return RunProgram(QORNV_RENDER_PATH, arguments, environment);
}

// Whether `program` can be run from PATH, for tests that need one.
inline bool HasProgram(const std::string& program) {
    std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}
