#pragma once

#include <QMargins>

class QWindow;

// The frame the window manager will put around `window`, asked for before the
// window is mapped, so that the outer frame can be placed from the start
// instead of moved once it is seen. Zero on platforms other than X11, without
// a window manager, or when the window manager does not answer in time.
QMargins RequestFrameExtents(QWindow& window);
