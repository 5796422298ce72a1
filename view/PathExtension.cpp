#include "PathExtension.h"

#include "NodeRendering.h"
#include "PathWalk.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

// The walk is the one the full drawings take (PathWalk.h). Within the new steps only the last
// occurrence of each distinct shape is drawn, in the order of those last occurrences: the same
// pixels as drawing them all, since every shape is opaque.

namespace {

std::size_t IndexOf(StructureKind kind) {
    return kind == StructureKind::Octahedron ? 1 : 0;
}

// Step values are signed bytes, so no step reaches a node past 127.
std::size_t ReachableNodes(std::size_t nodeListSize) {
    return std::min<std::size_t>(nodeListSize, 128);
}

// The node number of a step that has an entry; 0 for a marker or a step without one.
std::size_t EntryOf(std::int8_t value, std::size_t nodeCount) {
    return value > 0 && static_cast<std::size_t>(value) < nodeCount
               ? static_cast<std::size_t>(value)
               : 0;
}

// Where the path stands after `steps`, read from their end: on the last node
// stepped onto, or, when that is a corner, on the first corner of the run of
// corners it closes (markers and steps without an entry inside the run count
// for nothing). The scan stops at the first ordinary node it meets.
std::size_t StandingNode(std::span<const std::int8_t> steps, const PathRules& rules,
                         std::size_t nodeCount) {
    std::size_t standing = 0;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        const std::size_t node = EntryOf(*it, nodeCount);
        if (node == 0) {
            continue;
        }
        if (!IsCorner(rules, static_cast<int>(node))) {
            return standing != 0 ? standing : node;
        }
        standing = node;
    }
    return standing;
}

// A shape as a small number: lines by (from, to, red), marker dots by their node.
class Shapes {
  public:
    explicit Shapes(std::size_t nodeCount) : nodeCount(nodeCount) {}

    std::size_t Count() const { return 2 * nodeCount * nodeCount + nodeCount; }
    std::size_t Line(std::size_t from, std::size_t to, bool red) const {
        return (from * nodeCount + to) * 2 + (red ? 1 : 0);
    }
    std::size_t Marker(std::size_t node) const { return 2 * nodeCount * nodeCount + node; }

    // Draws the shape and adds the pixels it may cover to `touched`.
    void Draw(DrawingSurface& surface, const NodeList& nodeList, std::size_t key,
              std::int32_t markerRadius, QRegion& touched) const {
        const auto positions = nodeList.Elements();
        const bool marker = key >= 2 * nodeCount * nodeCount;
        const NodePosition from =
            positions[marker ? key - 2 * nodeCount * nodeCount : key / 2 / nodeCount];
        const NodePosition to = marker ? from : positions[key / 2 % nodeCount];
        const std::int32_t reach = marker ? markerRadius : 0;
        touched += Around(from, to, reach);
        if (!surface.BeginDrawing()) {
            return;
        }
        surface.SetDrawingMode(DrawingMode::Filled);
        if (marker) {
            surface.DrawCircle(from.x, from.y, markerRadius, blackColour);
        } else {
            surface.DrawLine(from.x, from.y, to.x, to.y, (key & 1) != 0 ? redColour : blackColour);
        }
        surface.EndDrawing();
    }

    // The box from `a` to `b`, `reach` wider on every side and a pixel more
    // for rounding.
    static QRect Around(NodePosition a, NodePosition b, std::int32_t reach) {
        const std::int32_t margin = reach + 2;
        return QRect(QPoint(std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin),
                     QPoint(std::max(a.x, b.x) + margin, std::max(a.y, b.y) + margin));
    }

  private:
    std::size_t nodeCount;
};

// Walks `steps` from `node`; `seen` (when given) gets 1 + the index of the last
// step that draws each shape. Returns where the path then stands.
std::size_t Walk(std::span<const std::int8_t> steps, const PathRules& rules, std::size_t nodeCount,
                 std::size_t node, std::vector<std::size_t>* seen) {
    const Shapes shapes(nodeCount);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const PathStep step = TakePathStep(rules, nodeCount, node, steps[i]);
        if (seen != nullptr && step.shape != PathShape::None) {
            (*seen)[step.shape == PathShape::Marker ? shapes.Marker(node)
                                                    : shapes.Line(node, step.next, step.red)] =
                i + 1;
        }
        node = step.next;
    }
    return node;
}

} // namespace

QRegion PathExtension::Extend(ViewerState& state, DrawingSurface& surface, StructureKind kind,
                              std::size_t keptSteps) {
    QRegion touched;
    const auto& sequence = state.sequence;
    const std::array<std::span<const std::int8_t>, 2> lists{sequence.stepList.Elements(),
                                                            sequence.classList.Elements()};
    // The structure not shown is walked with its own node count, as its view will be.
    const std::array<std::size_t, 2> nodeCounts{
        kind == StructureKind::Icosahedron ? ReachableNodes(state.nodeList.Size())
                                           : icosahedronNodeCount,
        kind == StructureKind::Octahedron ? ReachableNodes(state.nodeList.Size())
                                          : octahedronNodeCount};
    const std::size_t shown = IndexOf(kind);
    for (std::size_t index = 0; index < points.size(); ++index) {
        const auto list = lists[index];
        const PathRules& rules = index == 0 ? icosahedronPathRules : octahedronPathRules;
        const std::size_t kept = std::min(keptSteps, list.size());
        WalkPoint& point = points[index];
        const bool resumes =
            point.known && point.steps == kept && point.nodeCount == nodeCounts[index];
        std::size_t node =
            resumes ? point.node : StandingNode(list.first(kept), rules, nodeCounts[index]);
        const auto added = list.subspan(kept);
        const bool draws =
            index == shown && !added.empty() && list.size() >= 2 && state.nodeList.Size() > 0;
        if (!draws) {
            node = Walk(added, rules, nodeCounts[index], node, nullptr);
        } else {
            const Shapes shapes(nodeCounts[index]);
            std::vector<std::size_t> seen(shapes.Count(), 0);
            node = Walk(added, rules, nodeCounts[index], node, &seen);
            std::vector<std::pair<std::size_t, std::size_t>> survivors;
            for (std::size_t key = 0; key < seen.size(); ++key) {
                if (seen[key] != 0) {
                    survivors.emplace_back(seen[key], key);
                }
            }
            std::sort(survivors.begin(), survivors.end());
            const std::int32_t markerRadius = state.layout.markerRadius + rules.extraMarkerRadius;
            for (const auto& survivor : survivors) {
                shapes.Draw(surface, state.nodeList, survivor.second, markerRadius, touched);
            }
            DrawNodes(state, surface, kind);
            // The discs are as they were except after "Löschen" on the
            // octahedron, which leaves the icosahedron's smaller ones.
            const std::int32_t discReach = state.layout.nodeRadius + 5;
            for (const NodePosition at : state.nodeList.Elements()) {
                touched += Shapes::Around(at, at, discReach);
            }
        }
        point = {true, list.size(), nodeCounts[index], node};
    }
    return touched;
}

void PathExtension::Forget() {
    points = {};
}
