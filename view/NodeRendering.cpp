#include "NodeRendering.h"

namespace {

struct NodeScheme {
    std::int8_t paletteIndex = 0;
    std::int32_t radius = 0;
    bool drawn = false;
};

NodeScheme SchemeFor(StructureKind kind, std::size_t node, const Layout& layout) {
    if (kind == StructureKind::Octahedron) {
        if (node > 7) {
            return {};
        }
        return {static_cast<std::int8_t>(2 * node - 1), layout.nodeRadius + 5, true};
    }
    // Numbers past the palette select nothing, so such a node keeps the colour before it.
    const auto index = node <= 127 ? static_cast<std::int8_t>(node) : std::int8_t{-1};
    return {index, layout.nodeRadius, true};
}

} // namespace

void DrawNodes(ViewerState& state, DrawingSurface& surface, StructureKind kind) {
    const auto positions = state.nodeList.Elements();
    for (std::size_t node = 1; node < positions.size(); ++node) {
        if (!surface.BeginDrawing()) {
            continue;
        }
        const NodeScheme scheme = SchemeFor(kind, node, state.layout);
        if (scheme.drawn) {
            const NodePosition at = positions[node];
            SelectColour(state.currentColour, scheme.paletteIndex);
            surface.SetDrawingMode(DrawingMode::Filled);
            surface.DrawCircle(at.x, at.y, scheme.radius, PackRgb(state.currentColour));
            surface.SetDrawingMode(DrawingMode::OutlineOnly);
            surface.DrawCircle(at.x, at.y, scheme.radius, blackColour);
        }
        surface.EndDrawing();
    }
}
