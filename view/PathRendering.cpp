#include "PathRendering.h"

#include "NodeRendering.h"
#include "PathWalk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

// A path of millions of steps repeats the same few hundred lines and marker dots.
// Every shape is opaque and drawn without antialiasing, so a pixel ends up in the
// colour of the last shape that covers it; drawing only the last occurrence of
// each distinct shape, in the order of those last occurrences, leaves the same
// picture at a cost that no longer grows with the path.

void DrawShape(DrawingSurface& surface, const NodeList& nodeList, const ShapeKeys& keys,
               std::size_t key, std::int32_t markerRadius) {
    if (!surface.BeginDrawing()) {
        return;
    }
    const auto positions = nodeList.Elements();
    surface.SetDrawingMode(DrawingMode::Filled);
    if (keys.IsMarker(key)) {
        const NodePosition at = positions[keys.MarkerNode(key)];
        surface.DrawCircle(at.x, at.y, markerRadius, blackColour);
    } else {
        const NodePosition from = positions[keys.LineFrom(key)];
        const NodePosition to = positions[keys.LineTo(key)];
        surface.DrawLine(from.x, from.y, to.x, to.y, keys.LineRed(key) ? redColour : blackColour);
    }
    surface.EndDrawing();
}

namespace {

// The walk as a table: the state is the node the path stands on (0 before it has
// started), and whether that node is a corner follows from the node itself. One
// lookup per step gives the shape drawn, if any, and the next state; steps
// without a node entry leave the state alone and draw nothing.
// The list is walked in lanes side by side (PathLane).
class PathTable {
  public:
    PathTable(const PathRules& rules, std::size_t nodeCount)
        : keys(nodeCount), noShape(keys.Count()), moves(nodeCount * 256),
          settles(SettlingSteps(rules, nodeCount)) {
        for (std::size_t from = 0; from < nodeCount; ++from) {
            for (int value = -128; value < 128; ++value) {
                moves[from * 256 + StepByte(value)] = MoveFor(rules, nodeCount, from, value);
            }
        }
    }

    const ShapeKeys& Keys() const { return keys; }

    // Fills lastSeen (Keys().Count() entries) with 1 + the index of the last step
    // that draws each shape, 0 for shapes never drawn. Returns the node the path
    // ends on, 0 if it never started.
    std::size_t FindLastOccurrences(std::span<const std::int8_t> steps,
                                    std::vector<std::size_t>& lastSeen) const {
        const std::size_t stride = keys.Count() + 1; // one more for the steps that draw nothing
        std::array<PathLane, pathLaneCount> lanes{};
        const std::size_t used = PlanPathLanes(steps, settles, lanes);
        std::vector<std::size_t> seen(pathLaneCount * stride, 0);
        if (used == pathLaneCount) {
            WalkSideBySide(steps, lanes, seen.data(), stride);
        }
        for (std::size_t lane = 0; lane < used; ++lane) {
            WalkLane(steps, lanes[lane], seen.data() + lane * stride);
        }
        lastSeen.assign(keys.Count(), 0);
        for (std::size_t lane = 0; lane < used; ++lane) {
            for (std::size_t key = 0; key < keys.Count(); ++key) {
                lastSeen[key] = std::max(lastSeen[key], seen[lane * stride + key]);
            }
        }
        return lanes[used - 1].offset / 256;
    }

  private:
    PathMove MoveFor(const PathRules& rules, std::size_t nodeCount, std::size_t from,
                     int value) const {
        const PathStep step = TakePathStep(rules, nodeCount, from, value);
        std::size_t shape = noShape;
        if (step.shape == PathShape::Marker) {
            shape = keys.Marker(from);
        } else if (step.shape == PathShape::Line) {
            shape = keys.Line(from, step.next, step.red);
        }
        return {static_cast<std::uint16_t>(shape), static_cast<std::uint16_t>(step.next * 256)};
    }

    // Walks all lanes in step as far as the shortest reaches, leaving the rest of
    // each lane to WalkLane.
    void WalkSideBySide(std::span<const std::int8_t> steps,
                        std::array<PathLane, pathLaneCount>& lanes, std::size_t* seen,
                        std::size_t stride) const {
        std::size_t common = steps.size();
        for (const PathLane& lane : lanes) {
            common = std::min(common, lane.end - lane.begin);
        }
        for (std::size_t j = 0; j < common; ++j) {
            for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
                const std::size_t i = lanes[lane].begin + j;
                const PathMove move = moves[lanes[lane].offset + StepByte(steps[i])];
                seen[lane * stride + move.shape] = i + 1;
                lanes[lane].offset = move.next;
            }
        }
        for (PathLane& lane : lanes) {
            lane.begin += common;
        }
    }

    void WalkLane(std::span<const std::int8_t> steps, PathLane& lane, std::size_t* seen) const {
        std::size_t offset = lane.offset;
        for (std::size_t i = lane.begin; i < lane.end; ++i) {
            const PathMove move = moves[offset + StepByte(steps[i])];
            seen[move.shape] = i + 1;
            offset = move.next;
        }
        lane.offset = offset;
    }

    ShapeKeys keys;
    std::size_t noShape;
    std::vector<PathMove> moves;
    std::array<bool, 256> settles;
};

// Leaves the cursors where a walk with Reset and Next would: on the list's last
// element and on the node the path stands on.
void PlaceCursors(CursorList<std::int8_t>& walked, NodeList& nodeList, std::size_t finalNode) {
    walked.Select(static_cast<std::ptrdiff_t>(walked.Size()) - 1);
    if (finalNode != 0) {
        nodeList.Select(static_cast<std::ptrdiff_t>(finalNode));
    }
}

void DrawLastOccurrences(ViewerState& state, DrawingSurface& surface, const PathRules& rules,
                         CursorList<std::int8_t>& walked) {
    const PathTable table(rules, ReachableNodes(state.nodeList.Size()));
    std::vector<std::size_t> lastSeen;
    const std::size_t finalNode = table.FindLastOccurrences(walked.Elements(), lastSeen);
    const std::int32_t markerRadius = state.layout.markerRadius + rules.extraMarkerRadius;
    // One painter for all of them: a path has a few hundred distinct shapes.
    if (!surface.BeginDrawing()) {
        return;
    }
    for (const std::size_t key : ShapesInDrawingOrder(lastSeen)) {
        DrawShape(surface, state.nodeList, table.Keys(), key, markerRadius);
    }
    surface.EndDrawing();
    PlaceCursors(walked, state.nodeList, finalNode);
}

// The walk step by step with the list cursors, one drawing unit per shape.
class FullWalk {
  public:
    FullWalk(ViewerState& state, DrawingSurface& surface, const PathRules& rules)
        : state(state), surface(surface), rules(rules) {}

    void Run(CursorList<std::int8_t>& walked) {
        walked.Reset();
        while (walked.Next()) {
            Visit(walked.Current());
        }
    }

  private:
    bool HasEntry(std::int8_t node) const {
        return node > 0 && static_cast<std::size_t>(node) < state.nodeList.Size();
    }

    NodePosition SelectNode(std::int8_t node) {
        state.nodeList.Select(node);
        return state.nodeList.Current();
    }

    // A step whose node has no entry is skipped entirely: the path goes on from
    // the node before it, as if the step were not there.
    void Visit(std::int8_t value) {
        if (value == 0) {
            if (started) {
                DrawMarker();
            }
            return;
        }
        if (!HasEntry(value)) {
            return;
        }
        const bool corner = IsCorner(rules, value);
        if (!started) {
            onCorner = corner;
            from = SelectNode(value);
            started = true;
            return;
        }
        bool red = onCorner;
        if (corner) {
            if (onCorner) {
                return; // a run of corners stays on its first corner
            }
            red = true;
            onCorner = true;
        } else {
            onCorner = false;
        }
        const NodePosition to = SelectNode(value);
        DrawLine(from, to, red);
        from = to;
    }

    void DrawMarker() {
        if (!surface.BeginDrawing()) {
            return;
        }
        surface.SetDrawingMode(DrawingMode::Filled);
        surface.DrawCircle(from.x, from.y, state.layout.markerRadius + rules.extraMarkerRadius,
                           blackColour);
        surface.EndDrawing();
    }

    void DrawLine(NodePosition start, NodePosition end, bool red) {
        if (!surface.BeginDrawing()) {
            return;
        }
        surface.SetDrawingMode(DrawingMode::Filled);
        surface.DrawLine(start.x, start.y, end.x, end.y, red ? redColour : blackColour);
        surface.EndDrawing();
    }

    ViewerState& state;
    DrawingSurface& surface;
    const PathRules& rules;
    bool started = false;
    bool onCorner = false;
    NodePosition from;
};

bool HasPath(const ViewerState& state, const CursorList<std::int8_t>& walked) {
    return state.nodeList.Size() > 0 && walked.Size() >= 2;
}

template <typename DrawPath>
void DrawView(ViewerState& state, DrawingSurface& surface, const PathRules& rules,
              CursorList<std::int8_t>& walked, DrawPath&& drawPath) {
    DrawNodes(state, surface, rules.kind);
    if (!HasPath(state, walked)) {
        return;
    }
    drawPath();
    DrawNodes(state, surface, rules.kind);
}

} // namespace

void DrawIcosahedronPath(ViewerState& state, DrawingSurface& surface) {
    auto& steps = state.sequence.stepList;
    DrawView(state, surface, icosahedronPathRules, steps,
             [&] { DrawLastOccurrences(state, surface, icosahedronPathRules, steps); });
}

void DrawOctahedronPath(ViewerState& state, DrawingSurface& surface) {
    auto& classes = state.sequence.classList;
    DrawView(state, surface, octahedronPathRules, classes,
             [&] { DrawLastOccurrences(state, surface, octahedronPathRules, classes); });
}

void DrawIcosahedronPathInFull(ViewerState& state, DrawingSurface& surface) {
    auto& steps = state.sequence.stepList;
    DrawView(state, surface, icosahedronPathRules, steps,
             [&] { FullWalk(state, surface, icosahedronPathRules).Run(steps); });
}

void DrawOctahedronPathInFull(ViewerState& state, DrawingSurface& surface) {
    auto& classes = state.sequence.classList;
    DrawView(state, surface, octahedronPathRules, classes,
             [&] { FullWalk(state, surface, octahedronPathRules).Run(classes); });
}
