#pragma once

#include "Sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <string>
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

// Good data lines of varied length and line end, at least `minimumBytes` of
// them; their steps are appended to `steps`.
inline std::string GoodLines(std::size_t minimumBytes, std::vector<int>& steps) {
    std::string bytes;
    for (int i = 0; bytes.size() < minimumBytes; ++i) {
        bytes += "2026-12-08;12:00:" + std::to_string(i % 60) + ";PH;0001;" +
                 std::string(static_cast<std::size_t>(i % 70), 'x') + ";" +
                 std::to_string(i % 100) + ";0.5" + (i % 3 == 0 ? "\r\n" : "\n");
        steps.push_back(i % 100);
    }
    return bytes;
}
