#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>

// Tells the exposes that lost window content from those that did not. Without
// a compositor, the X server sends an expose for every part of the window that
// a closing menu, requester or message box of the viewer's own lay over; Qt
// restores those pixels from its retained picture, so nothing is lost and the
// view must not be drawn again (that would undo "Löschen"). Another program's
// window leaves no such record: its uncovering still counts as a loss.
class ContentLossFilter {
  public:
    // How long after one of the viewer's own windows closed its expose may
    // come; well beyond an X server's round trip, even on a loaded machine.
    static constexpr std::int64_t ownExposeHorizonMs = 1500;

    // `area` is the closed window's frame in the main window's coordinates.
    void OwnWindowClosed(const QRect& area, std::int64_t nowMs);

    // True unless every exposed pixel lies under one of the viewer's own
    // windows that closed within the horizon.
    bool LosesContent(const QRegion& exposed, std::int64_t nowMs);

  private:
    void ForgetPast(std::int64_t nowMs);

    QRegion uncoveredByOwn;
    std::int64_t lastClosedMs = 0;
};
