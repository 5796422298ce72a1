#pragma once

#include "CursorList.h"

#include <cstdint>

using StepList = CursorList<std::int8_t>;
using ClassList = CursorList<std::int8_t>;

// The photon sequence shown. StepList holds icosahedron node numbers (0 is a
// marker step); ClassList, after a file load, the octahedron node that stands
// for each step. The start-up sequence leaves ClassList empty.
struct Sequence {
    StepList stepList;
    ClassList classList;

    void Swap(Sequence& other) noexcept {
        stepList.Swap(other.stepList);
        classList.Swap(other.classList);
    }
    friend bool operator==(const Sequence&, const Sequence&) = default;
};

// The octahedron node an icosahedron node folds onto: the corners 1, 5, 9 and
// the centre 13 keep nodes of their own (1, 3, 5, 7); each run of three nodes
// between two corners shares the node between those corners. Anything else is 0.
constexpr std::int8_t ClassCode(int step) {
    switch (step) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
        return 2;
    case 5:
        return 3;
    case 6:
    case 7:
    case 8:
        return 4;
    case 9:
        return 5;
    case 10:
    case 11:
    case 12:
        return 6;
    case 13:
        return 7;
    default:
        return 0;
    }
}

// Precondition: the cursor of stepList is on the step just appended.
void AppendClass(Sequence& sequence);

// Empties stepList and fills it with the demonstration path through all 169
// ordered pairs (i, j) of nodes 1 to 13: 1,1, 1,2, ... 13,13. ClassList is kept.
void FillStartupSteps(Sequence& sequence);

inline constexpr std::size_t startupStepCount = 338;
