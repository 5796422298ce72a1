#pragma once

#include "Sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <vector>

inline std::vector<int> StepsOf(const Sequence& sequence) {
    return {sequence.stepList.Elements().begin(), sequence.stepList.Elements().end()};
}

// The octahedron node of each icosahedron node, written out here rather than
// taken from the code under test: corners 1, 5, 9 and the centre 13 keep their
// own, each run of three between two corners shares one, 14 to 99 give 0.
inline int ExpectedClassCode(int step) {
    constexpr std::array<int, 14> classOfNode = {0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7};
    return step >= 0 && step < 14 ? classOfNode[static_cast<std::size_t>(step)] : 0;
}

inline void ExpectClassesMatchSteps(const Sequence& sequence) {
    ASSERT_EQ(sequence.classList.Size(), sequence.stepList.Size());
    for (std::size_t k = 0; k < sequence.stepList.Size(); ++k) {
        EXPECT_EQ(sequence.classList.Elements()[k],
                  ExpectedClassCode(sequence.stepList.Elements()[k]))
            << "step " << k << " is node " << int{sequence.stepList.Elements()[k]};
    }
}
