#include "DisplayProblem.h"

#include <string_view>

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

std::string UnreachableMessage(const char* display, const char* waylandDisplay) {
    return "qornv-viewer: die grafische Anzeige ist nicht erreichbar oder antwortet nicht (" +
           DisplaysNamed(display, waylandDisplay) +
           "); läuft die Desktop-Sitzung noch, und ist eine Weiterleitung wie ssh -X "
           "noch offen?";
}

} // namespace

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

std::string StartFailureMessage(const char* display, const char* waylandDisplay,
                                const std::string& qtReason) {
    const std::string displays = DisplaysNamed(display, waylandDisplay);
    if (!displays.empty()) {
        return "qornv-viewer: Qt kann die grafische Anzeige nicht nutzen (" + displays +
               "); ist sie erreichbar, und ist Qts Plattform-Plugin für sie installiert?";
    }
    // Qt goes on with advice to reinstall and a list of plugins: its first line says why.
    return "qornv-viewer: die grafische Oberfläche konnte nicht gestartet werden: " +
           qtReason.substr(0, qtReason.find('\n'));
}
