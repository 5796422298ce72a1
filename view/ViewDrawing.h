#pragma once

#include "DrawingSurface.h"
#include "ViewerState.h"

#include <QImage>

// The area every command clears: 30 pixels in from the left and top, width - 60
// by height - 70 of the layout.
void ClearViewArea(const ViewerState& state, DrawingSurface& surface);

// Empties stepList, clears the view area, builds the demonstration path and
// draws it over the icosahedron.
void BuildStartupSequence(ViewerState& state, DrawingSurface& surface);

// What the viewer's drawing area shows after loading `sequence` with `kind`
// ticked, on a width x height layout: background, node positions, path drawing.
QImage RenderStructurePicture(const Sequence& sequence, StructureKind kind, int width, int height);
