#include "PlatformChoice.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdlib>
#include <sstream>
#include <string_view>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// XDG_CURRENT_DESKTOP is a ":"-separated list, "ubuntu:GNOME" on Ubuntu.
bool IsGnome(const char* currentDesktop) {
    std::istringstream names(IsSet(currentDesktop) ? currentDesktop : "");
    std::string name;
    while (std::getline(names, name, ':')) {
        if (name == "GNOME") {
            return true;
        }
    }
    return false;
}

bool OlderThan68(const char* qtVersion) {
    int major = 0, minor = 0;
    std::istringstream version(qtVersion != nullptr ? qtVersion : "");
    char dot = 0;
    version >> major >> dot >> minor;
    return major < 6 || (major == 6 && minor < 8);
}

} // namespace

std::optional<std::string> PreferredPlatform(const char* platform, const char* display,
                                             const char* waylandDisplay, const char* currentDesktop,
                                             const char* qtVersion) {
    if (IsSet(platform) || !IsSet(display) || !IsSet(waylandDisplay) || !IsGnome(currentDesktop) ||
        !OlderThan68(qtVersion)) {
        return std::nullopt;
    }
    return "xcb";
}

void ChoosePlatform() {
    const auto platform = PreferredPlatform(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                            std::getenv("WAYLAND_DISPLAY"),
                                            std::getenv("XDG_CURRENT_DESKTOP"), qVersion());
    if (platform) {
        qputenv("QT_QPA_PLATFORM", QByteArray(platform->c_str()));
    }
}
