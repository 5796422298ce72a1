#pragma once

#include "DrawingSurface.h"
#include "ViewerState.h"

// Nodes, the path of stepList over the icosahedron, nodes again.
void DrawIcosahedronPath(ViewerState& state, DrawingSurface& surface);
// Nodes, the path of classList over the octahedron, nodes again.
void DrawOctahedronPath(ViewerState& state, DrawingSurface& surface);
