#pragma once

#include <QRect>
#include <QString>

#include <string>

class QScreen;

// What differs between the desktops the viewer runs on: one source file a
// platform (DesktopUnix.cpp for X11 and Wayland, DesktopWindows.cpp).

// A folder below which nothing can ever be made, not even by the superuser.
QString UnwritableFolder();

// A file name as the file calls behind ReadOnlyFile take it (see
// ProgramArguments.h): UTF-8 on Windows, where Qt's 8-bit file names are in
// the ANSI code page, which cannot spell every name; the file system's own
// encoding elsewhere. NameFromFileSystem turns such a name back.
std::string FileSystemName(const QString& name);
QString NameFromFileSystem(const std::string& name);

// The part of the screen the outer frame is centred on: the whole screen under
// X11 and Wayland, the work area beside the taskbar on Windows.
QRect CentringArea(const QScreen& screen);

// Whether the window system keeps the window's content while other windows
// come and go: a Wayland compositor holds every window's last picture, so
// after the first one its exposes only ask for that picture again. An X server
// without compositing, and Windows, erase what a window uncovers.
bool WindowSystemKeepsContent();
