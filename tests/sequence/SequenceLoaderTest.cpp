#include "SequenceLoader.h"
#include "ExpectedSequence.h"
#include "TemporaryFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace std::string_literals;

struct LoadCase {
    const char* name;
    std::string bytes;
    int result;
    std::vector<int> steps;
    std::uint64_t malformedLine = 0;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class LoaderCases : public testing::TestWithParam<LoadCase> {};

TEST_P(LoaderCases, GiveTheirStepsAndResult) {
    const LoadCase& c = GetParam();
    TemporaryFolder folder;
    Sequence sequence = SequenceHolding({7, 7, 7});
    LoadReport report;
    EXPECT_EQ(LoadSequenceFile(sequence, folder.Write("case.kzt", c.bytes), &report), c.result);
    EXPECT_EQ(report.result, c.result);
    EXPECT_EQ(report.malformedLine, c.malformedLine);
    EXPECT_EQ(StepsOf(sequence), c.steps);
    ExpectClassesMatchSteps(sequence);
}

// The same case amid good lines, far enough from the start and the end of the
// file that it lies inside a read block and a scan batch: the block-wise path
// reads it, not the byte-wise one that reads the ends of blocks.
TEST_P(LoaderCases, GiveTheSameAmidLongRunsOfGoodLines) {
    const LoadCase& c = GetParam();
    std::vector<int> steps;
    const std::string before = GoodLines(80'000, steps);
    const std::uint64_t linesBefore = steps.size();
    steps.insert(steps.end(), c.steps.begin(), c.steps.end());
    std::vector<int> afterSteps;
    const std::string after = GoodLines(80'000, afterSteps);
    if (c.result == loadComplete) {
        steps.insert(steps.end(), afterSteps.begin(), afterSteps.end());
    }
    // An unended last line ends here as it would at the end of the file.
    const char last = c.bytes.empty() ? '\n' : c.bytes.back();
    const bool ended = last == '\n' || last == '\r' || last == '\0';
    TemporaryFolder folder;
    Sequence sequence;
    LoadReport report;
    const std::string file =
        folder.Write("case.kzt", before + c.bytes + (ended ? "" : "\n") + after);
    EXPECT_EQ(LoadSequenceFile(sequence, file, &report), c.result);
    EXPECT_EQ(report.malformedLine, c.malformedLine == 0 ? 0 : linesBefore + c.malformedLine);
    EXPECT_EQ(StepsOf(sequence), steps);
    ExpectClassesMatchSteps(sequence);
}

INSTANTIATE_TEST_SUITE_P(
    Format, LoaderCases,
    testing::Values(
        LoadCase{"empty file", "", 1, {}},
        LoadCase{"tag lines only", "QORN-V\nQORN-V header;1;2;3;4;5\r\nQORN-V", 1, {}},
        LoadCase{"example", "QORN-V\nx;x;x;x;x;3\n\nx;x;x;x;x;11;x\n", 1, {3, 0, 11}},
        LoadCase{"LF", "a;b;c;d;e;1\na;b;c;d;e;2\n", 1, {1, 2}},
        LoadCase{"CR LF", "a;b;c;d;e;1\r\na;b;c;d;e;2\r\n", 1, {1, 2}},
        LoadCase{"lone CR", "a;b;c;d;e;1\ra;b;c;d;e;2\r", 1, {1, 2}},
        LoadCase{"NUL", "a;b;c;d;e;1\0a;b;c;d;e;2\0"s, 1, {1, 2}},
        LoadCase{"no terminator at the end", "a;b;c;d;e;1\na;b;c;d;e;2", 1, {1, 2}},
        LoadCase{"LF CR is two ends", ";;;;;4\n\r;;;;;5", 1, {4, 0, 5}},
        LoadCase{"CR CR LF", ";;;;;4\r\r\n", 1, {4, 0}},
        LoadCase{"empty lines are markers", "\n\n\r\n", 1, {0, 0, 0}},
        LoadCase{"five or fewer fields", "a;b;c;d;e\na\n;;;;\n", 1, {0, 0, 0}},
        LoadCase{"empty sixth field", "a;b;c;d;e;\na;b;c;d;e;;9\n", 1, {0, 0}},
        LoadCase{"one and two digits", ";;;;;7\n;;;;;07\n;;;;;00\n;;;;;99\n", 1, {7, 7, 0, 99}},
        LoadCase{"out of range nodes", ";;;;;14\n;;;;;50\n;;;;;13\n", 1, {14, 50, 13}},
        LoadCase{"three digits", ";;;;;1\n;;;;;100\n;;;;;2\n", -1, {1}, 2},
        LoadCase{"blank before", ";;;;;1\n;;;;; 7\n", -1, {1}, 2},
        LoadCase{"blank after", ";;;;;7 \n", -1, {}, 1},
        LoadCase{"plus sign", ";;;;;+7\n", -1, {}, 1},
        LoadCase{"minus sign", ";;;;;-1\n", -1, {}, 1},
        LoadCase{"letter", "QORN-V\n;;;;;3\n;;;;;7a;x\n;;;;;4\n", -1, {3}, 3},
        LoadCase{"two digits and a letter", "QORN-V\nQORN-V\n;;;;;1\n;;;;;12x\n", -1, {1}, 4},
        LoadCase{"every node number",
                 ";;;;;0\n;;;;;1\n;;;;;2\n;;;;;3\n;;;;;4\n;;;;;5\n;;;;;6\n;;;;;7\n;;;;;8\n"
                 ";;;;;9\n;;;;;10\n;;;;;11\n;;;;;12\n;;;;;13\n;;;;;14\n;;;;;99\n",
                 1,
                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 99}},
        LoadCase{"bad field after many lines", "\n\n\n\n;;;;;x\n", -1, {0, 0, 0, 0}, 5},
        LoadCase{"tag then data", "QORN-V;x;x;x;x;5\n", 1, {}},
        LoadCase{"tag then bad field", "QORN-V;x;x;x;x;bad\n", 1, {}},
        LoadCase{"lower-case tag", "qorn-v;x;x;x;x;5\n", 1, {5}},
        LoadCase{"blank before tag", " QORN-V;x;x;x;x;5\n", 1, {5}},
        LoadCase{"five tag characters", "QORN-\n", 1, {0}},
        LoadCase{"tag cut by a terminator", "QORN\n-V;;;;;5\n", 1, {0, 5}},
        LoadCase{"byte-order mark before tag", "\xEF\xBB\xBFQORN-V;;;;;6\n", 1, {6}},
        LoadCase{"tag anywhere", ";;;;;1\nQORN-V middle\n;;;;;2\nQORN-V\n", 1, {1, 2}},
        LoadCase{"fields beyond the sixth ignored", ";;;;;12;--;;;zz\n", 1, {12}},
        LoadCase{"other fields may hold anything", "\x01\xff;+-;   ;QORN-V;\x80;5\n", 1, {5}}));

// Parsing must not depend on where reads cut the file: every cut, and byte by
// byte, gives the same steps as one block.
// Lines short and long (beyond one 64-byte scan window), fields and line ends
// at every offset, so that the cuts below land everywhere that matters.
std::string MixedLines(std::vector<int>& steps) {
    std::string bytes = "QORN-V\r\n;;;;;12\r\n\r\n;a;b;c;d;3;x\rQORN-\0;;;;;;\n;;;;;99\r"s;
    steps = {12, 0, 3, 0, 0, 99};
    const char* ends[] = {"\n", "\r\n", "\r", "\0"};
    for (int i = 0; i < 40; ++i) {
        const std::string padding(static_cast<std::size_t>(i * 7 % 90), 'x');
        const int step = i * 5 % 100;
        if (i % 9 == 4) {
            bytes += "QORN-V" + padding + ";;;;;bad";
        } else if (i % 7 == 3) {
            bytes += padding + ";;;;";
            steps.push_back(0);
        } else {
            bytes += padding + ";b;;d;" + padding + ";" + std::to_string(step) + ";" + padding;
            steps.push_back(step);
        }
        bytes += std::string(ends[i % 4], i % 4 == 3 ? 1 : std::strlen(ends[i % 4]));
    }
    return bytes;
}

TEST(SequenceParser, BlockBoundariesDoNotMatter) {
    std::vector<int> steps;
    const std::string bytes = MixedLines(steps);
    Sequence whole;
    SequenceParser wholeParser(whole);
    ASSERT_TRUE(wholeParser.Feed(bytes.data(), bytes.size()));
    ASSERT_EQ(wholeParser.Finish(), 1);
    EXPECT_EQ(StepsOf(whole), steps);

    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        Sequence split;
        SequenceParser parser(split);
        parser.Feed(bytes.data(), cut);
        parser.Feed(bytes.data() + cut, bytes.size() - cut);
        EXPECT_EQ(parser.Finish(), 1) << "cut at " << cut;
        EXPECT_EQ(split, whole) << "cut at " << cut;
    }
    Sequence bytewise;
    SequenceParser parser(bytewise);
    for (const char byte : bytes) {
        parser.Feed(&byte, 1);
    }
    parser.Finish();
    EXPECT_EQ(bytewise, whole);
}

TEST(SequenceParser, StopsAtTheMalformedLineAndIgnoresLaterBlocks) {
    Sequence sequence;
    SequenceParser parser(sequence);
    EXPECT_TRUE(parser.Feed(";;;;;1\n;;;;;22", 14));
    EXPECT_FALSE(parser.Feed("3\n;;;;;4\n", 9)) << "223 has three digits";
    EXPECT_FALSE(parser.Feed(";;;;;5\n", 7));
    EXPECT_EQ(parser.Finish(), -1);
    EXPECT_EQ(parser.LineNumber(), 2u);
    EXPECT_EQ(StepsOf(sequence), std::vector<int>{1});
}

TEST(SequenceLoader, LongLinesAndLargeFilesStreamThrough) {
    TemporaryFolder folder;
    std::string bytes(5'000'000, 'x'); // one line far longer than a read block
    bytes += ";;;;;9\n";
    for (int i = 0; i < 300'000; ++i) {
        bytes += "2026-12-08;12:00:00;PH;0001;A;" + std::to_string(i % 100) + ";0.5\n";
    }
    Sequence sequence;
    ASSERT_EQ(LoadSequenceFile(sequence, folder.Write("big.kzt", bytes)), 1);
    ASSERT_EQ(sequence.stepList.Size(), 300'001u);
    EXPECT_EQ(sequence.stepList.Elements()[0], 9);
    EXPECT_EQ(sequence.stepList.Elements()[300'000], 299'999 % 100);
    ExpectClassesMatchSteps(sequence);
}

TEST(SequenceLoader, ReplacesThePreviousSequenceWhenOpened) {
    TemporaryFolder folder;
    Sequence sequence = SequenceHolding({3, 0, 11});
    EXPECT_EQ(LoadSequenceFile(sequence, folder.Write("one.kzt", ";;;;;5\n")), 1);
    EXPECT_EQ(StepsOf(sequence), std::vector<int>{5});
    EXPECT_EQ(LoadSequenceFile(sequence, folder.Write("bad.kzt", ";;;;;x\n")), -1);
    EXPECT_TRUE(StepsOf(sequence).empty());
    EXPECT_EQ(sequence.classList.Size(), 0u);
}

} // namespace
