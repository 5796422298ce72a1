// qornv-render: the viewer's loader and drawing on the command line, for
// checking files, scripting and regression pictures.
//
// This front end links no Qt: loading the GUI libraries alone costs more than
// checking a large file, so the data modes stay free of them and run without a
// display. Pictures are drawn by qornv-render-picture, which it hands over to.

#include "Console.h"
#include "PathStatistics.h"
#include "PictureHandOver.h"
#include "ProgramArguments.h"
#include "RenderCommand.h"
#include "StatsReport.h"
#include "ViewerState.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

template <typename Values, typename Format>
void AppendLine(std::string& out, const char* label, const Values& values, Format format) {
    out += label;
    bool first = true;
    for (const auto& value : values) {
        if (!first) {
            out += ' ';
        }
        first = false;
        format(out, value);
    }
    out += '\n';
}

void PrintDump(int result, const Sequence& sequence, const RenderRequest& request) {
    Layout layout;
    NodeList nodeList;
    UpdateLayout(layout, request.width, request.height);
    ComputeNodePositions(nodeList, layout, request.view);
    std::string out = "result: " + std::to_string(result) + "\n";
    out.reserve(out.size() + 3 * (sequence.stepList.Size() + sequence.classList.Size()) + 64);
    const auto appendNumber = [](std::string& text, int value) { text += std::to_string(value); };
    AppendLine(out, "steps: ", sequence.stepList.Elements(), appendNumber);
    AppendLine(out, "classes: ", sequence.classList.Elements(), appendNumber);
    AppendLine(out, "nodes: ", nodeList.Elements(), [](std::string& text, NodePosition node) {
        text += std::to_string(node.x) + ',' + std::to_string(node.y);
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Counted after the load, over the list the view's drawing walks: no copy of
// the steps, and the walk costs a few milliseconds for millions of steps.
void PrintStatistics(const LoadReport& load, const Sequence& sequence,
                     const RenderRequest& request) {
    const bool octahedron = request.view == StructureKind::Octahedron;
    const auto walked = octahedron ? sequence.classList.Elements() : sequence.stepList.Elements();
    const std::string out =
        FormatStatistics(load, CountPath(request.view, walked), request.statsFormat);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

} // namespace

// Tests build this program with a shorter delay, to see the progress line
// without loading a file for a second.
#ifndef QORNV_PROGRESS_DELAY_MS
#define QORNV_PROGRESS_DELAY_MS 1000
#endif

int main(int argc, char** argv) {
    std::string problem;
    UseBinaryStandardOutput();
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    auto request = ParseRenderArguments(arguments, problem);
    if (!request) {
        std::cerr << "qornv-render: " << problem << "\n\n" << RenderUsage();
        return 2;
    }
    if (request->mode == RenderRequest::Mode::Help) {
        std::cout << RenderUsage();
        return 0;
    }
    if (request->mode == RenderRequest::Mode::Version) {
        std::cout << renderVersion << '\n';
        return 0;
    }
    if (request->mode == RenderRequest::Mode::Picture) {
        return HandOverToPictureRenderer(arguments);
    }
    request->progressDelay = std::chrono::milliseconds(QORNV_PROGRESS_DELAY_MS);
    Sequence sequence;
    LoadReport load;
    const std::optional<int> result = LoadRequestedSequence(*request, sequence, &load);
    if (!result) {
        return 1;
    }
    if (request->mode == RenderRequest::Mode::Stats) {
        PrintStatistics(load, sequence, *request);
    } else if (request->mode == RenderRequest::Mode::Dump) {
        PrintDump(*result, sequence, *request);
    } else {
        std::printf("result: %d, steps: %zu\n", *result, sequence.stepList.Size());
    }
    return 0;
}
