#include "ToolRunner.h"

#include <gtest/gtest.h>

namespace {

// A build of qornv-render that shows progress at once instead of after a
// second; about 12 MB, a dozen looks at the clock. The terminal it shows on is
// tested in RenderToolPosixTest.cpp.
TEST(RenderProgress, NothingWhenStderrIsNoTerminal) {
    TemporaryKzt file(RecordedLines(250000));
    const ToolRun run = RunProgram(QORNV_QUICK_PROGRESS_RENDER_PATH, {"--stats", file.path});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

} // namespace
