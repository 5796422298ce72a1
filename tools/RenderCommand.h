#pragma once

#include "Geometry.h"
#include "LoadProgress.h"
#include "Sequence.h"
#include "SequenceLoader.h"
#include "StatsReport.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The largest side --size accepts, in pixels: Qt's raster engine promises
// correct shapes only for coordinates within it (QT_RASTER_COORD_LIMIT). The
// image, 4 bytes a pixel, is then at most 4 GiB, which QImage holds on 64-bit
// systems. Vector pictures keep the same limit so that every format takes the
// same sizes.
inline constexpr int maxPictureSide = 32767;

// The scales --scale takes: those of desktops, and a little beyond.
inline constexpr double minPictureScale = 1;
inline constexpr double maxPictureScale = 8;

enum class PictureFormat { Png, Svg, Pdf };

// What one call of qornv-render asks for.
struct RenderRequest {
    enum class Mode { Dump, Check, Stats, Picture, Help, Version };
    Mode mode = Mode::Help;
    StructureKind view = startupStructure;
    int width = 540;
    int height = 540;
    // Device pixels per layout pixel (Picture, PNG only): the picture the
    // viewer shows on a screen of that scale, DeviceSide(width) pixels wide.
    double scale = 1;
    std::string outputPath;                     // Picture only
    PictureFormat format = PictureFormat::Png;  // from outputPath's extension
    StatsFormat statsFormat = StatsFormat::Csv; // Stats only
    std::optional<std::string> file;            // none: the start-up sequence
    // How long a load runs before a terminal shows its progress, and the clock
    // it is timed by. Set by the program, not by an option.
    std::chrono::milliseconds progressDelay{1000};
    TerminalProgress::ClockReading progressClock = TerminalProgress::SteadyClockNow;
};

// Nullopt and a reason when the arguments do not form a request.
std::optional<RenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& problem);

const std::string& RenderUsage();
// Bad usage as printed on stderr: the problem in one line, then a pointer to
// --help; the whole usage would bury the problem.
std::string UsageErrorText(const std::string& problem);
extern const char* const renderVersion; // "qornv-render X.Y.Z"

// Loads the requested file, or builds the start-up sequence when there is none.
// Nullopt when the file cannot be opened; the message is on stderr already.
// A malformed line is a warning on stderr, with its line number. When stderr
// is a terminal, a load that runs longer than request.progressDelay shows its
// progress there until it ends.
std::optional<int> LoadRequestedSequence(const RenderRequest& request, Sequence& sequence,
                                         LoadReport* report = nullptr);
