#include "ContentLoss.h"

void ContentLossFilter::OwnWindowClosed(const QRect& area, std::int64_t nowMs) {
    ForgetPast(nowMs);
    uncoveredByOwn += area;
    lastClosedMs = nowMs;
}

bool ContentLossFilter::LosesContent(const QRegion& exposed, std::int64_t nowMs) {
    ForgetPast(nowMs);
    return exposed.isEmpty() || !exposed.subtracted(uncoveredByOwn).isEmpty();
}

// Beyond the horizon no expose is still owed to the windows that closed.
void ContentLossFilter::ForgetPast(std::int64_t nowMs) {
    if (nowMs - lastClosedMs > ownExposeHorizonMs) {
        uncoveredByOwn = QRegion();
    }
}
