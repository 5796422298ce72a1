#include "Startup.h"

#include "CommandLine.h"
#include "Desktop.h"
#include "DisplayProblem.h"
#include "PlatformChoice.h"
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
#include <vector>

namespace {

std::string StartFailureMessage(const QString& qtReason) {
    const std::string displays =
        DisplaysNamed(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (!displays.empty()) {
        return "qornv-viewer: Qt kann die grafische Anzeige nicht nutzen (" + displays +
               "); ist sie erreichbar, und ist Qts Plattform-Plugin für sie installiert?";
    }
    return "qornv-viewer: die grafische Oberfläche konnte nicht gestartet werden: " +
           qtReason.section(u'\n', 0, 0).toStdString();
}

// Qt ends the process with a core dump when no platform plugin can start, and
// tells the user to reinstall. That can still happen after the check above (Qt
// picks a display other than the one that answers); say what is wrong instead.
// Qt's messages from the start are kept and shown once the start succeeded.
// A platform plugin may also end the process itself (Qt's Wayland plugin calls
// exit when its connection breaks): the messages held are then shown with the
// viewer's own, so the process never ends without saying why.
class PlatformStartWatch {
  public:
    PlatformStartWatch() {
        previous = qInstallMessageHandler(&Handle);
        starting = true;
        static const bool registered = std::atexit(&ExitDuringStart) == 0;
        (void)registered;
    }
    ~PlatformStartWatch() {
        starting = false;
        qInstallMessageHandler(previous);
        for (const Held& message : held) {
            const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
            qt_message_output(message.type, context, message.text);
        }
        held.clear();
    }
    PlatformStartWatch(const PlatformStartWatch&) = delete;
    PlatformStartWatch& operator=(const PlatformStartWatch&) = delete;

  private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", StartFailureMessage(text).c_str());
            std::_Exit(EXIT_FAILURE);
        }
        held.push_back({type, context.category != nullptr ? context.category : "", text});
    }

    static void ExitDuringStart() {
        if (!starting) {
            return;
        }
        for (const Held& message : held) {
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
        }
        std::fprintf(stderr, "%s\n",
                     StartFailureMessage(held.empty() ? QString() : held.back().text).c_str());
    }

    struct Held {
        QtMsgType type;
        std::string category;
        QString text;
    };
    static inline bool starting = false;
    static inline QtMessageHandler previous = nullptr;
    static inline std::vector<Held> held;
};

} // namespace

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
    // Native settings are the registry on Windows: the file dialog's go to a file there too.
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
