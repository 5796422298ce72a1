// qornv-render on what only Windows has. The POSIX counterparts are in
// RenderToolPosixTest.cpp; a console for the progress line has none here.

#include "ToolRunner.h"

#include <gtest/gtest.h>

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

} // namespace
