// qornv-render on what only Windows has. The POSIX counterparts are in
// RenderToolPosixTest.cpp; a console for the progress line has none here.

#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <windows.h>

namespace {

std::string Environment(const char* name) {
    const DWORD size = ::GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(size, '\0');
    value.resize(::GetEnvironmentVariableA(name, value.data(), size));
    return value;
}

bool HoldsQt(const std::filesystem::path& folder) {
    std::error_code ignored;
    return std::filesystem::exists(folder / "Qt6Core.dll", ignored);
}

// PATH without the folders that hold Qt's libraries: a program that needs them
// then cannot start.
std::string PathWithoutQt() {
    std::string kept;
    std::istringstream path(Environment("PATH"));
    for (std::string folder; std::getline(path, folder, ';');) {
        if (!folder.empty() && !HoldsQt(NativePath(folder))) {
            kept += (kept.empty() ? "" : ";") + folder;
        }
    }
    return kept;
}

// Counting must not pay for the graphics libraries: it runs where they cannot
// be found, and drawing a picture there fails.
TEST(RenderStats, LoadsNoQtLibrary) {
    ASSERT_FALSE(HoldsQt(NativePath(QORNV_RENDER_PATH).parent_path()))
        << "Qt lies beside the program: its absence cannot be staged";
    const std::string path = "PATH=" + PathWithoutQt();
    const ToolRun stats = RunTool({"--stats"}, {path});
    EXPECT_EQ(stats.exitStatus, 0) << stats.err;
    EXPECT_TRUE(stats.out.starts_with("kind,node,node2,colour,value\n")) << stats.out;
    const TemporaryFolder folder;
    EXPECT_NE(RunTool({"-o", folder.PathOf("p.png")}, {path}).exitStatus, 0)
        << "the picture program found Qt all the same";
}

// Names as labs give them: with umlauts, in Chinese, with spaces. Each file is
// made under exactly its name, through qornv-render and by the picture program
// started directly, and a message into a pipe names a file as given, in UTF-8.
TEST(RenderFileNames, ReachTheFileSystemAsGiven) {
    const TemporaryFolder folder;
    const std::string front = QORNV_RENDER_PATH;
    const std::string picture =
        front.substr(0, front.rfind("qornv-render")) + "qornv-render-picture.exe";
    std::vector<std::string> expected;
    for (const std::string name :
         {"Bild-\u00fc\u00df.png", "\u56fe \u50cf.svg", "mit Leer zeichen.pdf"}) {
        for (const std::string& program : {front, picture}) {
            const std::string file = (program == front ? "" : "direkt-") + name;
            const ToolRun run = RunProgram(program, {"-o", folder.PathOf(file)});
            EXPECT_EQ(run.exitStatus, 0) << file << ": " << run.err;
            expected.push_back(file);
        }
    }
    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::directory_iterator(folder.NativePathOf(""))) {
        const std::u8string name = entry.path().filename().u8string();
        made.emplace_back(name.begin(), name.end());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, expected);
    const std::string missing = folder.PathOf("gibtsnicht\u00fc.kzt");
    EXPECT_NE(RunTool({"--check", missing}).err.find("'" + missing + "'"), std::string::npos);
}

// Windows has no manual pages; the guide lies beside the programs.
TEST(RenderUsage, HelpPointsToTheGuideBesideThePrograms) {
    const std::string help = RunTool({"--help"}).out;
    EXPECT_NE(help.find("see LIESMICH.txt"), std::string::npos) << help;
    EXPECT_EQ(help.find("(1)"), std::string::npos) << help;
}

} // namespace
