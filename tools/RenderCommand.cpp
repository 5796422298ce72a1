#include "RenderCommand.h"
#include "SequenceLoader.h"

#include <charconv>
#include <iostream>

const char* const renderUsage =
    "Usage:\n"
    "  qornv-render --dump [--view icosahedron|octahedron] [--size WxH] [FILE]\n"
    "  qornv-render --check FILE\n"
    "  qornv-render -o OUT.png [--view icosahedron|octahedron] [--size WxH] [FILE]\n"
    "  qornv-render --help\n"
    "\n"
    "Loads a QORN-V sequence file (.kzt), or the start-up sequence when FILE is\n"
    "left out, and prints its data (--dump), checks it (--check) or draws the\n"
    "viewer's picture of it into a PNG file (-o). The default view is\n"
    "icosahedron, the default size 540x540.\n";

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
    const auto separator = text.find('x');
    if (separator == std::string::npos) {
        return false;
    }
    const char* begin = text.data();
    const char* middle = begin + separator;
    const char* end = begin + text.size();
    const auto first = std::from_chars(begin, middle, width);
    const auto second = std::from_chars(middle + 1, end, height);
    return first.ec == std::errc{} && first.ptr == middle && second.ec == std::errc{} &&
           second.ptr == end && width > 0 && height > 0;
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
        } else if (argument == "--view") {
            if (!hasValue || !ParseView(arguments[++i], request.view)) {
                problem = "--view takes icosahedron or octahedron";
                return std::nullopt;
            }
            viewOrSizeGiven = true;
        } else if (argument == "--size") {
            if (!hasValue || !ParseSize(arguments[++i], request.width, request.height)) {
                problem = "--size takes WIDTHxHEIGHT with positive whole numbers, e.g. 540x540";
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
