#pragma once

#include "DrawingSurface.h"
#include "Structures.h"
#include "ViewerState.h"

#include <QRect>

#include <array>
#include <cstddef>

// Draws the steps appended to a path over the picture of the path before them:
// only the shapes of the new steps, from the node where the path stood, then
// the nodes again. Every shape is opaque and drawn without antialiasing, so a
// pixel ends up in the colour of the last shape covering it; the nodes cover
// the same pixels in the same colours each time they are drawn. The picture is
// thus pixel for pixel the full drawing of the whole path.
//
// Remembers, per structure, the node the walk stands on after the steps it has
// seen, so that an update costs in proportion to its new steps.
class AppendedStepsDrawing {
  public:
    // Draws steps [keptSteps, size) of the list that `kind` walks, over a
    // picture that shows the view of the steps before them. Draws nothing while
    // the list is too short for a path or NodeList is empty. Returns the part of
    // the picture that may have changed: the new shapes and the node discs.
    QRect Draw(ViewerState& state, DrawingSurface& surface, StructureKind kind,
               std::size_t keptSteps);

    // The sequence was replaced: what was remembered belongs to another path.
    void Forget();

  private:
    struct WalkPoint {
        bool known = false;
        std::size_t steps = 0;     // steps walked
        std::size_t nodeCount = 0; // NodeList entries the walk knew
        std::size_t node = 0;      // where the path stands; 0 before it starts
    };

    std::array<WalkPoint, structures.size()> points;
};
