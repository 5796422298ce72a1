#include "Sequence.h"

#include <span>

void AppendStep(Sequence& sequence, std::int8_t step) {
    const std::int8_t classCode = ClassCode(step);
    sequence.stepList.AppendRange(std::span(&step, 1));
    sequence.classList.AppendRange(std::span(&classCode, 1));
}

void FillStartupSteps(Sequence& sequence) {
    StepList& steps = sequence.stepList;
    steps.Clear();
    steps.Reserve(startupStepCount);
    for (std::int8_t i = 1; i <= 13; ++i) {
        for (std::int8_t j = 1; j <= 13; ++j) {
            steps.Add();
            steps.Current() = i;
            steps.Add();
            steps.Current() = j;
        }
    }
}
