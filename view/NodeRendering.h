#pragma once

#include "DrawingSurface.h"
#include "ViewerState.h"

// Draws every node of state.nodeList as a disc with a black rim, each node a
// drawing unit of its own. Octahedron: palette 2n - 1, radius nodeRadius + 5,
// nodes above 7 skipped; any other kind: palette n, radius nodeRadius.
void DrawNodes(ViewerState& state, DrawingSurface& surface, StructureKind kind);
