#include "AppendedStepsDrawing.h"

#include "NodeRendering.h"
#include "PathRendering.h"
#include "PathWalk.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

// The walk is the one the full drawings take (PathWalk.h). Within the new steps only the last
// occurrence of each distinct shape is drawn, in the order of those last occurrences: the same
// pixels as drawing them all, since every shape is opaque.

namespace {

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

// Draws the last occurrence of each shape of `added`, walked from `node`, then
// the nodes. Returns where the path then stands; `touched` grows by what changed.
std::size_t DrawAdded(ViewerState& state, DrawingSurface& surface, StructureKind kind,
                      const PathRules& rules, std::span<const std::int8_t> added, std::size_t node,
                      QRect& touched) {
    const ShapeKeys& keys = rules.Keys();
    std::vector<std::size_t> seen(keys.Count(), 0);
    node = rules.Walk(added, node,
                      [&](std::size_t index, std::size_t shape) { seen[shape] = index + 1; });
    const std::int32_t markerRadius = rules.MarkerRadius(state.layout);
    // One painter for the new shapes and the nodes: an update has a hundred or so.
    if (surface.BeginDrawing()) {
        for (const std::size_t key : ShapesInDrawingOrder(seen)) {
            DrawShape(surface, state.nodeList, rules, key, markerRadius);
            touched |= Around(state.nodeList, keys, key, markerRadius);
        }
        DrawNodes(state, surface, kind);
        surface.EndDrawing();
    }
    // The discs may differ from those before: "Löschen" leaves the first
    // structure's discs whichever is shown. So the box reaches as far as the
    // largest disc of any structure. Entry 0 is the placeholder, no disc.
    std::int32_t discReach = state.layout.nodeRadius;
    for (const Structure& structure : structures) {
        discReach = std::max(discReach, state.layout.nodeRadius + structure.extraNodeRadius);
    }
    for (const NodePosition at : state.nodeList.Elements().subspan(1)) {
        touched |= Around(at, at, discReach);
    }
    return node;
}

} // namespace

QRect AppendedStepsDrawing::Draw(ViewerState& state, DrawingSurface& surface, StructureKind kind,
                                 std::size_t keptSteps) {
    // One box around all that changed: the new lines cross the diagram, so a
    // region of many small boxes would cost more to build than it saves in showing.
    QRect touched;
    for (const Structure& structure : structures) {
        const auto list = WalkedList(state.sequence, structure).Elements();
        const bool shown = structure.kind == kind;
        // The structure not shown is walked with its own node count, as its view will be.
        const PathRules rules(structure, shown ? ReachableNodes(state.nodeList.Size())
                                               : structure.NodeCount());
        const std::size_t kept = std::min(keptSteps, list.size());
        WalkPoint& point = points[static_cast<std::size_t>(structure.kind)];
        const bool resumes =
            point.known && point.steps == kept && point.nodeCount == rules.NodeCount();
        std::size_t node = resumes ? point.node : rules.StandingNodeAfter(list.first(kept));
        const auto added = list.subspan(kept);
        if (shown && !added.empty() && list.size() >= 2 && state.nodeList.Size() > 0) {
            node = DrawAdded(state, surface, kind, rules, added, node, touched);
        } else {
            node = rules.Walk(added, node, [](std::size_t, std::size_t) {});
        }
        point = {true, list.size(), rules.NodeCount(), node};
    }
    return touched;
}

void AppendedStepsDrawing::Forget() {
    points = {};
}
