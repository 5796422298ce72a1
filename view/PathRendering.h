#pragma once

#include "DrawingSurface.h"
#include "PathWalk.h"
#include "ViewerState.h"

// The view of `kind`: nodes, the path of the list the structure walks, nodes
// again. The nodes only while NodeList is empty or the list holds fewer than
// two steps.
void DrawStructureView(ViewerState& state, DrawingSurface& surface, StructureKind kind);

// The same picture drawn the plain way: every line and marker dot of the walk in
// order, repeats included, so the cost grows with the list. The drawing above
// must match it pixel for pixel. Kept in the library as the reference that the
// property test and the drawing benchmark measure the drawing above against.
void DrawStructureViewInFull(ViewerState& state, DrawingSurface& surface, StructureKind kind);

// One line or marker dot of a walk over `nodeList`, in a drawing unit of its own.
void DrawShape(DrawingSurface& surface, const NodeList& nodeList, const PathRules& rules,
               std::size_t key, std::int32_t markerRadius);
