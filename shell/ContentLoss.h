#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>
#include <vector>

// Tells the exposes that lost window content from those that did not. Without
// a compositor, the X server sends an expose for every part of the window that
// a closing menu, requester or message box of the viewer's own lay over; Qt
// restores those pixels from its retained picture, so nothing is lost and the
// view must not be drawn again (that would undo "Löschen"). Each such window
// accounts for the one expose its closing causes; any other expose, also a
// later one of the same place (another program's window that came and went),
// counts as a loss.
class ContentLossFilter {
  public:
    // How long after one of the viewer's own windows closed its expose may
    // still come; well beyond an X server's round trip, even on a loaded
    // machine. Only a safety net: the expose itself settles the account.
    static constexpr std::int64_t ownExposeHorizonMs = 1500;

    // `area` is the closed window's frame in the main window's logical
    // coordinates; `devicePixelRatio` is the main window's.
    void OwnWindowClosed(const QRect& area, double devicePixelRatio, std::int64_t nowMs);

    // True unless every exposed pixel lies under the viewer's own windows that
    // closed within the horizon and whose expose has not come yet. Those the
    // expose touches are settled by it.
    bool LosesContent(const QRegion& exposed, std::int64_t nowMs);

    // How far, in logical pixels, an expose of a closed window's area may reach
    // past that area only by rounding. The window system counts device pixels:
    // the two windows' positions are each rounded to a device pixel, and Qt
    // rounds the expose outward to whole logical pixels. At a ratio of 1
    // nothing is rounded.
    static int RoundingSlack(double devicePixelRatio);

  private:
    struct Uncovered {
        QRect area;
        std::int64_t closedMs;
    };
    std::vector<Uncovered> owed;
};
