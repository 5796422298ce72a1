#include "FramePlacement.h"

// Windows places the frame where the window's outer geometry says; Qt knows
// the frame of a created window from its style, so nothing is asked or held.
FramePlan PlanFrame(QWindow&) {
    return {};
}

void ShowPlanned(QWindow&, const FramePlan&, const std::function<void()>& show) {
    show();
}
