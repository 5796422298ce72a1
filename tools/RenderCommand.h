#pragma once

#include "Geometry.h"
#include "Sequence.h"

#include <optional>
#include <string>
#include <vector>

// What one call of qornv-render asks for.
struct RenderRequest {
    enum class Mode { Dump, Check, Picture, Help };
    Mode mode = Mode::Help;
    StructureKind view = StructureKind::Icosahedron;
    int width = 540;
    int height = 540;
    std::string outputPath;          // Picture only
    std::optional<std::string> file; // none: the start-up sequence
};

// Nullopt and a reason when the arguments do not form a request.
std::optional<RenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& problem);

extern const char* const renderUsage;

// Loads the requested file, or builds the start-up sequence when there is none.
// Nullopt when the file cannot be opened; the message is on stderr already.
// A malformed line is a warning on stderr, with its line number.
std::optional<int> LoadRequestedSequence(const RenderRequest& request, Sequence& sequence);
