// qornv-render on what only a POSIX system has: the dynamic linker's report and
// pseudo-terminals. The Windows counterparts are in RenderToolWindowsTest.cpp.

#include "ToolRunner.h"
#include "ToolRunnerPosix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Counting must not pay for the graphics libraries.
TEST(RenderStats, LoadsNoQtLibrary) {
    const ToolRun run = RunTool({"--stats"}, {"LD_DEBUG=libs"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.err.find("libc.so"), std::string::npos) << "LD_DEBUG reported nothing";
    EXPECT_EQ(run.err.find("libQt"), std::string::npos) << run.err;
}

struct TerminalRun {
    int exitStatus = -1;
    std::string terminal; // what reached the terminal: stderr only
    std::string out;
};

// Runs a program with stderr on a pseudo-terminal and stdout into a file.
TerminalRun RunOnTerminal(const std::string& program, const std::vector<std::string>& arguments) {
    const TemporaryFolder folder;
    const std::string outPath = folder.PathOf("out");
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
    return run;
}

// About 12 MB: a dozen looks at the clock, loaded in a moment.
constexpr int largeLines = 250000;
const char* const steps = "result: 1, steps: 250000\n";

// A build of qornv-render that shows progress at once instead of after a second,
// timed by a clock that ticks a millisecond at each reading: 1 MiB is read
// between the first two, and the next line would be due only 250 MiB on.
TEST(RenderProgress, ShownOnATerminalAndRemovedAtTheEnd) {
    TemporaryKzt file(RecordedLines(largeLines));
    const TerminalRun run = RunOnTerminal(QORNV_QUICK_PROGRESS_RENDER_PATH, {"--check", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, steps);
    // "\r ESC [K qornv-render: read N MB of 12 MB (P %), R MB/s", redrawn in place.
    const std::string start = "\r\033[Kqornv-render: read ";
    const std::size_t at = run.terminal.find(start);
    ASSERT_NE(at, std::string::npos) << testing::PrintToString(run.terminal);
    const std::string line = run.terminal.substr(at, run.terminal.find('\r', at + 1) - at);
    EXPECT_EQ(line, start + "1 MB of 12 MB (8 %), 1048 MB/s");
    EXPECT_TRUE(run.terminal.ends_with("\r\033[K")) << "the line is taken away at the end";
    EXPECT_EQ(run.terminal.find('\n'), std::string::npos);
}

TEST(RenderProgress, NothingForAShortLoad) {
    TemporaryKzt file(RecordedLines(1000));
    const TerminalRun run = RunOnTerminal(QORNV_RENDER_PATH, {"--check", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "result: 1, steps: 1000\n");
    EXPECT_EQ(run.terminal, "");
}

} // namespace
