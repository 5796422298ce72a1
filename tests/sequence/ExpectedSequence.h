#pragma once

#include "Sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
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

inline Sequence SequenceHolding(std::initializer_list<std::int8_t> steps) {
    Sequence sequence;
    for (const std::int8_t step : steps) {
        AppendStep(sequence, step);
    }
    return sequence;
}

// A sequence the loader must leave as it was when it opens nothing.
inline Sequence PreviousSequence() {
    return SequenceHolding({3, 0, 11});
}

inline bool ClassesMatchSteps(const Sequence& sequence) {
    const auto steps = sequence.stepList.Elements();
    const auto classes = sequence.classList.Elements();
    if (steps.size() != classes.size()) {
        return false;
    }
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (classes[k] != ClassCode(steps[k])) {
            return false;
        }
    }
    return true;
}
