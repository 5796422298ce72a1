#include "PathRendering.h"

#include "NodeRendering.h"

#include <array>
#include <cstddef>
#include <vector>

// A path of millions of steps repeats the same few hundred lines and marker dots.
// Every shape is opaque and drawn without antialiasing, so a pixel ends up in the
// colour of the last shape that covers it; drawing only the last occurrence of
// each distinct shape, in the order of those last occurrences, leaves the same
// picture at a cost that no longer grows with the path.

void DrawShape(DrawingSurface& surface, const NodeList& nodeList, const PathRules& rules,
               std::size_t key, std::int32_t markerRadius) {
    if (!surface.BeginDrawing()) {
        return;
    }
    const auto positions = nodeList.Elements();
    const ShapeKeys& keys = rules.Keys();
    surface.SetDrawingMode(DrawingMode::Filled);
    if (keys.IsMarker(key)) {
        const NodePosition at = positions[keys.MarkerNode(key)];
        surface.DrawCircle(at.x, at.y, markerRadius, blackColour);
    } else {
        const NodePosition from = positions[keys.LineFrom(key)];
        const NodePosition to = positions[keys.LineTo(key)];
        surface.DrawLine(from.x, from.y, to.x, to.y, rules.LineRed(key) ? redColour : blackColour);
    }
    surface.EndDrawing();
}

namespace {

// Per lane, 1 + the index of the last step that drew each shape. Each lane has
// a row of its own with one entry more for the steps that draw nothing.
class LastOccurrences {
  public:
    explicit LastOccurrences(const ShapeKeys& keys)
        : stride(keys.Count() + 1), seen(pathLaneCount * stride, 0) {
        for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
            rows[lane] = seen.data() + lane * stride;
        }
    }

    void operator()(std::size_t lane, std::size_t index, std::size_t shape, std::size_t) {
        rows[lane][shape] = index + 1;
    }

    // The lanes cover the steps in order, so the later lane knows better.
    std::vector<std::size_t> Merged() const {
        std::vector<std::size_t> lastSeen(stride - 1, 0);
        for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
            for (std::size_t key = 0; key + 1 < stride; ++key) {
                lastSeen[key] = std::max(lastSeen[key], rows[lane][key]);
            }
        }
        return lastSeen;
    }

  private:
    std::size_t stride;
    std::vector<std::size_t> seen;
    std::array<std::size_t*, pathLaneCount> rows{};
};

void DrawLastOccurrences(ViewerState& state, DrawingSurface& surface, const PathRules& rules,
                         const CursorList<std::int8_t>& walked) {
    const PathTable table(rules);
    LastOccurrences last(rules.Keys());
    // The visitor is copied into the walk; it shares the rows it fills.
    table.WalkInLanes(walked.Elements(),
                      [&last](std::size_t lane, std::size_t index, std::size_t shape,
                              std::size_t byte) { last(lane, index, shape, byte); });
    const std::vector<std::size_t> lastSeen = last.Merged();
    const std::int32_t markerRadius = rules.MarkerRadius(state.layout);
    // One painter for all of them: a path has a few hundred distinct shapes.
    if (!surface.BeginDrawing()) {
        return;
    }
    for (const std::size_t key : ShapesInDrawingOrder(lastSeen)) {
        DrawShape(surface, state.nodeList, rules, key, markerRadius);
    }
    surface.EndDrawing();
}

// Every shape of the walk in order, one drawing unit each.
void DrawEveryShape(ViewerState& state, DrawingSurface& surface, const PathRules& rules,
                    const CursorList<std::int8_t>& walked) {
    const std::int32_t markerRadius = rules.MarkerRadius(state.layout);
    rules.Walk(walked.Elements(), 0, [&](std::size_t, std::size_t shape) {
        DrawShape(surface, state.nodeList, rules, shape, markerRadius);
    });
}

using PathDrawing = void (*)(ViewerState&, DrawingSurface&, const PathRules&,
                             const CursorList<std::int8_t>&);

void DrawView(ViewerState& state, DrawingSurface& surface, StructureKind kind,
              PathDrawing drawPath) {
    DrawNodes(state, surface, kind);
    const Structure& structure = StructureOf(kind);
    const CursorList<std::int8_t>& walked = WalkedList(state.sequence, structure);
    if (state.nodeList.Size() == 0 || walked.Size() < 2) {
        return;
    }
    drawPath(state, surface, PathRules(structure, ReachableNodes(state.nodeList.Size())), walked);
    DrawNodes(state, surface, kind);
}

} // namespace

void DrawStructureView(ViewerState& state, DrawingSurface& surface, StructureKind kind) {
    DrawView(state, surface, kind, DrawLastOccurrences);
}

void DrawStructureViewInFull(ViewerState& state, DrawingSurface& surface, StructureKind kind) {
    DrawView(state, surface, kind, DrawEveryShape);
}
