#include "Desktop.h"

#include "DisplayProblem.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
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

} // namespace

std::optional<std::string> WindowSystemProblem() {
    return DisplayProblem(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                          std::getenv("WAYLAND_DISPLAY"),
                          {X11DisplayAnswers, WaylandSocketAnswers});
}

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
