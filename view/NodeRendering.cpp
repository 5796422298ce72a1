#include "NodeRendering.h"

namespace {

struct NodeScheme {
    std::int8_t paletteIndex = 0;
    std::int32_t radius = 0;
    bool drawn = false;
};

NodeScheme SchemeFor(const Structure& structure, std::size_t node, const Layout& layout) {
    if (node > structure.discNodes) {
        return {};
    }
    // Numbers past the palette select nothing, so such a node keeps the colour before it.
    const std::size_t index = static_cast<std::size_t>(structure.paletteStride) * (node - 1) + 1;
    return {index <= 127 ? static_cast<std::int8_t>(index) : std::int8_t{-1},
            layout.nodeRadius + structure.extraNodeRadius, true};
}

} // namespace

void DrawNodes(ViewerState& state, DrawingSurface& surface, StructureKind kind) {
    const auto positions = state.nodeList.Elements();
    const Structure& structure = StructureOf(kind);
    for (std::size_t node = 1; node < positions.size(); ++node) {
        if (!surface.BeginDrawing()) {
            continue;
        }
        const NodeScheme scheme = SchemeFor(structure, node, state.layout);
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
