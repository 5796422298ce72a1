#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(RenderDump, StartupSequenceWithoutFile) {
    const ToolRun run = RunTool({"--dump"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const auto lines = LinesOf(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "result: 1");
    EXPECT_EQ(lines[1].rfind("steps: 1 1 1 2 1 3 ", 0), 0u);
    EXPECT_TRUE(lines[1].ends_with(" 13 12 13 13"));
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ' '), 338);
    EXPECT_EQ(lines[2], "classes: ");
    EXPECT_EQ(lines[3], "nodes: 0,0 400,195 415,309 339,310 376,376 270,420 164,376 201,310 "
                        "125,309 140,195 231,125 270,190 309,125 270,270");
}

TEST(RenderDump, FileViewAndSize) {
    TemporaryKzt file("QORN-V\nx;x;x;x;x;3\n\nx;x;x;x;x;11;x\n;;;;;99\n");
    const ToolRun run = RunTool({"--dump", "--view", "octahedron", "--size", "541x499", file.path});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "result: 1\n"
                       "steps: 3 0 11 99\n"
                       "classes: 2 0 6 0\n"
                       "nodes: 0,0 400,174 400,324 270,399 140,324 140,174 270,99 270,249\n");
    EXPECT_EQ(run.err, "");
}

TEST(RenderDump, MalformedLineWarnsWithItsNumberAndKeepsWhatWasRead) {
    TemporaryKzt file(";;;;;4\r\nQORN-V\r\n;;;;;+5\r\n;;;;;6\r\n");
    const ToolRun run = RunTool({"--dump", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(LinesOf(run.out)[0], "result: -1");
    EXPECT_EQ(LinesOf(run.out)[1], "steps: 4");
    EXPECT_NE(run.err.find("line 3"), std::string::npos) << run.err;
}

TEST(RenderCheck, PrintsResultAndStepCount) {
    TemporaryKzt good(";;;;;1\n;;;;;2\n\n");
    TemporaryKzt bad(";;;;;1\n;;;;;777\n");
    const ToolRun goodRun = RunTool({"--check", good.path});
    EXPECT_EQ(goodRun.exitStatus, 0);
    EXPECT_EQ(goodRun.out, "result: 1, steps: 3\n");
    const ToolRun badRun = RunTool({"--check", bad.path});
    EXPECT_EQ(badRun.exitStatus, 0);
    EXPECT_EQ(badRun.out, "result: -1, steps: 1\n");
    EXPECT_NE(badRun.err.find("line 2"), std::string::npos) << badRun.err;
}

TEST(RenderCheck, UnopenableFileIsNamedAndFails) {
    const TemporaryFolder folder;
    std::filesystem::create_directory(folder.NativePathOf("folder.kzt"));
    for (const std::string& path :
         {folder.PathOf("missing/run.kzt"), folder.PathOf("folder.kzt")}) {
        for (const char* mode : {"--check", "--dump"}) {
            const ToolRun run = RunTool({mode, path});
            EXPECT_EQ(run.exitStatus, 1) << mode << ' ' << path;
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
        }
    }
}

TEST(RenderUsage, HelpAndBadUsage) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("Usage:"), std::string::npos);
    for (const std::string& line : LinesOf(help.out)) {
        EXPECT_LE(line.size(), 80u) << line; // a console window's width as it opens
    }
    const std::vector<std::vector<std::string>> misuses = {
        {},
        {"--check"},
        {"--dump", "--check", "x"},
        {"--dump", "--view", "cube"},
        {"--dump", "--size", "540"},
        {"--dump", "--size", "0x540"},
        {"--dump", "--size", "540x-1"},
        {"--dump", "a.kzt", "b.kzt"},
        {"--frobnicate"},
        {"-o"},
        {"--check", "--size", "10x10", "a.kzt"},
        {"--stats", "--size", "10x10"},
        {"--stats", "--format", "xml"},
        {"--stats", "--format"},
        {"--dump", "--format", "csv"},
        {"--stats", "--check", "a.kzt"},
        {"--dump", "--dump"},
        {"--dump", "--view", "octahedron", "--view", "icosahedron"},
        {"--dump", "--size", "10x10", "--size", "10x10"},
        {"--stats", "--format", "csv", "--format", "json"},
        {"-o", "a.png", "-o", "a.png"},
        {"--dump", "--scale", "2"},
        {"-o", "a.svg", "--scale", "2"},
        {"-o", "a.png", "--scale"},
        {"-o", "a.png", "--scale", "0.5"},
        {"-o", "a.png", "--scale", "8.5"},
        {"-o", "a.png", "--scale", "1,5"},
        {"-o", "a.png", "--scale", "2."},
        {"-o", "a.png", "--size", "20000x10", "--scale", "2"},
    };
    for (const auto& arguments : misuses) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitStatus, 2) << testing::PrintToString(arguments);
        // The problem in one line, then where to read more.
        EXPECT_EQ(LinesOf(run.err).size(), 2u) << run.err;
        EXPECT_EQ(run.err.rfind("qornv-render: ", 0), 0u) << run.err;
        EXPECT_TRUE(run.err.ends_with("\nTry 'qornv-render --help'.\n")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // 8 is the largest scale taken: there the side it makes is what is refused.
    const ToolRun largestScale = RunTool({"-o", "a.png", "--size", "4096x1", "--scale", "8"});
    EXPECT_NE(largestScale.err.find("too large at that --scale"), std::string::npos)
        << largestScale.err;
}

TEST(RenderUsage, VersionOfTheProject) {
    const ToolRun run = RunTool({"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "qornv-render " QORNV_PROJECT_VERSION "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_NE(RunTool({"--help"}).out.find("--version"), std::string::npos);
}

TEST(RenderUsage, SidesPastTheLimitAreTooLarge) {
    for (const char* size : {"32768x540", "540x32768", "100000x100000", "99999999999999999999x1"}) {
        const ToolRun run = RunTool({"--dump", "--size", size});
        EXPECT_EQ(run.exitStatus, 2) << size;
        EXPECT_NE(run.err.find("too large"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("32767"), std::string::npos) << run.err;
    }
    EXPECT_EQ(RunTool({"--dump", "--size", "32767x32767"}).exitStatus, 0);
}

TEST(RenderData, NeedsNoDisplay) {
    const ToolRun run =
        RunTool({"--check", nullDevice}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(run.exitStatus, 1) << "a device is not a sequence file";
    const ToolRun dump = RunTool({"--dump"}, {"DISPLAY=", "QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(dump.exitStatus, 0) << dump.err;
}

} // namespace
