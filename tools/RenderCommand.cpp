#include "RenderCommand.h"
#include "FileName.h"
#include "LoadProgress.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <unistd.h>
#include <utility>

const char* const renderVersion = "qornv-render " QORNV_VERSION;

namespace {

// The structures' names as the tools take them, joined by `separator`.
std::string ViewNames(std::string_view separator) {
    std::string names;
    for (const Structure& structure : structures) {
        names += names.empty() ? "" : separator;
        names += structure.commandLineName;
    }
    return names;
}

} // namespace

// Every line within 80 columns, the width of a console window as it opens.
const std::string& RenderUsage() {
    static const std::string usage =
        "Usage:\n"
        "  qornv-render --dump [--view VIEW] [--size WxH] [FILE]\n"
        "  qornv-render --check FILE\n"
        "  qornv-render --stats [--view VIEW] [--format csv|json] [FILE]\n"
        "  qornv-render -o OUT.png|.svg|.pdf [--view VIEW] [--size WxH] [--scale F]\n"
        "               [FILE]\n"
        "  qornv-render -h | --help | --version\n"
        "\n"
        "Loads a QORN-V sequence file (.kzt), or the start-up sequence when FILE is\n"
        "left out, and prints its data (--dump), checks it (--check), counts what its\n"
        "picture is made of (--stats) or draws the viewer's picture of it (-o) as PNG,\n"
        "SVG or PDF, chosen by OUT's extension in any case. SVG and PDF pictures are\n"
        "drawn in pixel units: a PDF page of WxH points.\n"
        "\n"
        "VIEW is " +
        ViewNames(" or ") + " (by default " +
        std::string(StructureOf(RenderRequest().view).commandLineName) +
        "); the size is 540x540\n"
        "unless given, and each side may be at most " +
        std::to_string(maxPictureSide) +
        ".\n"
        "\n"
        "--scale F draws a PNG picture as the viewer shows it on a screen scaled by F\n"
        "(from 1 to 8, e.g. 2 or 1.5): the same diagram, F times as many pixels each\n"
        "way (WxH times F, rounded up), lines and rims F pixels wide rounded, at F\n"
        "times 96 dpi. SVG and PDF pictures scale without it.\n"
        "\n"
        "--stats counts the path as the chosen view draws it: the file's result, its\n"
        "steps, marker steps and steps naming no node; per node the steps at it; per\n"
        "line (node <= node2) how often the path runs along it and its colour; per\n"
        "marker dot (the node it is drawn on) the marker steps that put it there. A\n"
        "line or marker dot is in the picture exactly when its count is above 0; a\n"
        "line from a node to itself has zero length and is hidden under the node.\n"
        "CSV (the default) is one table with a header; the first column is the kind\n"
        "of row (result, malformed_line, steps, marker_steps, no_node_steps, node,\n"
        "line, marker):\n"
        "  kind,node,node2,colour,value\n"
        "  result,,,,1\n"
        "  steps,,,,338\n"
        "  node,1,,,26\n"
        "  line,1,2,red,4\n"
        "  marker,1,,,0\n"
        "JSON is one object with the same figures; see " QORNV_RENDER_MANUAL ".\n";
    return usage;
}

std::string UsageErrorText(const std::string& problem) {
    return "qornv-render: " + problem + "\nTry 'qornv-render --help'.\n";
}

namespace {

enum class SideCheck { Fits, Malformed, TooLarge };

// Digits past what a long long holds still make a side, only a too large one.
SideCheck ParseSide(const char* begin, const char* end, int& side) {
    long long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || *begin == '-' || stop != end) {
        return SideCheck::Malformed;
    }
    if (error == std::errc::result_out_of_range || value > maxPictureSide) {
        return SideCheck::TooLarge;
    }
    if (value == 0) {
        return SideCheck::Malformed;
    }
    side = static_cast<int>(value);
    return SideCheck::Fits;
}

SideCheck ParseSize(const std::string& text, int& width, int& height) {
    const auto separator = text.find('x');
    if (separator == std::string::npos) {
        return SideCheck::Malformed;
    }
    const char* middle = text.data() + separator;
    const SideCheck first = ParseSide(text.data(), middle, width);
    const SideCheck second = ParseSide(middle + 1, text.data() + text.size(), height);
    if (first == SideCheck::Malformed || second == SideCheck::Malformed) {
        return SideCheck::Malformed;
    }
    return first == SideCheck::Fits ? second : first;
}

bool SizeProblem(const std::string& text, RenderRequest& request, std::string& problem) {
    switch (ParseSize(text, request.width, request.height)) {
    case SideCheck::Fits:
        return false;
    case SideCheck::Malformed:
        problem = "--size takes WIDTHxHEIGHT with positive whole numbers, e.g. 540x540";
        return true;
    case SideCheck::TooLarge:
        problem = "--size " + text + " is too large: each side may be at most " +
                  std::to_string(maxPictureSide) + " pixels";
        return true;
    }
    return true;
}

// A plain decimal number within the scales taken: "2", "1.5", "1.25".
bool ParseScale(const std::string& text, double& scale) {
    const bool plain = !text.empty() && std::isdigit(static_cast<unsigned char>(text.front())) &&
                       std::isdigit(static_cast<unsigned char>(text.back())) &&
                       text.find_first_not_of("0123456789.") == std::string::npos;
    double value = 0;
    const char* end = text.data() + text.size();
    if (!plain || std::from_chars(text.data(), end, value, std::chars_format::fixed).ptr != end) {
        return false;
    }
    if (value < minPictureScale || value > maxPictureScale) {
        return false;
    }
    scale = value;
    return true;
}

// The extension in any case; nullopt for any other, or none.
std::optional<PictureFormat> FormatOf(const std::string& path) {
    std::string extension = NameOfPath(PathOfName(path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") {
        return PictureFormat::Png;
    }
    if (extension == ".svg") {
        return PictureFormat::Svg;
    }
    if (extension == ".pdf") {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

// Sets `value` to the choice named `text`; false for a name not in `choices`.
template <typename Value, std::size_t count>
bool ParseChoice(const std::string& text,
                 const std::array<std::pair<std::string_view, Value>, count>& choices,
                 Value& value) {
    for (const auto& [name, choice] : choices) {
        if (text == name) {
            value = choice;
            return true;
        }
    }
    return false;
}

constexpr std::array<std::pair<std::string_view, StatsFormat>, 2> statsFormatChoices{
    {{"csv", StatsFormat::Csv}, {"json", StatsFormat::Json}}};

// Every option takes one value at most, so a second one is a mistake rather
// than a choice of which one counts.
bool GivenBefore(const std::string& argument, std::vector<std::string_view>& given) {
    if (argument.size() < 2 || argument[0] != '-' || argument == "--") {
        return false;
    }
    if (std::find(given.begin(), given.end(), argument) != given.end()) {
        return true;
    }
    given.push_back(argument);
    return false;
}

constexpr const char* oneModeOnly = "only one of --dump, --check, --stats and -o may be given";

bool SetMode(RenderRequest& request, RenderRequest::Mode mode, bool& modeSet) {
    if (modeSet) {
        return false;
    }
    request.mode = mode;
    modeSet = true;
    return true;
}

// A scale that makes a side of the picture larger than any side may be.
bool ScaledSizeProblem(const RenderRequest& request, std::string& problem) {
    if (std::max(DeviceSide(request.width, request.scale),
                 DeviceSide(request.height, request.scale)) <= maxPictureSide) {
        return false;
    }
    problem = "--size " + std::to_string(request.width) + 'x' + std::to_string(request.height) +
              " is too large at that --scale: each side of the picture may be at most " +
              std::to_string(maxPictureSide) + " pixels";
    return true;
}

// Options that the chosen mode does not take.
bool UsageProblem(const RenderRequest& request, bool viewGiven, bool sizeGiven, bool formatGiven,
                  bool scaleGiven, std::string& problem) {
    using Mode = RenderRequest::Mode;
    if (scaleGiven && request.mode != Mode::Picture) {
        problem = "--scale goes with -o only";
    } else if (scaleGiven && request.format != PictureFormat::Png) {
        // Vector pictures have no pixels to multiply: whatever shows them draws
        // them at its own resolution, and at its own whims of smoothing.
        problem = "--scale goes with PNG pictures only: SVG and PDF scale without it";
    } else if (ScaledSizeProblem(request, problem)) {
        return true;
    } else if (request.mode == Mode::Check && (!request.file || viewGiven || sizeGiven)) {
        problem = request.file ? "--check takes no --view or --size" : "--check needs a FILE";
    } else if (request.mode == Mode::Stats && sizeGiven) {
        problem = "--stats takes no --size: it counts nodes, not pixels";
    } else if (request.mode != Mode::Stats && formatGiven) {
        problem = "--format goes with --stats only";
    } else {
        return false;
    }
    return true;
}

// The reason in the system's words where it has some, so that it reads as
// the other tools' messages do.
std::string OpenFailureReason(const LoadReport& report) {
    switch (report.failure) {
    case LoadFailure::Folder:
        return std::strerror(EISDIR);
    case LoadFailure::NotRegularFile:
        return "Not a regular file";
    default:
        // The C runtime's words for EBUSY speak of devices.
        if (report.systemError == EBUSY) {
            return "Held by another program";
        }
        return std::strerror(report.systemError != 0 ? report.systemError : EIO);
    }
}

std::string LoadFailureText(const std::string& path, const LoadReport& report) {
    const std::string quoted = "'" + path + "'";
    if (report.failure == LoadFailure::ReadFailed) {
        return "cannot read " + quoted + ": " + std::strerror(report.systemError);
    }
    if (report.failure == LoadFailure::OutOfMemory) {
        return "not enough memory to load " + quoted;
    }
    return "cannot open " + quoted + " as a sequence file: " + OpenFailureReason(report);
}

} // namespace

std::optional<RenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& problem) {
    RenderRequest request;
    bool modeSet = false;
    bool viewGiven = false;
    bool sizeGiven = false;
    bool formatGiven = false;
    bool scaleGiven = false;
    std::vector<std::string_view> given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (GivenBefore(argument, given)) {
            problem = argument + " may be given only once";
            return std::nullopt;
        }
        if (argument == "--help" || argument == "-h") {
            request.mode = RenderRequest::Mode::Help;
            return request;
        } else if (argument == "--version") {
            request.mode = RenderRequest::Mode::Version;
            return request;
        } else if (argument == "--dump") {
            if (!SetMode(request, RenderRequest::Mode::Dump, modeSet)) {
                problem = oneModeOnly;
                return std::nullopt;
            }
        } else if (argument == "--check") {
            if (!SetMode(request, RenderRequest::Mode::Check, modeSet)) {
                problem = oneModeOnly;
                return std::nullopt;
            }
        } else if (argument == "--stats") {
            if (!SetMode(request, RenderRequest::Mode::Stats, modeSet)) {
                problem = oneModeOnly;
                return std::nullopt;
            }
        } else if (argument == "--format") {
            if (!hasValue ||
                !ParseChoice(arguments[++i], statsFormatChoices, request.statsFormat)) {
                problem = "--format takes csv or json";
                return std::nullopt;
            }
            formatGiven = true;
        } else if (argument == "-o") {
            if (!hasValue || !SetMode(request, RenderRequest::Mode::Picture, modeSet)) {
                problem = hasValue ? oneModeOnly : "-o needs an output file";
                return std::nullopt;
            }
            request.outputPath = arguments[++i];
            const auto format = FormatOf(request.outputPath);
            if (!format) {
                problem = "cannot tell the picture format of '" + request.outputPath +
                          "': OUT must end in .png, .svg or .pdf";
                return std::nullopt;
            }
            request.format = *format;
        } else if (argument == "--view") {
            const auto view = hasValue ? StructureNamed(arguments[++i]) : std::nullopt;
            if (!view) {
                problem = "--view takes " + ViewNames(" or ");
                return std::nullopt;
            }
            request.view = *view;
            viewGiven = true;
        } else if (argument == "--size") {
            if (SizeProblem(hasValue ? arguments[++i] : std::string(), request, problem)) {
                return std::nullopt;
            }
            sizeGiven = true;
        } else if (argument == "--scale") {
            if (!hasValue || !ParseScale(arguments[++i], request.scale)) {
                problem = "--scale takes a number from 1 to 8, e.g. 2 or 1.5";
                return std::nullopt;
            }
            scaleGiven = true;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            problem = "unknown option " + argument;
            return std::nullopt;
        } else {
            if (argument == "--") {
                if (++i >= arguments.size()) {
                    break;
                }
            }
            if (request.file) {
                problem = "only one FILE may be given";
                return std::nullopt;
            }
            request.file = arguments[i];
        }
    }
    if (!modeSet) {
        problem = "one of --dump, --check, --stats or -o is needed";
        return std::nullopt;
    }
    return UsageProblem(request, viewGiven, sizeGiven, formatGiven, scaleGiven, problem)
               ? std::nullopt
               : std::optional(request);
}

std::optional<int> LoadRequestedSequence(const RenderRequest& request, Sequence& sequence,
                                         LoadReport* loadReport) {
    LoadReport ownReport;
    LoadReport& report = loadReport != nullptr ? *loadReport : ownReport;
    if (!request.file) {
        FillStartupSteps(sequence);
        report = LoadReport{loadComplete, 0};
        return loadComplete;
    }
    {
        TerminalProgress progress(STDERR_FILENO, request.progressDelay, request.progressClock);
        LoadSequenceFile(sequence, *request.file, &report, &progress);
    }
    if (report.result == loadNotOpened) {
        std::cerr << "qornv-render: " << LoadFailureText(*request.file, report) << '\n';
        return std::nullopt;
    }
    if (report.result == loadStoppedMalformed) {
        std::cerr << "qornv-render: warning: '" << *request.file << "' line "
                  << report.malformedLine
                  << ": the sixth field is not empty or one or two digits; reading stopped there\n";
    }
    return report.result;
}
