// A followed file must always read as the same file loaded whole, however its
// bytes arrived, and a replaced file must be read anew.

#include "SequenceFollower.h"
#include "ExpectedSequence.h"
#include "FileWrites.h"
#include "FollowerCases.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

namespace {

using namespace std::string_literals;

// After an update that read the file, the followed sequence is the file loaded
// whole; a Grown update left the steps before keptSteps as they were.
void ExpectAsLoadedWhole(const Sequence& followed, const FollowUpdate& update,
                         const Sequence& before, const std::string& path) {
    Sequence whole;
    LoadReport wholeReport;
    ASSERT_NE(LoadSequenceFile(whole, path, &wholeReport), loadNotOpened);
    EXPECT_EQ(StepsOf(followed), StepsOf(whole));
    EXPECT_EQ(followed, whole); // class codes and cursor too
    ExpectClassesMatchSteps(followed);
    EXPECT_EQ(update.report.result, wholeReport.result);
    EXPECT_EQ(update.report.malformedLine, wholeReport.malformedLine);
    if (update.kind == Kind::Grown) {
        ASSERT_LE(update.keptSteps, before.stepList.Size());
        ASSERT_LE(update.keptSteps, followed.stepList.Size());
        EXPECT_TRUE(std::equal(before.stepList.Elements().begin(),
                               before.stepList.Elements().begin() +
                                   static_cast<std::ptrdiff_t>(update.keptSteps),
                               followed.stepList.Elements().begin()));
    }
}

// More than one read block and one scan batch, so that the first read of a
// followed file goes through the block-wise path.
std::string LongPrefix() {
    std::vector<int> steps;
    return GoodLines(80'000, steps);
}

struct GrowthCase {
    const char* name;
    std::vector<std::string> pieces; // as a writer appends them
};

void PrintTo(const GrowthCase& c, std::ostream* out) {
    *out << c.name;
}

class GrowthCases : public testing::TestWithParam<GrowthCase> {
  protected:
    // Starts following `start`, then appends each piece with an update after it.
    void Follow(const std::string& start, const std::vector<std::string>& pieces) {
        TemporaryFolder folder;
        const std::string path = folder.Write("growing.kzt", start);
        SequenceFollower follower;
        Sequence followed;
        LoadReport report;
        ASSERT_NE(follower.Load(followed, path, &report), loadNotOpened);
        for (const std::string& piece : pieces) {
            const Sequence before = followed;
            Append(path, piece);
            const FollowUpdate update = follower.Update(followed);
            // After a malformed line nothing more is read.
            const bool readOn = !piece.empty() && report.result == loadComplete;
            EXPECT_EQ(update.kind, readOn ? Kind::Grown : Kind::Unchanged);
            ExpectAsLoadedWhole(followed, update, before, path);
            report = update.report;
        }
    }
};

TEST_P(GrowthCases, ReadAsTheFileLoadedWholeWhereverTheWritesEnd) {
    const std::string bytes =
        std::accumulate(GetParam().pieces.begin(), GetParam().pieces.end(), std::string());
    for (const std::string& prefix : {std::string(), LongPrefix()}) {
        SCOPED_TRACE(prefix.empty() ? "alone" : "behind a long prefix");
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            Follow(prefix + bytes.substr(0, cut), {bytes.substr(cut)});
        }
        std::vector<std::string> bytewise;
        for (const char byte : bytes) {
            bytewise.emplace_back(1, byte);
        }
        SCOPED_TRACE("byte by byte");
        Follow(prefix, bytewise);
        SCOPED_TRACE("in the pieces of the table");
        Follow(prefix, GetParam().pieces);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Appends, GrowthCases,
    testing::Values(
        GrowthCase{"sixth field completed", {"a;b;c;d;e;1", "2\n"}},
        GrowthCase{"empty sixth field completed", {"a;b;c;d;e;", "7", ";x\n"}},
        GrowthCase{"five fields grow a sixth", {"a;b;c;d;e", ";9;x\n"}},
        GrowthCase{"step ended by a semicolon", {";;;;;13", ";", "x\n"}},
        GrowthCase{"same step completed", {";;;;;4", ";tail\n", ";;;;;4"}},
        GrowthCase{"tag completed", {";;;;;3\nQORN", "-V;;;;;5\n", ";;;;;4"}},
        GrowthCase{"tag completed after its sixth field", {"QORN-V;;;;;", "bad\n;;;;;2\n"}},
        GrowthCase{"five tag characters end", {"QORN-", "\n", "QORN-V"}},
        GrowthCase{"lower-case tag", {"qorn", "-v;;;;;6\n"}},
        GrowthCase{"CR then LF", {";;;;;1\r", "\n;;;;;2\r", "\n"}},
        GrowthCase{"CR then data", {";;;;;1\r", ";;;;;2\r\r", "\n"}},
        GrowthCase{"empty lines", {"\n", "\r", "\n", "\r\r", "\0"s}},
        GrowthCase{"NUL ends", {";;;;;1\0"s, ";;;;;2\0"s, ";;;;;3"}},
        GrowthCase{"every node number",
                   {";;;;;0\n;;;;;1\n;;;;;2\n;;;;;3\n;;;;;4\n;;;;;5\n;;;;;6\n",
                    ";;;;;7\n;;;;;8\n;;;;;9\n;;;;;10\n;;;;;11\n;;;;;12\n",
                    ";;;;;13\n;;;;;14\n;;;;;99\n"}},
        GrowthCase{"provisional becomes malformed", {";;;;;12", "3\n;;;;;4\n"}},
        GrowthCase{"provisional stays valid", {";;;;;", "1", "2", "\r\n"}},
        GrowthCase{"nothing read after a malformed line", {";;;;;1\n;;;;;x\n", ";;;;;2\n"}},
        GrowthCase{"malformed after tag lines", {"QORN-V\n", "QORN-V x\n;;;;;5\n", ";;;;;5x\n"}},
        GrowthCase{"long line",
                   {std::string(100, 'x'), ";;;;", ";8", ";" + std::string(80, 'y') + "\n"}},
        GrowthCase{"nothing appended", {";;;;;5\n", "", ";;;;;6"}}));

void RenameOver(const TemporaryFolder& folder, const std::string& path, const std::string& bytes) {
    folder.Write("new.kzt", bytes);
    std::error_code error;
    std::filesystem::rename(folder.NativePathOf("new.kzt"), NativePath(path), error);
    ASSERT_FALSE(error) << error.message();
}

// Changes the byte at `offset` into another, as ChangeInPlace does.
void FlipByte(const std::string& path, std::int64_t offset) {
    char byte = 0;
    std::ifstream file(NativePath(path), std::ios::binary);
    file.seekg(offset);
    ASSERT_TRUE(file.get(byte));
    file.close();
    ChangeInPlace(path, static_cast<std::uint64_t>(offset),
                  std::string(1, static_cast<char>(byte ^ 1)));
}

std::int64_t SizeOf(const std::string& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(NativePath(path)));
}

class ChangeCases : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeCases, AreSeenByTheNextUpdate) {
    TemporaryFolder folder;
    const std::string path = folder.Write("followed.kzt", GetParam().initial);
    const std::size_t filesOpen = OpenFileCount();
    SequenceFollower follower;
    Sequence followed;
    ASSERT_NE(follower.Load(followed, path), loadNotOpened);
    for (std::size_t k = 0; k < GetParam().changes.size(); ++k) {
        SCOPED_TRACE("change " + std::to_string(k + 1));
        const Change& change = GetParam().changes[k];
        const Sequence before = followed;
        change.apply(folder, path);
        const FollowUpdate update = follower.Update(followed);
        EXPECT_EQ(update.kind, change.expected);
        if (update.kind == Kind::Unchanged) {
            EXPECT_EQ(followed, before);
        } else {
            ExpectAsLoadedWhole(followed, update, before, path);
        }
        if (update.kind == Kind::Replaced) {
            EXPECT_EQ(update.keptSteps, 0u);
        }
        EXPECT_EQ(OpenFileCount(), filesOpen) << "open only while reading";
    }
}

const std::string bigFile = LongPrefix() + ";;;;;7\n;;;;;8";

INSTANTIATE_TEST_SUITE_P(
    Files, ChangeCases,
    testing::Values(
        ChangeCase{"untouched", ";;;;;5\n", {{[](auto&, auto&) {}, Kind::Unchanged}}},
        ChangeCase{"touched, same bytes",
                   ";;;;;5\n",
                   {{[](auto&, auto& p) { TouchLater(p); }, Kind::Unchanged}}},
        ChangeCase{
            "written anew",
            ";;;;;5\n;;;;;6\n",
            {{[](auto&, auto& p) { Rewrite(p, ";;;;;1\n;;;;;2\n;;;;;3\n"); }, Kind::Replaced}}},
        ChangeCase{"truncated below what was read",
                   ";;;;;5\n;;;;;6\n",
                   {{[](auto&, auto& p) { TruncateTo(p, 7); }, Kind::Replaced},
                    {[](auto&, auto& p) { Append(p, ";;;;;9\n"); }, Kind::Grown}}},
        ChangeCase{"truncated and grown past what was read",
                   ";;;;;5\n",
                   {{[](auto&, auto& p) { Rewrite(p, ";;;;;3\n;;;;;4\n"); }, Kind::Replaced}}},
        ChangeCase{
            "renamed over",
            ";;;;;5\n",
            {{[](auto& f, auto& p) { RenameOver(f, p, ";;;;;5\n;;;;;6\n"); }, Kind::Replaced},
             {[](auto&, auto& p) { Append(p, ";;;;;7"); }, Kind::Grown}}},
        ChangeCase{"read bytes changed in place",
                   ";;;;;5\n;;;;;6\n",
                   {{[](auto&, auto& p) { ChangeInPlace(p, 5, "7"); }, Kind::Replaced}}},
        ChangeCase{"read bytes changed in place, modification time put back",
                   ";;;;;5\n;;;;;6\n",
                   {{[](auto&, auto& p) { ChangeKeepingTime(p, 12, "7"); }, Kind::Replaced}}},
        ChangeCase{"last read bytes of a large file changed, then appended to",
                   bigFile,
                   {{[](auto&, auto& p) {
                         ChangeInPlace(p, bigFile.size() - 3, "9");
                         Append(p, ";;;;;1\n");
                     },
                     Kind::Replaced}}},
        ChangeCase{"first of the compared bytes changed after an append",
                   bigFile + "\n",
                   {{[](auto&, auto& p) { Append(p, ";;;;;1\n"); }, Kind::Grown},
                    {[](auto&, auto& p) {
                         const auto compared =
                             static_cast<std::int64_t>(SequenceFollower::comparedTailBytes);
                         FlipByte(p, SizeOf(p) - compared);
                     },
                     Kind::Replaced}}},
        ChangeCase{"malformed file changed in place",
                   ";;;;;5\n;;;;;x\n",
                   {{[](auto&, auto& p) { Append(p, ";;;;;1\n"); }, Kind::Unchanged},
                    {[](auto&, auto& p) { ChangeInPlace(p, 12, "4"); }, Kind::Replaced}}},
        ChangeCase{
            "vanished and back",
            ";;;;;5\n",
            {{[](auto&, auto& p) { std::filesystem::remove(NativePath(p)); }, Kind::Unchanged},
             {[](auto&, auto&) {}, Kind::Unchanged},
             {[](auto& f, auto&) { f.Write("followed.kzt", ";;;;;5\n"); }, Kind::Replaced}}}));

// What only one platform can put in the file's place.
INSTANTIATE_TEST_SUITE_P(PlatformFiles, ChangeCases, testing::ValuesIn(PlatformChangeCases()));

TEST(SequenceFollower, KeepsFollowingWhenAnotherFileCannotBeOpened) {
    TemporaryFolder folder;
    const std::string path = folder.Write("followed.kzt", ";;;;;5\n");
    SequenceFollower follower;
    Sequence followed;
    ASSERT_EQ(follower.Load(followed, path), loadComplete);
    LoadReport report;
    EXPECT_EQ(follower.Load(followed, folder.PathOf("missing.kzt"), &report), loadNotOpened);
    EXPECT_EQ(report.result, loadNotOpened);
    EXPECT_EQ(StepsOf(followed), std::vector<int>{5});
    Append(path, ";;;;;6\n");
    EXPECT_EQ(follower.Update(followed).kind, Kind::Grown);
    EXPECT_EQ(StepsOf(followed), (std::vector<int>{5, 6}));

    follower.Stop();
    Append(path, ";;;;;7\n");
    EXPECT_EQ(follower.Update(followed).kind, Kind::Unchanged);
    EXPECT_EQ(StepsOf(followed), (std::vector<int>{5, 6}));
}

} // namespace
