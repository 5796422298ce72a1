#include "PathStatistics.h"
#include "Sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr auto ico = StructureKind::Icosahedron;
constexpr auto octa = StructureKind::Octahedron;

using LineCounts = std::map<std::pair<int, int>, std::uint64_t>; // smaller node first
using MarkerCounts = std::map<int, std::uint64_t>;

struct Counts {
    std::uint64_t markerSteps = 0;
    std::uint64_t noNodeSteps = 0;
    LineCounts lines;
    MarkerCounts markers;
    friend bool operator==(const Counts&, const Counts&) = default;
};

void PrintTo(const Counts& counts, std::ostream* out) {
    *out << "markerSteps " << counts.markerSteps << " noNodeSteps " << counts.noNodeSteps
         << " lines";
    for (const auto& [line, count] : counts.lines) {
        *out << ' ' << line.first << '-' << line.second << 'x' << count;
    }
    *out << " markers";
    for (const auto& [node, count] : counts.markers) {
        *out << ' ' << node << 'x' << count;
    }
}

// The non-zero counts, in the shape of the expectations below.
Counts Observed(const PathStatistics& statistics) {
    Counts counts{statistics.markerSteps, statistics.noNodeSteps, {}, {}};
    for (std::size_t a = 1; a < statistics.nodeCount; ++a) {
        for (std::size_t b = a; b < statistics.nodeCount; ++b) {
            if (const auto runs = statistics.LineRuns(a, b); runs > 0) {
                counts.lines[{static_cast<int>(a), static_cast<int>(b)}] = runs;
            }
        }
        if (statistics.markerDots[a] > 0) {
            counts.markers[static_cast<int>(a)] = statistics.markerDots[a];
        }
    }
    return counts;
}

PathStatistics Count(StructureKind kind, const std::vector<int>& values) {
    const std::vector<std::int8_t> steps(values.begin(), values.end());
    return CountPath(kind, steps);
}

struct StatisticsCase {
    const char* name;
    StructureKind kind;
    std::vector<int> steps;
    Counts expected;
};

void PrintTo(const StatisticsCase& c, std::ostream* out) {
    *out << c.name;
}

class StatisticsCaseTest : public testing::TestWithParam<StatisticsCase> {};

TEST_P(StatisticsCaseTest, CountsTheShapesTheWalkDraws) {
    const StatisticsCase& c = GetParam();
    const PathStatistics statistics = Count(c.kind, c.steps);
    EXPECT_EQ(Observed(statistics), c.expected);
    EXPECT_EQ(statistics.steps, c.steps.size());
    std::uint64_t onNodes = 0;
    for (std::size_t node = 1; node < statistics.nodeCount; ++node) {
        EXPECT_EQ(statistics.nodeSteps[node],
                  static_cast<std::uint64_t>(std::count(c.steps.begin(), c.steps.end(), node)));
        onNodes += statistics.nodeSteps[node];
    }
    EXPECT_EQ(onNodes + statistics.markerSteps + statistics.noNodeSteps, statistics.steps);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Walks, StatisticsCaseTest, testing::Values(
    StatisticsCase{"LeadingMarkersPutNoDot", ico, {0, 0, 3, 0, 4}, {3, 0, {{{3, 4}, 1}}, {{3, 1}}}},
    StatisticsCase{"CornersOnly", ico, {1, 5, 9}, {0, 0, {}, {}}},
    StatisticsCase{"MarkerInsideCornerRun", ico, {1, 0, 5, 2}, {1, 0, {{{1, 2}, 1}}, {{1, 1}}}},
    StatisticsCase{"CornerRunCollapses", ico, {2, 1, 5, 6}, {0, 0, {{{1, 2}, 1}, {{1, 6}, 1}}, {}}},
    StatisticsCase{"BothWaysAlongOneLine", ico, {3, 4, 3, 4, 0, 0}, {2, 0, {{{3, 4}, 3}}, {{4, 2}}}},
    StatisticsCase{"ZeroLengthLineCounted", ico, {6, 6, 6, 7, 1, 1}, {0, 0, {{{6, 6}, 2}, {{6, 7}, 1}, {{1, 7}, 1}}, {}}},
    StatisticsCase{"StepsWithoutNode", ico, {14, 3, 99, 4, 50, 0, 1}, {1, 3, {{{3, 4}, 1}, {{1, 4}, 1}}, {{4, 1}}}},
    StatisticsCase{"OneElement", ico, {7}, {0, 0, {}, {}}},
    StatisticsCase{"NoElements", octa, {}, {0, 0, {}, {}}},
    StatisticsCase{"OctahedronClasses", octa, {2, 5, 7, 0, 2}, {1, 0, {{{2, 5}, 1}, {{5, 7}, 1}, {{2, 7}, 1}}, {{7, 1}}}},
    StatisticsCase{"OctahedronCorners", octa, {4, 0, 3, 1, 6, 0}, {2, 0, {{{3, 4}, 1}, {{3, 6}, 1}}, {{4, 1}, {6, 1}}}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PathStatistics, StartupSequenceHas75VisibleLines) {
    Sequence sequence;
    FillStartupSteps(sequence);
    const Counts counts = Observed(CountPath(ico, sequence.stepList.Elements()));
    int red = 0;
    int black = 0;
    int zeroLength = 0;
    for (const auto& [line, runs] : counts.lines) {
        const bool corner = line.first == 1 || line.first == 5 || line.first == 9 ||
                            line.second == 1 || line.second == 5 || line.second == 9;
        (line.first == line.second ? zeroLength : corner ? red : black) += 1;
    }
    EXPECT_EQ(red, 30);
    EXPECT_EQ(black, 45);
    EXPECT_EQ(zeroLength, 10);
}

// The walk as written out in words, step by step, for long paths: the counts
// of the table walk, lanes and all, must agree with it exactly.
Counts PlainWalk(StructureKind kind, const std::vector<std::int8_t>& steps) {
    const std::vector<int> corners = kind == ico ? std::vector{1, 5, 9} : std::vector{1, 3, 5};
    const int nodes = kind == ico ? 13 : 7;
    const auto isCorner = [&](int v) {
        return std::find(corners.begin(), corners.end(), v) != corners.end();
    };
    Counts counts;
    int from = 0;
    bool onCorner = false;
    for (const std::int8_t v : steps) {
        if (v == 0) {
            ++counts.markerSteps;
            if (from != 0) {
                ++counts.markers[from];
            }
        } else if (v < 0 || v > nodes) {
            ++counts.noNodeSteps;
        } else if (from == 0) {
            from = v;
            onCorner = isCorner(v);
        } else if (!(onCorner && isCorner(v))) {
            ++counts.lines[std::minmax(from, static_cast<int>(v))];
            from = v;
            onCorner = isCorner(v);
        }
    }
    return counts;
}

TEST(PathStatistics, LongPathsAgreeWithThePlainWalk) {
    std::mt19937 random(13);
    std::uniform_int_distribution<int> value(0, 99);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<std::int8_t> steps(static_cast<std::size_t>(trial) * 997 + trial % 5);
        const bool cornerHeavy = trial % 3 == 0;
        for (std::int8_t& step : steps) {
            const int v = value(random);
            step = static_cast<std::int8_t>(cornerHeavy && v < 90 ? (v % 3) * 4 + 1 : v % 16);
        }
        std::vector<std::int8_t> classes(steps.size());
        std::transform(steps.begin(), steps.end(), classes.begin(), ClassCode);
        EXPECT_EQ(Observed(CountPath(ico, steps)), PlainWalk(ico, steps)) << "trial " << trial;
        EXPECT_EQ(Observed(CountPath(octa, classes)), PlainWalk(octa, classes))
            << "trial " << trial;
    }
}

} // namespace
