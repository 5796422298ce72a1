#include "Startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <string_view>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// "wayland;xcb" tries each in turn; "xcb:option" carries options after the name.
bool NeedsWindowSystem(std::string_view platforms) {
    if (platforms.empty()) {
        return true;
    }
    while (!platforms.empty()) {
        const auto end = platforms.find(';');
        const std::string_view entry = platforms.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name != "xcb" && !name.starts_with("wayland")) {
            return false;
        }
        platforms = end == std::string_view::npos ? std::string_view{} : platforms.substr(end + 1);
    }
    return true;
}

} // namespace

std::optional<std::string> DisplayProblem(const char* platform, const char* display,
                                          const char* waylandDisplay) {
    if (!NeedsWindowSystem(IsSet(platform) ? platform : "") || IsSet(display) ||
        IsSet(waylandDisplay)) {
        return std::nullopt;
    }
    return "qornv-viewer: keine grafische Anzeige gefunden (weder DISPLAY noch "
           "WAYLAND_DISPLAY ist gesetzt); das Programm braucht eine Desktop-Sitzung.";
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
