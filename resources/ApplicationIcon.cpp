#include "ApplicationIcon.h"

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {48, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1/qornv-viewer.png").arg(size), QSize(size, size));
    }
    return icon;
}
