#pragma once

#include <functional>
#include <optional>
#include <string>

class QApplication;

// Whether a display named by DISPLAY or WAYLAND_DISPLAY answers a connection.
struct DisplayProbes {
    std::function<bool(const char* display)> x11Reachable;
    std::function<bool(const char* waylandDisplay)> waylandReachable;
};

// Connects to the display and leaves again at once.
DisplayProbes RealDisplayProbes();

// Why the window system cannot be reached, before Qt tries and aborts: the
// platform named (none means Qt's default) needs X11 or Wayland, and none of
// the displays it could use is set, or none that is set answers. Arguments are
// the environment values, null if unset.
std::optional<std::string> DisplayProblem(const char* platform, const char* display,
                                          const char* waylandDisplay, const DisplayProbes& probes);

// Qt's own German texts, so the buttons of the standard dialogs match the
// rest of the user interface whatever the desktop's language.
void InstallGermanTranslations(QApplication& application);

// The viewer keeps no settings, but Qt's own file dialog stores its history,
// folders and header state in a settings file of its own. Pointing user
// settings where no file can ever be made keeps them in memory for the run.
void KeepNoSettingsFiles();

// The whole program: arguments, display check, start-up, the loop. Returns the
// exit status.
int RunViewer(int argc, char* argv[]);
