#include "Startup.h"

#include "CommandLine.h"
#include "Viewer.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

struct WindowSystems {
    bool x11 = false;
    bool wayland = false;
};

// "wayland;xcb" tries each in turn; "xcb:option" carries options after the
// name. No platform named means Qt's default, which may be either.
WindowSystems SystemsNamed(std::string_view platforms) {
    if (platforms.empty()) {
        return {true, true};
    }
    WindowSystems named;
    while (!platforms.empty()) {
        const auto end = platforms.find(';');
        const std::string_view entry = platforms.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name == "xcb") {
            named.x11 = true;
        } else if (name.starts_with("wayland")) {
            named.wayland = true;
        } else {
            return {}; // offscreen, vnc and the like need no display
        }
        platforms = end == std::string_view::npos ? std::string_view{} : platforms.substr(end + 1);
    }
    return named;
}

std::string Quoted(const char* variable, const char* value) {
    return std::string(variable) + "=»" + value + "«";
}

// A compositor that accepts but never answers would keep Qt waiting for good;
// it must answer a wl_display.sync within this time.
constexpr int waylandAnswerMs = 2000;

// wl_display is object 1; its request sync (opcode 0) makes the callback
// object 2, whose event done (opcode 0) is the answer. Each message starts
// with the object and the size and opcode, in the machine's byte order.
bool WaylandSyncAnswered(int fd) {
    const std::uint32_t sync[] = {1, (12U << 16) | 0, 2};
    if (::send(fd, sync, sizeof sync, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof sync)) {
        return false;
    }
    std::vector<std::uint8_t> received;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waylandAnswerMs);
    for (;;) {
        // Earlier events (an error, say) come first: step over whole messages.
        while (received.size() >= 8) {
            std::uint32_t header[2];
            std::memcpy(header, received.data(), sizeof header);
            const std::size_t size = header[1] >> 16;
            if (header[0] == 2 && (header[1] & 0xffffU) == 0) {
                return true;
            }
            if (size < 8 || received.size() < size) {
                break;
            }
            received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(size));
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        std::uint8_t buffer[256];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return false;
        }
        received.insert(received.end(), buffer, buffer + got);
    }
}

bool WaylandSocketAnswers(const char* waylandDisplay) {
    std::string path = waylandDisplay;
    if (path.front() != '/') {
        const char* runtimeFolder = std::getenv("XDG_RUNTIME_DIR");
        if (!IsSet(runtimeFolder)) {
            return false;
        }
        path = std::string(runtimeFolder) + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool answered =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        WaylandSyncAnswered(fd);
    ::close(fd);
    return answered;
}

bool X11DisplayAnswers(const char* display) {
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool answered = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answered;
}

std::string DisplaysNamed(const char* display, const char* waylandDisplay) {
    std::string named;
    if (IsSet(display)) {
        named = Quoted("DISPLAY", display);
    }
    if (IsSet(waylandDisplay)) {
        named += (named.empty() ? "" : ", ") + Quoted("WAYLAND_DISPLAY", waylandDisplay);
    }
    return named;
}

std::string UnreachableMessage(const char* display, const char* waylandDisplay) {
    return "qornv-viewer: die grafische Anzeige ist nicht erreichbar oder antwortet nicht (" +
           DisplaysNamed(display, waylandDisplay) +
           "); läuft die Desktop-Sitzung noch, und ist eine Weiterleitung wie ssh -X "
           "noch offen?";
}

std::string StartFailureMessage(const QString& qtReason) {
    const char* display = std::getenv("DISPLAY");
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    if (IsSet(display) || IsSet(waylandDisplay)) {
        return "qornv-viewer: Qt kann die grafische Anzeige nicht nutzen (" +
               DisplaysNamed(display, waylandDisplay) +
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

DisplayProbes RealDisplayProbes() {
    return {X11DisplayAnswers, WaylandSocketAnswers};
}

std::optional<std::string> DisplayProblem(const char* platform, const char* display,
                                          const char* waylandDisplay, const DisplayProbes& probes) {
    const WindowSystems systems = SystemsNamed(IsSet(platform) ? platform : "");
    if (!systems.x11 && !systems.wayland) {
        return std::nullopt;
    }
    const char* x11 = systems.x11 && IsSet(display) ? display : nullptr;
    const char* wayland = systems.wayland && IsSet(waylandDisplay) ? waylandDisplay : nullptr;
    if (x11 == nullptr && wayland == nullptr) {
        const char* unset = !systems.wayland ? "DISPLAY ist nicht gesetzt"
                            : !systems.x11   ? "WAYLAND_DISPLAY ist nicht gesetzt"
                                             : "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
        return std::string("qornv-viewer: keine grafische Anzeige gefunden (") + unset +
               "); das Programm braucht eine Desktop-Sitzung.";
    }
    if ((x11 != nullptr && probes.x11Reachable(x11)) ||
        (wayland != nullptr && probes.waylandReachable(wayland))) {
        return std::nullopt;
    }
    return UnreachableMessage(x11, wayland);
}

void InstallGermanTranslations(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_de"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

// Nothing, not even the superuser, can make a folder below /dev/null, so the
// settings are never written and no earlier run's file is read back.
void KeepNoSettingsFiles() {
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

int RunViewer(int argc, char* argv[]) {
    const ViewerArguments arguments = ParseViewerArguments({argv + 1, argv + argc});
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
    if (const auto problem = DisplayProblem(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                            std::getenv("WAYLAND_DISPLAY"), RealDisplayProbes())) {
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
        viewer.Post({OpenFileEvent, 0, QFile::decodeName(arguments.file->c_str())});
    }
    return QApplication::exec();
}
