#pragma once

#include <QRect>
#include <QString>

class QScreen;

// What differs between the desktops the viewer runs on: one source file a
// platform (DesktopUnix.cpp for X11 and Wayland, DesktopWindows.cpp).

// A folder below which nothing can ever be made, not even by the superuser.
QString UnwritableFolder();

// The part of the screen the outer frame is centred on: the whole screen under
// X11 and Wayland, the work area beside the taskbar on Windows.
QRect CentringArea(const QScreen& screen);

// Whether the window system keeps the window's content while other windows
// come and go: a Wayland compositor holds every window's last picture, so
// after the first one its exposes only ask for that picture again. An X server
// without compositing, and Windows, erase what a window uncovers.
bool WindowSystemKeepsContent();
