#include "Desktop.h"

#include <QScreen>

// NUL is a device in every folder: nothing can be made below it.
QString UnwritableFolder() {
    return QStringLiteral("NUL");
}

// The work area: a window centred on the whole screen would sit partly under
// the taskbar.
QRect CentringArea(const QScreen& screen) {
    return screen.availableGeometry();
}

bool WindowSystemKeepsContent() {
    return false;
}
