#pragma once

// Qt ends the process with a core dump when no platform plugin can start, and
// tells the user to reinstall. That can still happen after the display check
// (Qt picks a display other than the one that answers); say what is wrong instead.
// Qt's messages from the start are kept and shown once the start succeeded.
// A platform plugin may also end the process itself (Qt's Wayland plugin calls
// exit when its connection breaks): the messages held are then shown with the
// viewer's own, so the process never ends without saying why.
// Lives while the QApplication is made; one at a time.
class PlatformStartWatch {
  public:
    PlatformStartWatch();
    ~PlatformStartWatch();
    PlatformStartWatch(const PlatformStartWatch&) = delete;
    PlatformStartWatch& operator=(const PlatformStartWatch&) = delete;
};
