// qornv-render where the system refuses: full disks, file-size limits, closed
// pipes, files that cannot be opened or read, as a POSIX system stages them:
// /dev/full, setrlimit, signals and FIFOs. The Windows counterparts are in
// RenderSystemFailuresWindowsTest.cpp.

#include "ToolRunner.h"
#include "ToolRunnerPosix.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Limits {
    int standardOutput = -1;  // the descriptor the child writes to; -1: /dev/null
    rlim_t fileSizeLimit = 0; // 0: none
    bool ignoreSigpipe = false;
};

struct Outcome {
    int waitStatus = 0;
    std::string err;
};

// Runs `program` as a shell would, with standard output and limits set up
// before it starts. Stderr comes through a pipe, out of the file-size limit's
// reach; the few lines it holds fit the pipe's buffer.
Outcome RunLimited(const std::string& program, const std::vector<std::string>& arguments,
                   const Limits& limits) {
    int errPipe[2];
    EXPECT_EQ(::pipe(errPipe), 0);
    const int err = errPipe[1];
    const pid_t child = ::fork();
    if (child == 0) {
        const int out =
            limits.standardOutput >= 0 ? limits.standardOutput : ::open("/dev/null", O_WRONLY);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::close(errPipe[0]);
        // A process past its file-size limit is killed unless it ignores
        // SIGXFSZ; ignoring it makes the write fail with EFBIG instead.
        std::signal(SIGXFSZ, SIG_IGN);
        std::signal(SIGPIPE, limits.ignoreSigpipe ? SIG_IGN : SIG_DFL);
        if (limits.fileSizeLimit > 0) {
            const rlimit limit{limits.fileSizeLimit, limits.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ExecProgram(program, arguments);
    }
    ::close(err);
    Outcome outcome;
    char buffer[4096];
    for (ssize_t count; (count = ::read(errPipe[0], buffer, sizeof buffer)) > 0;) {
        outcome.err.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(errPipe[0]);
    ::waitpid(child, &outcome.waitStatus, 0);
    return outcome;
}

// A pipe whose reader has gone before anything is written.
int ClosedPipe() {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    return ends[1];
}

TEST(RenderOutputFailure, FullDiskOrFileSizeLimitIsNamedWithStatus1) {
    TemporaryKzt file(";;;;;1\n;;;;;2\n");
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    char name[] = "/tmp/qornv-out-XXXXXX";
    const int limited = ::mkstemp(name);
    struct Case {
        Limits limits;
        const char* reason;
    };
    for (const Case& c : {Case{{full, 0, false}, "No space left on device"},
                          Case{{limited, 4, false}, "File too large"}}) {
        for (const auto& call : printingCalls) {
            const Outcome run = RunLimited(QORNV_RENDER_PATH, WithFile(call, file.path), c.limits);
            EXPECT_TRUE(WIFEXITED(run.waitStatus) && WEXITSTATUS(run.waitStatus) == 1)
                << testing::PrintToString(call) << ' ' << c.reason;
            EXPECT_EQ(run.err, std::string("qornv-render: cannot write to standard output: ") +
                                   c.reason + "\n")
                << testing::PrintToString(call);
        }
    }
    ::close(full);
    ::close(limited);
    std::remove(name);
}

// As cat does: killed by SIGPIPE, or with SIGPIPE ignored status 1 and one message.
TEST(RenderOutputFailure, ClosedPipeEndsTheProgramAsItEndsCat) {
    TemporaryKzt file(";;;;;1\n;;;;;2\n");
    for (const bool ignoreSigpipe : {false, true}) {
        const int catPipe = ClosedPipe();
        const Outcome cat = RunLimited("cat", {file.path}, {catPipe, 0, ignoreSigpipe});
        ::close(catPipe);
        for (const auto& call : printingCalls) {
            const int pipe = ClosedPipe();
            const Outcome run =
                RunLimited(QORNV_RENDER_PATH, WithFile(call, file.path), {pipe, 0, ignoreSigpipe});
            ::close(pipe);
            SCOPED_TRACE(testing::PrintToString(call) + (ignoreSigpipe ? " ignoring" : ""));
            EXPECT_EQ(run.waitStatus, cat.waitStatus);
            if (ignoreSigpipe) {
                EXPECT_EQ(run.err, "qornv-render: cannot write to standard output: Broken pipe\n");
            }
        }
    }
}

// The picture goes to OUT whole or not at all: a write that fails part-way
// leaves the earlier OUT as it was and no temporary file beside it.
TEST(RenderPictureFailure, FileSizeLimitLeavesTheEarlierPictureAlone) {
    char name[] = "/tmp/qornv-limit-XXXXXX";
    const std::string folder = ::mkdtemp(name);
    const std::string earlier = "an earlier picture\n";
    for (const char* file : {"p.png", "p.svg", "p.pdf"}) {
        const std::string out = folder + "/" + file;
        std::ofstream(out) << earlier;
        const Outcome run = RunLimited(QORNV_RENDER_PATH, {"-o", out}, {-1, 256, false});
        EXPECT_TRUE(WIFEXITED(run.waitStatus) && WEXITSTATUS(run.waitStatus) == 1) << file;
        EXPECT_EQ(run.err, "qornv-render: cannot write '" + out + "': File too large\n");
        EXPECT_EQ(ReadWholeFile(out), earlier) << file;
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{file});
        std::filesystem::remove(out);
    }
    std::filesystem::remove_all(folder);
}

// Every mode that loads a file names the reason it could not.
TEST(RenderOpenFailure, MessageNamesTheReason) {
    char name[] = "/tmp/qornv-open-XXXXXX";
    const std::string folder = ::mkdtemp(name);
    const std::string fifo = folder + "/fifo.kzt";
    const std::string locked = folder + "/locked.kzt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(locked) << ";;;;;1\n";
    ::chmod(locked.c_str(), 0);
    struct Case {
        std::string path;
        std::string message;
    };
    const auto cannotOpen = [](const std::string& path, const char* reason) {
        return Case{path, "qornv-render: cannot open '" + path + "' as a sequence file: " + reason};
    };
    std::vector<Case> cases = {
        cannotOpen(folder + "/missing.kzt", "No such file or directory"),
        cannotOpen(folder, "Is a directory"),
        cannotOpen(fifo, "Not a regular file"),
        cannotOpen("/dev/null", "Not a regular file"),
        // Linux shows the memory of the reading process there, and at offset 0
        // there is none: a regular file whose read fails.
        {"/proc/self/mem", "qornv-render: cannot read '/proc/self/mem': Input/output error"},
    };
    if (::geteuid() != 0) { // root reads it all the same
        cases.push_back(cannotOpen(locked, "Permission denied"));
    }
    for (const Case& c : cases) {
        for (const char* mode : {"--check", "-o"}) {
            std::vector<std::string> arguments{mode, c.path};
            if (mode == std::string("-o")) {
                arguments.insert(arguments.begin() + 1, folder + "/p.png");
            }
            const Outcome run = RunLimited(QORNV_RENDER_PATH, arguments, {});
            EXPECT_TRUE(WIFEXITED(run.waitStatus) && WEXITSTATUS(run.waitStatus) == 1)
                << mode << ' ' << c.path;
            EXPECT_EQ(run.err, c.message + "\n") << mode;
        }
    }
    std::filesystem::remove_all(folder);
}

} // namespace
