#include "Sequence.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> ValuesOf(const CursorList<std::int8_t>& list) {
    return {list.Elements().begin(), list.Elements().end()};
}

TEST(Sequence, AppendStepFoldsEveryNodeOntoTheOctahedron) {
    const int steps[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 50, 99};
    const int classes[] = {0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7, 0, 0, 0};
    Sequence sequence;
    for (const int step : steps) {
        AppendStep(sequence, static_cast<std::int8_t>(step));
    }
    EXPECT_EQ(ValuesOf(sequence.classList),
              std::vector<int>(std::begin(classes), std::end(classes)));
}

TEST(Sequence, StartupStepsVisitEveryOrderedPair) {
    Sequence sequence;
    sequence.stepList.Add();
    sequence.classList.Add();
    sequence.classList.Current() = 4;
    FillStartupSteps(sequence);
    const std::vector<int> steps = ValuesOf(sequence.stepList);
    ASSERT_EQ(steps.size(), 338u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 4), (std::vector<int>{1, 1, 1, 2}));
    EXPECT_EQ(std::vector<int>(steps.end() - 4, steps.end()), (std::vector<int>{13, 12, 13, 13}));
    for (int i = 1; i <= 13; ++i) {
        for (int j = 1; j <= 13; ++j) {
            const std::size_t k = static_cast<std::size_t>(((i - 1) * 13 + (j - 1)) * 2);
            EXPECT_EQ(steps[k], i);
            EXPECT_EQ(steps[k + 1], j);
        }
    }
    EXPECT_EQ(ValuesOf(sequence.classList), std::vector<int>{4}) << "class codes are kept";
}

} // namespace
