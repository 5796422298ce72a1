#pragma once

#include <QRect>
#include <QString>

#include <optional>

class QScreen;
class QWidget;

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

// The open command's requester as the system shows it, starting in `folder`:
// the name chosen, an empty text when the user cancels, or nothing where the
// viewer asks with Qt's own requester instead (SequenceDialogs.h). Windows has
// its system's dialog whenever Qt runs on the Windows platform. X11 and Wayland
// keep Qt's, which behaves the same under every desktop: the desktops' own
// dialogs (GTK's, KDE's, or either through a portal) keep their settings and
// recent files in the user's home (dconf, kdeglobals), where the viewer writes
// nothing, and which one a session gives depends on its platform theme.
std::optional<QString> AskWithSystemDialog(QWidget* parent, const QString& folder);
