// Gives a headless wlroots compositor (sway) a pointer: a virtual pointer
// device made through zwlr_virtual_pointer_manager_v1, kept until standard
// input closes. With no input device at all the seat offers no pointer to its
// clients, and the seat's cursor commands reach nobody. It speaks the Wayland
// wire protocol itself, so it needs no Wayland development files. It runs
// until it is ended or the compositor goes.
// Usage: qornv_wayland_pointer (WAYLAND_DISPLAY names the compositor's socket)

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

constexpr std::uint32_t displayObject = 1, registryObject = 2, syncCallback = 3, managerObject = 4,
                        pointerObject = 5;
const std::string managerInterface = "zwlr_virtual_pointer_manager_v1";

int Connect() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = name != nullptr ? name : "wayland-0";
    if (path.front() != '/') {
        path = std::string(runtime != nullptr ? runtime : "") + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A string argument: its length with the terminating zero, then the bytes
// padded to whole words.
void AppendString(Words& words, const std::string& text) {
    words.push_back(static_cast<std::uint32_t>(text.size() + 1));
    std::vector<char> bytes(text.begin(), text.end());
    bytes.resize((text.size() + 1 + 3) / 4 * 4, '\0');
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        std::uint32_t word;
        std::memcpy(&word, bytes.data() + at, 4);
        words.push_back(word);
    }
}

bool Send(int fd, std::uint32_t object, std::uint32_t opcode, const Words& arguments) {
    Words message{object, static_cast<std::uint32_t>((8 + 4 * arguments.size()) << 16) | opcode};
    message.insert(message.end(), arguments.begin(), arguments.end());
    const auto size = static_cast<ssize_t>(message.size() * 4);
    return ::send(fd, message.data(), static_cast<std::size_t>(size), MSG_NOSIGNAL) == size;
}

// Reads events until the sync callback is done; returns the registry's name
// of the manager's global, or 0 when the compositor has none.
std::uint32_t ManagerGlobal(int fd) {
    std::vector<std::uint8_t> received;
    std::uint32_t manager = 0;
    for (;;) {
        while (received.size() >= 8) {
            std::uint32_t header[2];
            std::memcpy(header, received.data(), sizeof header);
            const std::size_t size = header[1] >> 16;
            if (size < 8 || received.size() < size) {
                break;
            }
            Words body((size - 8) / 4);
            std::memcpy(body.data(), received.data() + 8, size - 8);
            received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(size));
            if (header[0] == syncCallback) {
                return manager;
            }
            // wl_registry.global: name, interface, version.
            if (header[0] == registryObject && (header[1] & 0xffffU) == 0 && body.size() >= 2) {
                const char* interface = reinterpret_cast<const char*>(&body[2]);
                if (body[1] == managerInterface.size() + 1 && managerInterface == interface) {
                    manager = body[0];
                }
            }
        }
        std::uint8_t buffer[4096];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return 0;
        }
        received.insert(received.end(), buffer, buffer + got);
    }
}

// Keeps the connection, and so the device, while the compositor runs;
// whatever it sends meanwhile is read and dropped.
void HoldWhileConnected(int fd) {
    char buffer[4096];
    while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
}

} // namespace

int main() {
    const int fd = Connect();
    if (fd < 0) {
        std::fprintf(stderr, "qornv_wayland_pointer: cannot reach the compositor\n");
        return EXIT_FAILURE;
    }
    // wl_display.get_registry, then wl_display.sync to learn when all globals came.
    if (!Send(fd, displayObject, 1, {registryObject}) ||
        !Send(fd, displayObject, 0, {syncCallback})) {
        return EXIT_FAILURE;
    }
    const std::uint32_t manager = ManagerGlobal(fd);
    if (manager == 0) {
        std::fprintf(stderr, "qornv_wayland_pointer: the compositor offers no %s\n",
                     managerInterface.c_str());
        return EXIT_FAILURE;
    }
    // wl_registry.bind (name, interface, version, id), then
    // create_virtual_pointer (no seat: the default one, id).
    Words bind{manager};
    AppendString(bind, managerInterface);
    bind.push_back(1);
    bind.push_back(managerObject);
    if (!Send(fd, registryObject, 0, bind) || !Send(fd, managerObject, 0, {0, pointerObject})) {
        return EXIT_FAILURE;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    HoldWhileConnected(fd);
    ::close(fd);
    return EXIT_SUCCESS;
}
