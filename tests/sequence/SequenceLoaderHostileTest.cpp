// Files a user or the system can hand the loader that are not sequence files,
// or that change under it. None may hang, crash or report a failure as success.
// What only one platform has (FIFOs, /proc, devices, locks) is tested in the
// loader's Posix and Windows tests.

#include "ExpectedSequence.h"
#include "SequenceLoader.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

TEST(HostileFiles, AFileOfNulBytesIsALineOfMarkersEach) {
    TemporaryFolder folder;
    const std::string path = folder.Write("zeros.kzt", std::string(3'000'000, '\0'));
    Sequence sequence = PreviousSequence();
    EXPECT_EQ(LoadSequenceFile(sequence, path), 1);
    ASSERT_EQ(sequence.stepList.Size(), 3'000'000u);
    EXPECT_TRUE(std::ranges::all_of(sequence.stepList.Elements(), [](auto s) { return s == 0; }));
    EXPECT_TRUE(ClassesMatchSteps(sequence));
}

TEST(HostileFiles, ASingleLineOf200Megabytes) {
    TemporaryFolder folder;
    const std::string path = folder.PathOf("long.kzt");
    {
        std::ofstream file(path, std::ios::binary);
        file << ";;;;;42;";
        const std::string chunk(1 << 20, 'x');
        for (int i = 0; i < 200; ++i) {
            file << chunk;
        }
    }
    Sequence sequence;
    EXPECT_EQ(LoadSequenceFile(sequence, path), 1);
    ASSERT_EQ(sequence.stepList.Size(), 1u);
    EXPECT_EQ(sequence.stepList.Elements()[0], 42);
}

// Whenever the other process strikes, the loader sees a file that ends
// early (or no file): what it reports must be a consistent prefix, never junk.
TEST(HostileFiles, AFileTruncatedOrDeletedWhileLoading) {
    std::string bytes;
    for (int i = 0; i < 1'500'000; ++i) {
        bytes += "2026-12-08;12:00:00.000;PH;A;B;" + std::to_string(1 + i % 13) + ";0.5\n";
    }
    Sequence complete;
    SequenceParser parser(complete);
    parser.Feed(bytes.data(), bytes.size());
    ASSERT_EQ(parser.Finish(), 1);

    for (const bool deleteIt : {false, true}) {
        for (const int delayMicroseconds : {0, 2000, 20000}) {
            TemporaryFolder folder;
            const std::string path = folder.Write("moving.kzt", bytes);
            std::thread saboteur([&] {
                std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds));
                if (deleteIt) {
                    std::filesystem::remove(path);
                } else {
                    std::filesystem::resize_file(path, bytes.size() / 3);
                }
            });
            Sequence sequence = PreviousSequence();
            const int result = LoadSequenceFile(sequence, path);
            saboteur.join();
            if (result == 0) {
                EXPECT_EQ(sequence, PreviousSequence());
                continue;
            }
            EXPECT_EQ(result, 1);
            const auto steps = sequence.stepList.Elements();
            ASSERT_LE(steps.size(), complete.stepList.Size());
            // The file may end inside the last line read, so that step may be cut short.
            const auto whole = steps.empty() ? steps : steps.first(steps.size() - 1);
            EXPECT_TRUE(
                std::equal(whole.begin(), whole.end(), complete.stepList.Elements().begin()));
            EXPECT_TRUE(ClassesMatchSteps(sequence));
            if (deleteIt) {
                EXPECT_EQ(steps.size(), complete.stepList.Size()) << "an open file stays readable";
            }
        }
    }
}

} // namespace
