#include "FileNames.h"

#include <algorithm>

namespace {

qsizetype FilePartStart(const QString& name) {
    return std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/')) + 1;
}

} // namespace

QString FilePart(const QString& name) {
    return name.mid(FilePartStart(name));
}

bool HasExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= FilePartStart(name) && dot + 1 < name.size();
}

QString WithDefaultExtension(const QString& name) {
    return HasExtension(name) ? name : name + QStringLiteral(".kzt");
}

QString FirstLocalFile(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}
