#include "Geometry.h"

#include <cmath>
#include <numbers>

namespace {

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
    const Structure* structure = FindStructure(kind);
    if (structure == nullptr) {
        return;
    }
    nodeList.Reserve(structure->NodeCount());
    AppendNode(nodeList, 0, 0);
    for (const RingNode& node : structure->ring) {
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
    ComputeNodePositions(nodeList, layout, startupStructure);
}
