#pragma once

#include "DrawingSurface.h"
#include "ViewerState.h"

// Draws every node of state.nodeList as a disc with a black rim, each node a
// drawing unit of its own, in the colours and sizes of `kind`'s entry in
// `structures` (the first entry's for a value that names no structure).
void DrawNodes(ViewerState& state, DrawingSurface& surface, StructureKind kind);
