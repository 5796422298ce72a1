#include "DisplayProblem.h"

#include "UserTexts.h"

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

// "qornv-viewer: WHAT (DETAIL); ADVICE"
std::string Message(std::string_view what, std::string_view detail, std::string_view advice) {
    return "qornv-viewer: " + std::string(what) + " (" + std::string(detail) + "); " +
           std::string(advice);
}

std::string Quoted(const char* variable, const char* value) {
    return std::string(variable) + "=»" + value + "«";
}

std::string UnreachableMessage(const char* display, const char* waylandDisplay) {
    return Message(texts::unreachable, DisplaysNamed(display, waylandDisplay),
                   texts::unreachableAdvice);
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
        const std::string_view unset = !systems.wayland ? texts::noDisplaySet
                                       : !systems.x11   ? texts::noWaylandDisplaySet
                                                        : texts::neitherDisplaySet;
        return Message(texts::noDisplay, unset, texts::needsDesktop);
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
        return Message(texts::qtCannotUse, displays, texts::qtCannotUseAdvice);
    }
    // Qt goes on with advice to reinstall and a list of plugins: its first line says why.
    return "qornv-viewer: " + std::string(texts::startFailed) + ": " +
           qtReason.substr(0, qtReason.find('\n'));
}
