// Files a user or the system can hand the loader that are not sequence files,
// or that change under it. None may hang, crash or report a failure as success.

#include "SequenceLoader.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

Sequence PreviousSequence() {
    Sequence sequence;
    for (const std::int8_t step : {3, 0, 11}) {
        sequence.stepList.Add();
        sequence.stepList.Current() = step;
        AppendClass(sequence);
    }
    return sequence;
}

bool ClassesMatchSteps(const Sequence& sequence) {
    const auto steps = sequence.stepList.Elements();
    const auto classes = sequence.classList.Elements();
    if (steps.size() != classes.size()) {
        return false;
    }
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (classes[k] != ClassCode(steps[k])) {
            return false;
        }
    }
    return true;
}

TEST(HostileFiles, ThingsThatAreNotRegularFilesGiveZeroAtOnce) {
    TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.PathOf("no-writer").c_str(), 0600), 0);
    const std::string paths[] = {folder.PathOf(""),
                                 folder.PathOf("no-writer"),
                                 "/dev/zero",
                                 "/dev/null",
                                 "/dev/urandom",
                                 "/dev/tty",
                                 "/"};
    for (const std::string& path : paths) {
        Sequence sequence = PreviousSequence();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(LoadSequenceFile(sequence, path), 0) << path;
        EXPECT_EQ(sequence, PreviousSequence()) << path;
        // Generous: only a blocking open or an endless read could take this long.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << path;
    }
}

TEST(HostileFiles, AReadErrorPartWayGivesZeroAndKeepsThePreviousSequence) {
    // A regular file whose first read fails with EIO.
    Sequence sequence = PreviousSequence();
    EXPECT_EQ(LoadSequenceFile(sequence, "/proc/self/mem"), 0);
    EXPECT_EQ(sequence, PreviousSequence());
}

TEST(HostileFiles, AFileWithoutReadPermission) {
    TemporaryFolder folder;
    const std::string path = folder.Write("locked.kzt", ";;;;;5\n");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::geteuid() != 0) {
        Sequence sequence = PreviousSequence();
        EXPECT_EQ(LoadSequenceFile(sequence, path), 0);
        EXPECT_EQ(sequence, PreviousSequence());
        return;
    }
    // Root reads everything: try it as the unprivileged user "nobody" instead.
    ::chmod(folder.PathOf("").c_str(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(99);
        }
        Sequence sequence = PreviousSequence();
        const int result = LoadSequenceFile(sequence, path);
        ::_exit(result == 0 && sequence == PreviousSequence() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 99) {
        GTEST_SKIP() << "running as root and cannot switch to an unprivileged user";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an unreadable file must give 0 and change nothing";
}

TEST(HostileFiles, NamesWithSpacesUmlautsAndBothSlashes) {
    TemporaryFolder folder;
    for (const char* name : {"mit Leerzeichen.kzt", "Grüße aus Köln.kzt", "data.old\\run.kzt",
                             " führend", "ß\\ä\\ö.KZT"}) {
        Sequence sequence;
        EXPECT_EQ(LoadSequenceFile(sequence, folder.Write(name, ";;;;;9\n")), 1) << name;
        EXPECT_EQ(sequence.stepList.Size(), 1u) << name;
    }
    Sequence sequence = PreviousSequence();
    EXPECT_EQ(LoadSequenceFile(sequence, folder.PathOf("data.old") + "/run.kzt"), 0);
    EXPECT_EQ(sequence, PreviousSequence());
}

TEST(HostileFiles, AFileOfNulBytesIsALineOfMarkersEach) {
    TemporaryFolder folder;
    const std::string path = folder.Write("nul.kzt", std::string(3'000'000, '\0'));
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
