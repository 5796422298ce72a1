#include "Startup.h"

#include "CommandLine.h"
#include "Desktop.h"
#include "DisplayProblem.h"
#include "FileNameQt.h"
#include "PlatformChoice.h"
#include "PlatformStartWatch.h"
#include "ProcessEnd.h"
#include "ProgramArguments.h"
#include "Viewer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>

void InstallGermanTranslations(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_de"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

// Nothing can be made below the unwritable folder, so the settings are never
// written and no earlier run's file is read back.
void KeepNoSettingsFiles() {
    const QString nowhere = UnwritableFolder();
    // Native settings are the registry on Windows, which no path redirects, and
    // QFileDialog keeps its state in native settings whatever the default
    // format: on Windows the viewer shows the system's dialog without it
    // (DesktopWindows.cpp). Settings of the default format go nowhere.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

int RunViewer(int argc, char* argv[]) {
    const ViewerArguments arguments = ParseViewerArguments(ProgramArguments(argc, argv));
    switch (arguments.action) {
    case ViewerArguments::Action::Help:
        std::cout << ViewerUsage();
        return EXIT_SUCCESS;
    case ViewerArguments::Action::Version:
        std::cout << ViewerVersion();
        return EXIT_SUCCESS;
    case ViewerArguments::Action::Misuse:
        std::cerr << "qornv-viewer: " << arguments.problem << "\n\n" << ViewerUsage();
        return 2;
    case ViewerArguments::Action::Run:
        break;
    }
    ChoosePlatform();
    if (const auto problem = WindowSystemProblem()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return EXIT_FAILURE;
    }
    KeepNoSettingsFiles();
    // Qt sees the program name only: the file is the viewer's one argument.
    int qtArgumentCount = 1;
    std::optional<PlatformStartWatch> watch(std::in_place);
    QApplication application(qtArgumentCount, argv);
    watch.reset();
    QApplication::setApplicationName(QStringLiteral("qornv-viewer"));
    QApplication::setApplicationVersion(QStringLiteral(QORNV_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("de.qornv.viewer"));
    InstallGermanTranslations(application);

    Viewer viewer;
    viewer.Start();
    if (arguments.file) {
        viewer.Post({OpenFileEvent, 0, NameFromFileSystem(*arguments.file)});
    }
    EndProcess(QApplication::exec());
}
