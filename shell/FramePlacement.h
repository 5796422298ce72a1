#pragma once

#include <QMargins>

#include <functional>

class QWindow;

// How an X11 window manager's frame gets centred: a window manager that tells
// its frame before the window is mapped (_NET_REQUEST_FRAME_EXTENTS) gets the
// client area placed inside the centred frame; any other one is asked,
// through the window gravity of the size hints (ICCCM), to put its frame
// around the centre of the client area. Either way the frame is placed as the
// window is mapped and never moved once it is seen.
struct FramePlan {
    QMargins frame;             // the frame the window manager told
    bool centreGravity = false; // the frame is left to the window manager
};

// Asks the window manager for its frame. It waits only until the window
// manager has handled the request, answered or not. No frame and no gravity
// on platforms other than X11.
FramePlan PlanFrame(QWindow& window);

// Maps `window` through `show` with the gravity the plan asks for.
void ShowPlanned(QWindow& window, const FramePlan& plan, const std::function<void()>& show);
