#include "RenderCommand.h"
#include "SequenceLoader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <iostream>

const char* const renderVersion = "qornv-render " QORNV_VERSION;

const std::string& RenderUsage() {
    static const std::string usage =
        "Usage:\n"
        "  qornv-render --dump [--view icosahedron|octahedron] [--size WxH] [FILE]\n"
        "  qornv-render --check FILE\n"
        "  qornv-render -o OUT.png|.svg|.pdf [--view icosahedron|octahedron] [--size WxH] [FILE]\n"
        "  qornv-render --help | --version\n"
        "\n"
        "Loads a QORN-V sequence file (.kzt), or the start-up sequence when FILE is\n"
        "left out, and prints its data (--dump), checks it (--check) or draws the\n"
        "viewer's picture of it (-o) as PNG, SVG or PDF, chosen by OUT's extension in\n"
        "any case. SVG and PDF pictures are drawn in pixel units: a PDF page of WxH\n"
        "points. The default view is icosahedron, the default size 540x540; each side\n"
        "may be at most " +
        std::to_string(maxPictureSide) + ".\n";
    return usage;
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

// The extension in any case; nullopt for any other, or none.
std::optional<PictureFormat> FormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
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

bool ParseView(const std::string& text, StructureKind& view) {
    if (text == "icosahedron") {
        view = StructureKind::Icosahedron;
    } else if (text == "octahedron") {
        view = StructureKind::Octahedron;
    } else {
        return false;
    }
    return true;
}

bool SetMode(RenderRequest& request, RenderRequest::Mode mode, bool& modeSet) {
    if (modeSet) {
        return false;
    }
    request.mode = mode;
    modeSet = true;
    return true;
}

} // namespace

std::optional<RenderRequest> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& problem) {
    RenderRequest request;
    bool modeSet = false;
    bool viewOrSizeGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            request.mode = RenderRequest::Mode::Help;
            return request;
        } else if (argument == "--version") {
            request.mode = RenderRequest::Mode::Version;
            return request;
        } else if (argument == "--dump") {
            if (!SetMode(request, RenderRequest::Mode::Dump, modeSet)) {
                problem = "only one of --dump, --check and -o may be given";
                return std::nullopt;
            }
        } else if (argument == "--check") {
            if (!SetMode(request, RenderRequest::Mode::Check, modeSet)) {
                problem = "only one of --dump, --check and -o may be given";
                return std::nullopt;
            }
        } else if (argument == "-o") {
            if (!hasValue || !SetMode(request, RenderRequest::Mode::Picture, modeSet)) {
                problem = hasValue ? "only one of --dump, --check and -o may be given"
                                   : "-o needs an output file";
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
            if (!hasValue || !ParseView(arguments[++i], request.view)) {
                problem = "--view takes icosahedron or octahedron";
                return std::nullopt;
            }
            viewOrSizeGiven = true;
        } else if (argument == "--size") {
            if (SizeProblem(hasValue ? arguments[++i] : std::string(), request, problem)) {
                return std::nullopt;
            }
            viewOrSizeGiven = true;
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
        problem = "one of --dump, --check or -o is needed";
        return std::nullopt;
    }
    if (request.mode == RenderRequest::Mode::Check && (!request.file || viewOrSizeGiven)) {
        problem = request.file ? "--check takes no --view or --size" : "--check needs a FILE";
        return std::nullopt;
    }
    return request;
}

std::optional<int> LoadRequestedSequence(const RenderRequest& request, Sequence& sequence) {
    if (!request.file) {
        FillStartupSteps(sequence);
        return loadComplete;
    }
    LoadReport report;
    LoadSequenceFile(sequence, *request.file, &report);
    if (report.result == loadNotOpened) {
        std::cerr << "qornv-render: cannot open '" << *request.file << "' as a sequence file\n";
        return std::nullopt;
    }
    if (report.result == loadStoppedMalformed) {
        std::cerr << "qornv-render: warning: '" << *request.file << "' line "
                  << report.malformedLine
                  << ": the sixth field is not empty or one or two digits; reading stopped there\n";
    }
    return report.result;
}
