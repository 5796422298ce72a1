#pragma once

#include <optional>
#include <string>

// The platform plugin the viewer asks Qt for when the user named none: "xcb"
// (XWayland) in GNOME's Wayland session while Qt is older than 6.8. Qt before
// 6.8 draws a plain title bar of its own there, maximise button included, and
// no Wayland window can place itself; through XWayland GNOME draws its own
// title bar and the window is centred. From 6.8 on, Qt draws GNOME's look
// itself and Wayland keeps the picture sharp on scaled screens, so Qt's own
// choice stands. Arguments are the environment values (null if unset) and
// the version of the Qt that runs.
std::optional<std::string> PreferredPlatform(const char* platform, const char* display,
                                             const char* waylandDisplay, const char* currentDesktop,
                                             const char* qtVersion);

// Applies PreferredPlatform to the environment Qt reads, before it starts.
void ChoosePlatform();
