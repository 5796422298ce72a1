// The loader on what only POSIX systems have: FIFOs, devices, /proc, file modes
// and users. The Windows counterparts are in SequenceLoaderWindowsTest.cpp.

#include "ExpectedSequence.h"
#include "SequenceLoader.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SequenceLoader, AFileThatCannotBeOpenedChangesNothing) {
    TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.PathOf("fifo").c_str(), 0600), 0);
    const std::string unopenable[] = {folder.PathOf("missing.kzt"),
                                      folder.PathOf(""),
                                      folder.PathOf("fifo"),
                                      "/dev/null",
                                      "",
                                      folder.PathOf("missing/inside.kzt")};
    for (const std::string& path : unopenable) {
        Sequence sequence = SequenceHolding({3, 0, 11});
        sequence.stepList.Select(1);
        const Sequence before = sequence;
        LoadReport report;
        report.malformedLine = 42;
        EXPECT_EQ(LoadSequenceFile(sequence, path, &report), 0) << path;
        EXPECT_EQ(report.result, 0);
        EXPECT_EQ(report.malformedLine, 0u);
        EXPECT_EQ(sequence, before) << path;
    }
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

} // namespace
