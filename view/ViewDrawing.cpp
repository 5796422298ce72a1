#include "ViewDrawing.h"

#include "PathRendering.h"

void ClearViewArea(const ViewerState& state, DrawingSurface& surface) {
    ClearDrawingArea(surface, 30, 30, state.layout.width - 60, state.layout.height - 70);
}

void BuildStartupSequence(ViewerState& state, DrawingSurface& surface) {
    // The list is emptied before the area is cleared, as the start-up order has it;
    // filling empties it again, which costs nothing.
    state.sequence.stepList.Clear();
    ClearViewArea(state, surface);
    FillStartupSteps(state.sequence);
    DrawIcosahedronPath(state, surface);
}

namespace {

void DrawStructure(const Sequence& sequence, StructureKind kind, int width, int height,
                   DrawingSurface& surface) {
    ViewerState state;
    state.sequence = sequence;
    UpdateLayout(state.layout, width, height);
    ComputeNodePositions(state.nodeList, state.layout, kind);
    if (kind == StructureKind::Octahedron) {
        DrawOctahedronPath(state, surface);
    } else {
        DrawIcosahedronPath(state, surface);
    }
}

} // namespace

QImage RenderStructurePicture(const Sequence& sequence, StructureKind kind, int width, int height,
                              qreal scale) {
    DrawingSurface surface(DesktopFaceColour());
    surface.Resize(width, height, scale);
    DrawStructure(sequence, kind, width, height, surface);
    return surface.Image();
}

bool DrawStructurePicture(const Sequence& sequence, StructureKind kind, int width, int height,
                          QPaintDevice& device) {
    DrawingSurface surface(DesktopFaceColour());
    if (!surface.BeginPicture(device, width, height)) {
        return false;
    }
    DrawStructure(sequence, kind, width, height, surface);
    return surface.EndPicture();
}
