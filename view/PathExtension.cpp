#include "PathExtension.h"

#include "NodeRendering.h"
#include "PathRendering.h"
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

// The box from `a` to `b`, `reach` wider on every side and a pixel more for
// rounding.
QRect Around(NodePosition a, NodePosition b, std::int32_t reach) {
    const std::int32_t margin = reach + 2;
    return QRect(QPoint(std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin),
                 QPoint(std::max(a.x, b.x) + margin, std::max(a.y, b.y) + margin));
}

// The pixels a shape may cover.
QRect Around(const NodeList& nodeList, const ShapeKeys& keys, std::size_t key,
             std::int32_t markerRadius) {
    const auto positions = nodeList.Elements();
    if (keys.IsMarker(key)) {
        const NodePosition at = positions[keys.MarkerNode(key)];
        return Around(at, at, markerRadius);
    }
    return Around(positions[keys.LineFrom(key)], positions[keys.LineTo(key)], 0);
}

// Walks `steps` from `node`; `seen` (when given) gets 1 + the index of the last
// step that draws each shape. Returns where the path then stands.
std::size_t Walk(std::span<const std::int8_t> steps, const PathRules& rules, std::size_t nodeCount,
                 std::size_t node, std::vector<std::size_t>* seen) {
    const ShapeKeys keys(nodeCount);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const PathStep step = TakePathStep(rules, nodeCount, node, steps[i]);
        if (seen != nullptr && step.shape != PathShape::None) {
            (*seen)[step.shape == PathShape::Marker ? keys.Marker(node)
                                                    : keys.Line(node, step.next, step.red)] = i + 1;
        }
        node = step.next;
    }
    return node;
}

} // namespace

QRect PathExtension::Extend(ViewerState& state, DrawingSurface& surface, StructureKind kind,
                            std::size_t keptSteps) {
    // One box around all that changed: the new lines cross the diagram, so a
    // region of many small boxes would cost more to build than it saves in showing.
    QRect touched;
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
            const ShapeKeys keys(nodeCounts[index]);
            std::vector<std::size_t> seen(keys.Count(), 0);
            node = Walk(added, rules, nodeCounts[index], node, &seen);
            const std::int32_t markerRadius = state.layout.markerRadius + rules.extraMarkerRadius;
            // One painter for the new shapes and the nodes: an update has a hundred or so.
            if (surface.BeginDrawing()) {
                for (const std::size_t key : ShapesInDrawingOrder(seen)) {
                    DrawShape(surface, state.nodeList, keys, key, markerRadius);
                    touched |= Around(state.nodeList, keys, key, markerRadius);
                }
                DrawNodes(state, surface, kind);
                surface.EndDrawing();
            }
            // The discs are as they were except after "Löschen" on the
            // octahedron, which leaves the icosahedron's smaller ones. Entry 0
            // is the placeholder, no disc.
            const std::int32_t discReach = state.layout.nodeRadius + 5;
            for (const NodePosition at : state.nodeList.Elements().subspan(1)) {
                touched |= Around(at, at, discReach);
            }
        }
        point = {true, list.size(), nodeCounts[index], node};
    }
    return touched;
}

void PathExtension::Forget() {
    points = {};
}
