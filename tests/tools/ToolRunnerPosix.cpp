#include "ToolRunnerPosix.h"
#include "ToolRunner.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

const char* const nullDevice = "/dev/null";

void ExecProgram(const std::string& program, const std::vector<std::string>& arguments) {
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

// Standard output and error go to files, which need no reader while the
// program runs; standard input is /dev/null.
ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
    const TemporaryFolder folder;
    const std::string outPath = folder.PathOf("out");
    const std::string errPath = folder.PathOf("err");
    const pid_t child = ::fork();
    if (child == 0) {
        std::FILE* in = std::freopen("/dev/null", "r", stdin);
        std::FILE* out = std::freopen(outPath.c_str(), "w", stdout);
        std::FILE* err = std::freopen(errPath.c_str(), "w", stderr);
        if (in == nullptr || out == nullptr || err == nullptr) {
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
    return run;
}

bool HasProgram(const std::string& program) {
    std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}
