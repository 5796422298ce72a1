#include "ContentLoss.h"

#include <algorithm>
#include <cmath>

void ContentLossFilter::OwnWindowClosed(const QRect& area, double devicePixelRatio,
                                        std::int64_t nowMs) {
    const int slack = RoundingSlack(devicePixelRatio);
    owed.push_back({area.adjusted(-slack, -slack, slack, slack), nowMs});
}

bool ContentLossFilter::LosesContent(const QRegion& exposed, std::int64_t nowMs) {
    // Beyond the horizon no expose is still owed to a window that closed.
    std::erase_if(owed, [nowMs](const Uncovered& window) {
        return nowMs - window.closedMs > ownExposeHorizonMs;
    });
    QRegion uncovered;
    std::erase_if(owed, [&](const Uncovered& window) {
        const bool settled = exposed.intersects(window.area);
        if (settled) {
            uncovered += window.area;
        }
        return settled;
    });
    return exposed.isEmpty() || !exposed.subtracted(uncovered).isEmpty();
}

// Each of the two positions is off by at most half a device pixel, which is
// 0.5 / ratio logical pixels, besides the expose's own outward rounding.
int ContentLossFilter::RoundingSlack(double devicePixelRatio) {
    if (devicePixelRatio == 1.0 || !(devicePixelRatio > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::ceil(0.5 / devicePixelRatio + 0.5));
}
