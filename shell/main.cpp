#include "Startup.h"
#include "Viewer.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int, char* argv[]) {
    if (const auto problem = DisplayProblem(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                            std::getenv("WAYLAND_DISPLAY"))) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return EXIT_FAILURE;
    }
    // The viewer reads no command line: Qt sees the program name only.
    int argumentCount = 1;
    QApplication application(argumentCount, argv);
    QApplication::setApplicationName(QStringLiteral("qornv-viewer"));
    QApplication::setDesktopFileName(QStringLiteral("de.qornv.viewer"));
    InstallGermanTranslations(application);

    Viewer viewer;
    viewer.Start();
    return QApplication::exec();
}
