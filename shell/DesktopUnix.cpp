#include "Desktop.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

QString UnwritableFolder() {
    return QStringLiteral("/dev/null");
}

std::string FileSystemName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString NameFromFileSystem(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

QRect CentringArea(const QScreen& screen) {
    return screen.geometry();
}

bool WindowSystemKeepsContent() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
