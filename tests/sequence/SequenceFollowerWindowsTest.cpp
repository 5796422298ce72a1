// What only Windows can put in a followed file's place, and how a followed file
// that its writer locks, or whose name is not ASCII, is read.

#include "ExpectedSequence.h"
#include "FileWrites.h"
#include "FollowerCases.h"
#include "WindowsFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

std::vector<ChangeCase> PlatformChangeCases() {
    return {ChangeCase{"replaced by a folder, then by a file",
                       ";;;;;5\n",
                       {{[](auto&, auto& p) {
                             std::filesystem::remove(NativePath(p));
                             std::filesystem::create_directory(NativePath(p));
                         },
                         Kind::Unchanged},
                        {[](auto& f, auto& p) {
                             std::filesystem::remove(NativePath(p));
                             f.Write("followed.kzt", ";;;;;8\n");
                         },
                         Kind::Replaced}}}};
}

namespace {

// The writer locks the file while it appends: the follower reads nothing, keeps
// what it showed and does not wait, then reads on once the lock is gone.
TEST(SequenceFollower, AFileLockedByItsWriterIsReadOnOnceReleased) {
    TemporaryFolder folder;
    const std::string path = folder.Write("followed.kzt", ";;;;;5\n");
    SequenceFollower follower;
    Sequence followed;
    ASSERT_EQ(follower.Load(followed, path), loadComplete);

    LockedFile lock(path);
    ASSERT_TRUE(lock.IsLocked());
    ASSERT_TRUE(lock.Append(";;;;;6\n"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(follower.Update(followed).kind, Kind::Unchanged);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(StepsOf(followed), std::vector<int>{5});

    lock.Release();
    EXPECT_EQ(follower.Update(followed).kind, Kind::Grown);
    EXPECT_EQ(StepsOf(followed), (std::vector<int>{5, 6}));
}

TEST(SequenceFollower, FollowsFilesNamedWithUmlautsAndCjkCharacters) {
    TemporaryFolder folder;
    for (const char* name : {"Grüße aus Köln.kzt", "記録 データ.kzt", "기록.kzt"}) {
        const std::string path = folder.Write(name, ";;;;;5\n");
        SequenceFollower follower;
        Sequence followed;
        ASSERT_EQ(follower.Load(followed, path), loadComplete) << name;
        Append(path, ";;;;;6\n");
        EXPECT_EQ(follower.Update(followed).kind, Kind::Grown) << name;
        EXPECT_EQ(StepsOf(followed), (std::vector<int>{5, 6})) << name;
    }
}

} // namespace
