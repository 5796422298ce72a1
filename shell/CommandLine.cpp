#include "CommandLine.h"

namespace {

ViewerArguments Misuse(std::string problem) {
    return {ViewerArguments::Action::Misuse, std::nullopt, std::move(problem)};
}

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument.front() == '-';
}

} // namespace

ViewerArguments ParseViewerArguments(const std::vector<std::string>& arguments) {
    ViewerArguments parsed;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            return {ViewerArguments::Action::Help, std::nullopt, {}};
        } else if (!optionsEnded && argument == "--version") {
            return {ViewerArguments::Action::Version, std::nullopt, {}};
        } else if (!optionsEnded && IsOption(argument)) {
            return Misuse("unbekannte Option »" + argument + "«");
        } else if (parsed.file) {
            return Misuse("nur eine DATEI kann geöffnet werden");
        } else {
            parsed.file = argument;
        }
    }
    return parsed;
}

std::string ViewerUsage() {
    return "Aufruf: qornv-viewer [DATEI]\n"
           "        qornv-viewer -h | --help | --version\n"
           "\n"
           "Zeigt die QORN-V-Lichtstruktur mit dem Weg einer Photonensequenz. Ohne DATEI\n"
           "zeigt der Betrachter die Vorführsequenz; mit DATEI öffnet er diese\n"
           "Sequenzdatei (.kzt) gleich nach dem Start, wie \"Sequenz\" > \"Öffnen\".\n"
           "\n"
           "  -h, --help  diese Hilfe zeigen\n"
           "  --version   die Version zeigen\n"
           "  --          was folgt, ist die DATEI, auch wenn es mit \"-\" beginnt\n";
}

std::string ViewerVersion() {
    return "qornv-viewer " QORNV_VERSION "\n";
}
