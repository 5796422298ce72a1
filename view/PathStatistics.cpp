#include "PathStatistics.h"

#include "PathWalk.h"

#include <algorithm>
#include <array>

namespace {

// The walk as a table, one lookup per step, with the list cut into lanes walked
// side by side (PathLane). Counts add up across lanes.
class CountingWalk {
  public:
    CountingWalk(const PathRules& rules, std::size_t nodeCount)
        : nodeCount(nodeCount), noShape(nodeCount * nodeCount + nodeCount),
          stride(noShape + 1 + 256), moves(nodeCount * 256),
          settles(SettlingSteps(rules, nodeCount)) {
        for (std::size_t from = 0; from < nodeCount; ++from) {
            for (int value = -128; value < 128; ++value) {
                const PathStep step = TakePathStep(rules, nodeCount, from, value);
                std::size_t shape = noShape;
                if (step.shape == PathShape::Line) {
                    shape = from * nodeCount + step.next;
                } else if (step.shape == PathShape::Marker) {
                    shape = nodeCount * nodeCount + from;
                }
                moves[from * 256 + StepByte(value)] = {static_cast<std::uint16_t>(shape),
                                                       static_cast<std::uint16_t>(step.next * 256)};
            }
        }
    }

    // Per shape, then per byte value of the list: how often each occurs.
    std::vector<std::uint64_t> Count(std::span<const std::int8_t> steps) const {
        std::array<PathLane, pathLaneCount> lanes{};
        const std::size_t used = PlanPathLanes(steps, settles, lanes);
        std::vector<std::uint64_t> counts(pathLaneCount * stride, 0);
        if (used == pathLaneCount) {
            WalkSideBySide(steps, lanes, counts.data());
        }
        for (std::size_t lane = 0; lane < used; ++lane) {
            WalkLane(steps, lanes[lane], counts.data() + lane * stride);
        }
        for (std::size_t lane = 1; lane < pathLaneCount; ++lane) {
            for (std::size_t k = 0; k < stride; ++k) {
                counts[k] += counts[lane * stride + k];
            }
        }
        counts.resize(stride);
        return counts;
    }

    std::size_t HistogramStart() const { return noShape + 1; }

  private:
    // Static, with everything in arguments: see WalkSideBySide.
    static void Visit(const PathMove* table, std::uint64_t* counts, std::uint64_t* histogram,
                      std::size_t& offset, std::int8_t value) {
        const std::size_t byte = StepByte(value);
        const PathMove move = table[offset + byte];
        ++counts[move.shape];
        ++histogram[byte];
        offset = move.next;
    }

    // The lanes' state lives in locals: the counts are stored through a pointer
    // to integers of the same type as the members, which would otherwise make
    // the compiler reload those from memory after every count.
    void WalkSideBySide(std::span<const std::int8_t> steps,
                        std::array<PathLane, pathLaneCount>& lanes, std::uint64_t* counts) const {
        static_assert(pathLaneCount == 4);
        std::size_t common = steps.size();
        for (const PathLane& lane : lanes) {
            common = std::min(common, lane.end - lane.begin);
        }
        const std::int8_t* s0 = steps.data() + lanes[0].begin;
        const std::int8_t* s1 = steps.data() + lanes[1].begin;
        const std::int8_t* s2 = steps.data() + lanes[2].begin;
        const std::int8_t* s3 = steps.data() + lanes[3].begin;
        std::size_t o0 = lanes[0].offset;
        std::size_t o1 = lanes[1].offset;
        std::size_t o2 = lanes[2].offset;
        std::size_t o3 = lanes[3].offset;
        std::uint64_t* const c0 = counts;
        std::uint64_t* const c1 = counts + stride;
        std::uint64_t* const c2 = counts + 2 * stride;
        std::uint64_t* const c3 = counts + 3 * stride;
        const std::size_t h = HistogramStart();
        const PathMove* const table = moves.data();
        for (std::size_t j = 0; j < common; ++j) {
            Visit(table, c0, c0 + h, o0, s0[j]);
            Visit(table, c1, c1 + h, o1, s1[j]);
            Visit(table, c2, c2 + h, o2, s2[j]);
            Visit(table, c3, c3 + h, o3, s3[j]);
        }
        const std::size_t offsets[] = {o0, o1, o2, o3};
        for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
            lanes[lane].begin += common;
            lanes[lane].offset = offsets[lane];
        }
    }

    void WalkLane(std::span<const std::int8_t> steps, PathLane& lane, std::uint64_t* counts) const {
        std::size_t offset = lane.offset;
        std::uint64_t* const histogram = counts + HistogramStart();
        const PathMove* const table = moves.data();
        const std::size_t end = lane.end;
        for (std::size_t i = lane.begin; i < end; ++i) {
            Visit(table, counts, histogram, offset, steps[i]);
        }
        lane.offset = offset;
    }

    std::size_t nodeCount;
    std::size_t noShape;
    std::size_t stride;
    std::vector<PathMove> moves;
    std::array<bool, 256> settles;
};

} // namespace

std::uint64_t PathStatistics::LineRuns(std::size_t a, std::size_t b) const {
    const std::uint64_t there = directedRuns[a * nodeCount + b];
    return a == b ? there : there + directedRuns[b * nodeCount + a];
}

bool PathStatistics::LineRed(std::size_t a, std::size_t b) const {
    const PathRules& rules = PathRulesFor(kind);
    return IsCorner(rules, static_cast<int>(a)) || IsCorner(rules, static_cast<int>(b));
}

PathStatistics CountPath(StructureKind kind, std::span<const std::int8_t> walked) {
    PathStatistics statistics;
    statistics.kind = kind;
    statistics.nodeCount = NodeCountOf(kind);
    const std::size_t nodeCount = statistics.nodeCount;
    const CountingWalk walk(PathRulesFor(kind), nodeCount);
    const std::vector<std::uint64_t> counts = walk.Count(walked);
    const std::uint64_t* histogram = counts.data() + walk.HistogramStart();
    const auto byValue = [&](int value) { return histogram[StepByte(value)]; };

    statistics.steps = walked.size();
    statistics.markerSteps = byValue(0);
    statistics.directedRuns.assign(counts.begin(), counts.begin() + nodeCount * nodeCount);
    statistics.markerDots.assign(counts.begin() + nodeCount * nodeCount,
                                 counts.begin() + nodeCount * nodeCount + nodeCount);
    statistics.nodeSteps.assign(nodeCount, 0);
    std::uint64_t onNodes = 0;
    for (std::size_t node = 1; node < nodeCount; ++node) {
        statistics.nodeSteps[node] = byValue(static_cast<int>(node));
        onNodes += statistics.nodeSteps[node];
    }
    statistics.noNodeSteps = statistics.steps - statistics.markerSteps - onNodes;
    return statistics;
}
