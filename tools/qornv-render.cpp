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
#include "StandardOutput.h"
#include "StatsReport.h"
#include "ViewerState.h"

#include <cstdio>
#include <iostream>
#include <string>

// Tests build this program with a shorter delay, to see the progress line
// without loading a file for a second, and with a clock that moves on a
// millisecond at each reading, so that the rate shown is known.
#ifndef QORNV_PROGRESS_DELAY_MS
#define QORNV_PROGRESS_DELAY_MS 1000
#endif

namespace {

#ifdef QORNV_PROGRESS_TICKING_CLOCK
std::chrono::steady_clock::time_point TickingClock() {
    static std::chrono::steady_clock::time_point time;
    return time += std::chrono::milliseconds(1);
}
#endif

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

bool PrintDump(int result, const Sequence& sequence, const RenderRequest& request) {
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
    return WriteStandardOutput(out);
}

// Counted after the load, over the list the view's drawing walks: no copy of
// the steps, and the walk costs a few milliseconds for millions of steps.
bool PrintStatistics(const LoadReport& load, const Sequence& sequence,
                     const RenderRequest& request) {
    const auto walked = WalkedList(sequence, StructureOf(request.view)).Elements();
    return WriteStandardOutput(
        FormatStatistics(load, CountPath(request.view, walked), request.statsFormat));
}

// The exit status of one call; whatever it printed is not flushed yet.
int Run(int argc, char** argv) {
    std::string problem;
    UseConsoleText();
    UseBinaryStandardOutput();
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    auto request = ParseRenderArguments(arguments, problem);
    if (!request) {
        std::cerr << UsageErrorText(problem);
        return 2;
    }
    if (request->mode == RenderRequest::Mode::Help) {
        return WriteStandardOutput(RenderUsage()) ? 0 : 1;
    }
    if (request->mode == RenderRequest::Mode::Version) {
        return WriteStandardOutput(std::string(renderVersion) + '\n') ? 0 : 1;
    }
    if (request->mode == RenderRequest::Mode::Picture) {
        return HandOverToPictureRenderer(arguments);
    }
    request->progressDelay = std::chrono::milliseconds(QORNV_PROGRESS_DELAY_MS);
#ifdef QORNV_PROGRESS_TICKING_CLOCK
    request->progressClock = TickingClock;
#endif
    Sequence sequence;
    LoadReport load;
    const std::optional<int> result = LoadRequestedSequence(*request, sequence, &load);
    if (!result) {
        return 1;
    }
    bool printed = false;
    if (request->mode == RenderRequest::Mode::Stats) {
        printed = PrintStatistics(load, sequence, *request);
    } else if (request->mode == RenderRequest::Mode::Dump) {
        printed = PrintDump(*result, sequence, *request);
    } else {
        printed = WriteStandardOutput("result: " + std::to_string(*result) + ", steps: " +
                                      std::to_string(sequence.stepList.Size()) + "\n");
    }
    return printed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    const bool finished = FinishStandardOutput();
    return status == 0 && !finished ? 1 : status;
}
