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
// At `scale` device pixels to a layout pixel, as on a scaled screen: the image
// is that much larger and carries the scale as its devicePixelRatio.
// A null image when there is no memory for it.
QImage RenderStructurePicture(const Sequence& sequence, StructureKind kind, int width, int height,
                              qreal scale = 1);

// The same picture, shape for shape in the same order, drawn onto `device` (an
// SVG picture, a PDF writer) in pixel units. False when the device fails.
bool DrawStructurePicture(const Sequence& sequence, StructureKind kind, int width, int height,
                          QPaintDevice& device);
