#pragma once

#include <functional>
#include <optional>
#include <string>

// Whether a display named by DISPLAY or WAYLAND_DISPLAY answers a connection.
struct DisplayProbes {
    std::function<bool(const char* display)> x11Reachable;
    std::function<bool(const char* waylandDisplay)> waylandReachable;
};

// Why the window system cannot be reached, before Qt tries and aborts: the
// platform named (none means Qt's default) needs X11 or Wayland, and none of
// the displays it could use is set, or none that is set answers. Arguments are
// the environment values, null if unset.
std::optional<std::string> DisplayProblem(const char* platform, const char* display,
                                          const char* waylandDisplay, const DisplayProbes& probes);

// "DISPLAY=»:0«, WAYLAND_DISPLAY=»wayland-0«" for those set; empty for none.
std::string DisplaysNamed(const char* display, const char* waylandDisplay);

// What to tell the user when Qt fails to start its platform plugin after the
// check above passed: the displays named, or else the first line of Qt's reason.
std::string StartFailureMessage(const char* display, const char* waylandDisplay,
                                const std::string& qtReason);

// DisplayProblem with real connections to the displays the environment names,
// checked before Qt tries: one source file a platform (DisplayProbeUnix.cpp for
// X11 and Wayland, DisplayProbeWindows.cpp).
std::optional<std::string> WindowSystemProblem();
