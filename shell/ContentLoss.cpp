#include "ContentLoss.h"

void ContentLossFilter::OwnWindowClosed(const QRect& area, std::int64_t nowMs) {
    if (nowMs - lastClosedMs > ownExposeHorizonMs) {
        uncoveredByOwn = QRegion();
    }
    uncoveredByOwn += area;
    lastClosedMs = nowMs;
}

bool ContentLossFilter::LosesContent(const QRegion& exposed, std::int64_t nowMs) {
    if (nowMs - lastClosedMs > ownExposeHorizonMs) {
        uncoveredByOwn = QRegion();
    }
    return exposed.isEmpty() || !exposed.subtracted(uncoveredByOwn).isEmpty();
}
