#include "CommandLine.h"

#include "UserTexts.h"

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
            return Misuse(std::string(texts::unknownOption) + " »" + argument + "«");
        } else if (parsed.file) {
            return Misuse(std::string(texts::oneFileOnly));
        } else {
            parsed.file = argument;
        }
    }
    return parsed;
}

std::string ViewerUsage() {
    return std::string(texts::usage);
}

std::string ViewerVersion() {
    return "qornv-viewer " QORNV_VERSION "\n";
}
