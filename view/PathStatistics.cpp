#include "PathStatistics.h"

#include "PathWalk.h"

#include <algorithm>
#include <array>

namespace {

// Per lane a row of counts: by shape (ShapeKeys, with one entry more for the
// steps that draw nothing), then by byte value of the list. Rows add up.
class Counts {
  public:
    explicit Counts(const ShapeKeys& keys)
        : histogramStart(keys.Count() + 1), stride(histogramStart + 256),
          counts(pathLaneCount * stride, 0) {
        for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
            shapes[lane] = counts.data() + lane * stride;
            histograms[lane] = shapes[lane] + histogramStart;
        }
    }

    // Pointers only: counts stored through them cannot change them, so the
    // compiler keeps them in registers.
    struct Visitor {
        std::array<std::uint64_t*, pathLaneCount> shapes;
        std::array<std::uint64_t*, pathLaneCount> histograms;
        void operator()(std::size_t lane, std::size_t, std::size_t shape, std::size_t byte) const {
            ++shapes[lane][shape];
            ++histograms[lane][byte];
        }
    };
    Visitor Visit() const { return {shapes, histograms}; }

    // Shapes, then the histogram, summed over the lanes.
    std::vector<std::uint64_t> Summed() const {
        std::vector<std::uint64_t> sum(counts.begin(), counts.begin() + stride);
        for (std::size_t lane = 1; lane < pathLaneCount; ++lane) {
            for (std::size_t k = 0; k < stride; ++k) {
                sum[k] += counts[lane * stride + k];
            }
        }
        return sum;
    }
    std::size_t HistogramStart() const { return histogramStart; }

  private:
    std::size_t histogramStart;
    std::size_t stride;
    std::vector<std::uint64_t> counts;
    std::array<std::uint64_t*, pathLaneCount> shapes{};
    std::array<std::uint64_t*, pathLaneCount> histograms{};
};

} // namespace

std::uint64_t PathStatistics::LineRuns(std::size_t a, std::size_t b) const {
    const std::uint64_t there = directedRuns[a * nodeCount + b];
    return a == b ? there : there + directedRuns[b * nodeCount + a];
}

bool PathStatistics::LineRed(std::size_t a, std::size_t b) const {
    return PathRules(StructureOf(kind), nodeCount).LineRed(a, b);
}

PathStatistics CountPath(StructureKind kind, std::span<const std::int8_t> walked) {
    PathStatistics statistics;
    statistics.kind = kind;
    statistics.nodeCount = StructureOf(kind).NodeCount();
    const std::size_t nodeCount = statistics.nodeCount;
    const PathRules rules(StructureOf(kind), nodeCount);
    Counts perLane(rules.Keys());
    PathTable(rules).WalkInLanes(walked, perLane.Visit());
    const std::vector<std::uint64_t> counts = perLane.Summed();
    const std::uint64_t* histogram = counts.data() + perLane.HistogramStart();
    const auto byValue = [&](int value) { return histogram[StepByte(value)]; };

    statistics.steps = walked.size();
    statistics.markerSteps = byValue(0);
    const ShapeKeys& keys = rules.Keys();
    statistics.directedRuns.assign(counts.begin(), counts.begin() + keys.Marker(0));
    statistics.markerDots.assign(counts.begin() + keys.Marker(0), counts.begin() + keys.Count());
    statistics.nodeSteps.assign(nodeCount, 0);
    std::uint64_t onNodes = 0;
    for (std::size_t node = 1; node < nodeCount; ++node) {
        statistics.nodeSteps[node] = byValue(static_cast<int>(node));
        onNodes += statistics.nodeSteps[node];
    }
    statistics.noNodeSteps = statistics.steps - statistics.markerSteps - onNodes;
    return statistics;
}
