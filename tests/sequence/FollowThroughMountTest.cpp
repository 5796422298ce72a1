// A file on a FUSE mount written on the server's side, as an acquisition
// machine writes to a share: the kernel keeps the file's attributes for a
// while and sends no notification, so what the follower reads must come from
// the server at each look. MountTest.sh mounts a folder with bindfs and names
// both sides in QORNV_MOUNT_SOURCE and QORNV_MOUNTED; without them the tests
// are skipped.

#include "SequenceFollower.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void Append(const std::string& path, const std::string& bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(file, 0) << path;
    EXPECT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);
}

class FollowThroughMount : public testing::Test {
  protected:
    void SetUp() override {
        const char* sourceFolder = std::getenv("QORNV_MOUNT_SOURCE");
        const char* mountedFolder = std::getenv("QORNV_MOUNTED");
        if (sourceFolder == nullptr || mountedFolder == nullptr) {
            GTEST_SKIP() << "no mount (run through MountTest.sh)";
        }
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        source = std::string(sourceFolder) + "/" + name + ".kzt";
        mounted = std::string(mountedFolder) + "/" + name + ".kzt";
        std::ofstream(source, std::ios::binary) << "x;x;x;x;x;1\nx;x;x;x;x;2\n";
    }
    void TearDown() override {
        if (!source.empty()) {
            ::unlink(source.c_str());
        }
    }

    std::string source;
    std::string mounted;
};

// The look just before the write leaves attributes the kernel would trust for
// a second; the look just after must not.
TEST_F(FollowThroughMount, ALookRightAfterAWriteSeesIt) {
    const FileStamp before = StampOfPath(mounted);
    ASSERT_TRUE(before.exists);
    Append(source, "x;x;x;x;x;3\n");
    const FileStamp after = StampOfPath(mounted);
    EXPECT_EQ(after.size, before.size + 12);
    EXPECT_NE(after, before);
}

TEST_F(FollowThroughMount, AnUpdateRightAfterAWriteReadsIt) {
    SequenceFollower follower;
    Sequence sequence;
    ASSERT_EQ(follower.Load(sequence, mounted), loadComplete);
    ASSERT_EQ(sequence.stepList.Size(), 2u);
    EXPECT_EQ(follower.Update(sequence).kind, FollowUpdate::Kind::Unchanged);
    Append(source, "x;x;x;x;x;3\n");
    const FollowUpdate update = follower.Update(sequence);
    EXPECT_EQ(update.kind, FollowUpdate::Kind::Grown);
    EXPECT_EQ(update.keptSteps, 2u);
    ASSERT_EQ(sequence.stepList.Size(), 3u);
    EXPECT_EQ(sequence.stepList.Elements().back(), 3);
}

} // namespace
