#include "Desktop.h"

#include <QGuiApplication>
#include <QScreen>

QString UnwritableFolder() {
    return QStringLiteral("/dev/null");
}

QRect CentringArea(const QScreen& screen) {
    return screen.geometry();
}

bool WindowSystemKeepsContent() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::optional<QString> AskWithSystemDialog(QWidget* /*parent*/, const QString& /*folder*/) {
    return std::nullopt;
}
