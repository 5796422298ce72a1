#pragma once

#include "Geometry.h"
#include "Palette.h"
#include "Sequence.h"

// The records the whole viewer shares: the sequence shown, the node positions
// of the structure shown, the layout and the colour selected last. The program
// has one; every test builds its own.
struct ViewerState {
    Sequence sequence;
    NodeList nodeList;
    Layout layout;
    Rgb currentColour;
};
