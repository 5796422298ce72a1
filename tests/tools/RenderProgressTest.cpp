#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pty.h>

namespace {

// A sequence file of `lines` lines of 50 bytes.
class LargeFile {
  public:
    explicit LargeFile(int lines) {
        char name[] = "/tmp/qornv-progress-XXXXXX.kzt";
        const int descriptor = ::mkstemps(name, 4);
        path = name;
        ::close(descriptor);
        std::ofstream out(path, std::ios::binary);
        const std::string line = "2026-12-08;12:00:00.000000;PH;0000001;A;7;0.0001\n";
        for (int k = 0; k < lines; ++k) {
            out << line;
        }
    }
    ~LargeFile() { std::filesystem::remove(path); }
    std::string path;
};

struct TerminalRun {
    int exitStatus = -1;
    std::string terminal; // what reached the terminal: stderr only
    std::string out;
};

// Runs a program with stderr on a pseudo-terminal and stdout into a file.
TerminalRun RunOnTerminal(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string outPath = "/tmp/qornv-progress-out-" + std::to_string(::getpid());
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || ::dup2(out, STDOUT_FILENO) < 0) {
            ::_exit(127);
        }
        ::setenv("TERM", "xterm", 1);
        ExecProgram(program, arguments);
    }
    TerminalRun run;
    if (child < 0) {
        ADD_FAILURE() << "forkpty: " << std::strerror(errno);
        return run;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break; // EIO once the program has closed the terminal
        }
        run.terminal.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(master);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadWholeFile(outPath);
    std::remove(outPath.c_str());
    return run;
}

// About 12 MB: a dozen looks at the clock, loaded in a moment.
constexpr int largeLines = 250000;
const char* const steps = "result: 1, steps: 250000\n";

// A build of qornv-render that shows progress at once instead of after a second.
TEST(RenderProgress, ShownOnATerminalAndRemovedAtTheEnd) {
    LargeFile file(largeLines);
    const TerminalRun run = RunOnTerminal(QORNV_QUICK_PROGRESS_RENDER_PATH, {"--check", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, steps);
    // "\r ESC [K qornv-render: read N MB of 12 MB (P %), R MB/s", redrawn in place.
    const std::string start = "\r\033[Kqornv-render: read ";
    const std::size_t at = run.terminal.find(start);
    ASSERT_NE(at, std::string::npos) << testing::PrintToString(run.terminal);
    const std::string line = run.terminal.substr(at, run.terminal.find('\r', at + 1) - at);
    for (const char* part : {" MB of 12 MB (", " %), ", " MB/s"}) {
        EXPECT_NE(line.find(part), std::string::npos) << testing::PrintToString(line);
    }
    EXPECT_TRUE(run.terminal.ends_with("\r\033[K")) << "the line is taken away at the end";
    EXPECT_EQ(run.terminal.find('\n'), std::string::npos);
}

TEST(RenderProgress, NothingWhenStderrIsNoTerminal) {
    LargeFile file(largeLines);
    const ToolRun run = RunProgram(QORNV_QUICK_PROGRESS_RENDER_PATH, {"--stats", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

TEST(RenderProgress, NothingForAShortLoad) {
    LargeFile file(1000);
    const TerminalRun run = RunOnTerminal(QORNV_RENDER_PATH, {"--check", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "result: 1, steps: 1000\n");
    EXPECT_EQ(run.terminal, "");
}

} // namespace
