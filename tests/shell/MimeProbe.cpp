// Prints the MIME type the desktop's shared database gives each file name,
// by name alone. Usage: qornv_mime_probe NAME...

#include <QMimeDatabase>

#include <cstdio>

int main(int argc, char* argv[]) {
    const QMimeDatabase database;
    for (int i = 1; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        const QMimeType type = database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
        std::printf("%s %s\n", argv[i], qPrintable(type.name()));
    }
    return 0;
}
