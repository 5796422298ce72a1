#pragma once

#include "DrawingSurface.h"
#include "PathWalk.h"
#include "ViewerState.h"

// Nodes, the path of stepList over the icosahedron, nodes again.
void DrawIcosahedronPath(ViewerState& state, DrawingSurface& surface);
// Nodes, the path of classList over the octahedron, nodes again.
void DrawOctahedronPath(ViewerState& state, DrawingSurface& surface);

// The same pictures drawn the plain way: every line and marker dot of the walk in
// order, repeats included, so the cost grows with the list. The drawings above
// must match them pixel for pixel; kept for tests and for comparison.
void DrawIcosahedronPathInFull(ViewerState& state, DrawingSurface& surface);
void DrawOctahedronPathInFull(ViewerState& state, DrawingSurface& surface);

// One line or marker dot of a walk over `nodeList`, in a drawing unit of its own.
void DrawShape(DrawingSurface& surface, const NodeList& nodeList, const ShapeKeys& keys,
               std::size_t key, std::int32_t markerRadius);
