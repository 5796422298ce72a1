#include "Geometry.h"

#include <cmath>
#include <numbers>
#include <span>

namespace {

enum class Ring { Inner, Middle, Outer };

struct RingNode {
    Ring ring;
    double angleDegrees; // clockwise on the screen from the positive x axis
};

// Icosahedron: corners 1, 5, 9 on the outer ring pointing down, 3, 7, 11 on the
// inner ring pointing up, the middle ring 15 degrees either side of those.
constexpr RingNode icosahedronRing[] = {
    {Ring::Outer, 330}, {Ring::Middle, 15},  {Ring::Inner, 30},  {Ring::Middle, 45},
    {Ring::Outer, 90},  {Ring::Middle, 135}, {Ring::Inner, 150}, {Ring::Middle, 165},
    {Ring::Outer, 210}, {Ring::Middle, 255}, {Ring::Inner, 270}, {Ring::Middle, 285},
};

// Octahedron: a regular hexagon alternating outer (corners) and middle ring.
constexpr RingNode octahedronRing[] = {
    {Ring::Outer, 330},  {Ring::Middle, 30}, {Ring::Outer, 90},
    {Ring::Middle, 150}, {Ring::Outer, 210}, {Ring::Middle, 270},
};

std::int32_t RadiusOf(const Layout& layout, Ring ring) {
    switch (ring) {
    case Ring::Inner:
        return layout.innerRadius;
    case Ring::Middle:
        return layout.middleRadius;
    case Ring::Outer:
        return layout.outerRadius;
    }
    return 0;
}

void AppendNode(NodeList& nodeList, std::int32_t x, std::int32_t y) {
    nodeList.Add();
    nodeList.Current() = NodePosition{x, y};
}

} // namespace

void UpdateLayout(Layout& layout, std::int32_t width, std::int32_t height) {
    layout.width = width;
    layout.height = height;
    layout.centreX = width / 2;
    layout.centreY = height / 2;
    layout.innerRadius = 80;
    // Two fields of one value: the middle and the outer ring coincide.
    layout.middleRadius = layout.innerRadius + 70;
    layout.outerRadius = layout.innerRadius + 70;
    layout.nodeRadius = 5;
    layout.markerRadius = 7;
}

void ComputeNodePositions(NodeList& nodeList, const Layout& layout, StructureKind kind) {
    nodeList.Clear();
    std::span<const RingNode> ring;
    if (kind == StructureKind::Icosahedron) {
        ring = icosahedronRing;
    } else if (kind == StructureKind::Octahedron) {
        ring = octahedronRing;
    } else {
        return;
    }
    nodeList.Reserve(ring.size() + 2);
    AppendNode(nodeList, 0, 0);
    for (const RingNode& node : ring) {
        const double radians = node.angleDegrees * std::numbers::pi / 180.0;
        const double radius = RadiusOf(layout, node.ring);
        AppendNode(
            nodeList,
            static_cast<std::int32_t>(std::lround(layout.centreX + radius * std::cos(radians))),
            static_cast<std::int32_t>(std::lround(layout.centreY + radius * std::sin(radians))));
    }
    AppendNode(nodeList, layout.centreX, layout.centreY);
}

void InitLayout(Layout& layout, NodeList& nodeList, std::int32_t width, std::int32_t height) {
    UpdateLayout(layout, width, height);
    ComputeNodePositions(nodeList, layout, StructureKind::Icosahedron);
}
