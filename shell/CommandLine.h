#pragma once

#include <optional>
#include <string>
#include <vector>

// What the viewer was asked to do on its command line: `qornv-viewer [FILE]`.
struct ViewerArguments {
    enum class Action { Run, Help, Version, Misuse };
    Action action = Action::Run;
    std::optional<std::string> file; // Run only: the file to open after start-up
    std::string problem;             // Misuse only: what is wrong, in German
};

// The arguments after the program name. "--" ends the options, so a file whose
// name starts with "-" can still be given.
ViewerArguments ParseViewerArguments(const std::vector<std::string>& arguments);

// The usage text, German like the rest of the viewer.
std::string ViewerUsage();
std::string ViewerVersion();
