// qornv-render where Windows refuses: a pipe on standard output whose reader
// has gone, files that cannot be opened (missing, folders, devices, pipes, a
// file its writer locks) and a picture file another program holds. The POSIX
// counterparts are in RenderSystemFailuresPosixTest.cpp.

#include "ToolRunnerWindows.h"
#include "WindowsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// One line that names standard output and a reason, in the C runtime's words.
void ExpectOneMessage(const std::string& err, const std::string& start) {
    EXPECT_TRUE(err.starts_with(start)) << err;
    EXPECT_GT(err.size(), start.size() + 1) << "no reason given: " << err;
    EXPECT_TRUE(err.ends_with("\n")) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// Windows has no SIGPIPE: a write to a pipe without a reader fails, and the
// program ends with status 1 and one message, as with SIGPIPE ignored.
TEST(RenderOutputFailure, ClosedPipeIsNamedWithStatus1) {
    TemporaryKzt file(";;;;;1\n;;;;;2\n");
    for (const auto& call : printingCalls) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE reader = nullptr;
        HANDLE writer = nullptr;
        ASSERT_TRUE(::CreatePipe(&reader, &writer, &inherited, 0));
        ::CloseHandle(reader);
        const ToolRun run =
            RunProgramWithOutput(QORNV_RENDER_PATH, WithFile(call, file.path), writer);
        ::CloseHandle(writer);
        SCOPED_TRACE(testing::PrintToString(call));
        EXPECT_EQ(run.exitStatus, 1);
        ExpectOneMessage(run.err, "qornv-render: cannot write to standard output: ");
    }
}

// Every mode that loads a file names the reason it could not.
TEST(RenderOpenFailure, MessageNamesTheReason) {
    const TemporaryFolder folder;
    std::filesystem::create_directory(folder.NativePathOf("folder.kzt"));
    const std::string locked = folder.Write("locked.kzt", ";;;;;1\n");
    const LockedFile lock(locked);
    ASSERT_TRUE(lock.IsLocked());
    // A pipe whose server waits: one instance for each of the two modes.
    const std::string pipe =
        "\\\\.\\pipe\\qornv-render-test-" + std::to_string(::GetCurrentProcessId());
    std::vector<HANDLE> instances;
    for (int k = 0; k < 2; ++k) {
        instances.push_back(::CreateNamedPipeW(NativePath(pipe).c_str(), PIPE_ACCESS_DUPLEX,
                                               PIPE_TYPE_BYTE | PIPE_WAIT, 2, 4096, 4096, 0,
                                               nullptr));
        ASSERT_NE(instances.back(), INVALID_HANDLE_VALUE);
    }
    struct Case {
        std::string path;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {folder.PathOf("missing.kzt"), "No such file or directory"},
        {folder.PathOf("folder.kzt"), "Is a directory"},
        {nullDevice, "Not a regular file"},
        {folder.PathOf("nul.kzt"), "Not a regular file"}, // a device in every folder
        {pipe, "Not a regular file"},
        {locked, "Held by another program"},
    };
    for (const Case& c : cases) {
        for (const char* mode : {"--check", "-o"}) {
            std::vector<std::string> arguments{mode, c.path};
            if (mode == std::string("-o")) {
                arguments.insert(arguments.begin() + 1, folder.PathOf("p.png"));
            }
            const ToolRun run = RunTool(arguments);
            EXPECT_EQ(run.exitStatus, 1) << mode << ' ' << c.path;
            EXPECT_EQ(run.err, "qornv-render: cannot open '" + c.path +
                                   "' as a sequence file: " + c.reason + "\n")
                << mode;
            EXPECT_FALSE(std::filesystem::exists(folder.NativePathOf("p.png")));
        }
    }
    for (const HANDLE instance : instances) {
        ::CloseHandle(instance);
    }
}

// The picture goes to OUT whole or not at all: while another program holds the
// earlier OUT open, it stays as it was, and no temporary file is left beside it.
TEST(RenderPictureFailure, AHeldPictureIsLeftAsItWas) {
    const TemporaryFolder folder;
    const std::string earlier = "an earlier picture\n";
    for (const char* name : {"p.png", "p.svg", "p.pdf"}) {
        const std::string out = folder.Write(name, earlier);
        {
            const LockedFile held(out);
            ASSERT_TRUE(held.IsLocked());
            const ToolRun run = RunTool({"-o", out});
            EXPECT_EQ(run.exitStatus, 1) << name;
            ExpectOneMessage(run.err, "qornv-render: cannot write '" + out + "': ");
        }
        EXPECT_EQ(ReadWholeFile(out), earlier) << name;
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.NativePathOf(""))) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{name});
        std::filesystem::remove(folder.NativePathOf(name));
    }
}

} // namespace
