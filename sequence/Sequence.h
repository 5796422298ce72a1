#pragma once

#include "CursorList.h"

#include <array>
#include <cstddef>
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

// The octahedron node each icosahedron node folds onto, by node number: the
// corners 1, 5, 9 and the centre 13 keep nodes of their own (1, 3, 5, 7); each
// run of three nodes between two corners shares the node between those
// corners. The marker step 0 folds onto 0. The one table of class codes: the
// loader's vector code is built from it.
inline constexpr std::array<std::int8_t, 14> classCodeOfNode{0, 1, 2, 2, 2, 3, 4,
                                                             4, 4, 5, 6, 6, 6, 7};

// The class code of any step: that of its node, 0 for a step beyond the nodes.
constexpr std::int8_t ClassCode(int step) {
    return step >= 0 && static_cast<std::size_t>(step) < classCodeOfNode.size()
               ? classCodeOfNode[static_cast<std::size_t>(step)]
               : std::int8_t{0};
}

// Appends `step` to stepList and its class code to classList.
void AppendStep(Sequence& sequence, std::int8_t step);

// Empties stepList and fills it with the demonstration path through all 169
// ordered pairs (i, j) of nodes 1 to 13: 1,1, 1,2, ... 13,13. ClassList is kept.
void FillStartupSteps(Sequence& sequence);

inline constexpr std::size_t startupStepCount = 338;
