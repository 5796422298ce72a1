#pragma once

#include "CursorList.h"
#include "Structures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The drawing area's size and the sizes derived from it. `height` counts one
// menu-bar line on top of the drawing area, so the centre sits half a menu-bar
// height below the middle of what is visible. The radii never scale.
struct Layout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    std::int32_t innerRadius = 0;
    std::int32_t middleRadius = 0;
    std::int32_t outerRadius = 0;
    std::int32_t nodeRadius = 0;
    std::int32_t markerRadius = 0;
    friend bool operator==(const Layout&, const Layout&) = default;
};

struct NodePosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const NodePosition&, const NodePosition&) = default;
};

// Entry index = node number; entry 0 is a placeholder at (0, 0), the last
// entry the centre node.
using NodeList = CursorList<NodePosition>;

// Device pixels enough to cover `side` layout pixels at `scale` device pixels
// to one, as on a scaled screen. The tiny allowance keeps a product such as
// 540 x 1.1 from gaining a pixel by rounding error.
inline std::int32_t DeviceSide(std::int32_t side, double scale) {
    return static_cast<std::int32_t>(std::ceil(side * scale - 1e-6));
}

// The width in device pixels of a line one layout pixel wide, at `scale`: the
// diagram's lines and the frame around it (DrawingSurface.cpp says why).
inline std::int32_t DeviceLineWidth(double scale) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(scale)));
}

// Stores the drawing area's width and its height plus one menu-bar line, and
// derives the centre (truncating) and the constant radii.
void UpdateLayout(Layout& layout, std::int32_t width, std::int32_t height);

// Rebuilds nodeList whole for `kind` around the layout's centre; a value that
// names no structure leaves it empty.
void ComputeNodePositions(NodeList& nodeList, const Layout& layout, StructureKind kind);

// UpdateLayout, then the start-up structure's positions.
void InitLayout(Layout& layout, NodeList& nodeList, std::int32_t width, std::int32_t height);
