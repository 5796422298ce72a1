// qornv-render: the viewer's loader and drawing on the command line, for
// checking files, scripting and regression pictures. Data modes start no GUI
// machinery, so they run anywhere.

#include "RenderCommand.h"
#include "SequenceLoader.h"
#include "ViewDrawing.h"
#include "ViewerState.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

template <typename Values, typename Format>
void PrintLine(std::string& out, const char* label, const Values& values, Format format) {
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

void AppendNumber(std::string& out, int value) { out += std::to_string(value); }

void PrintDump(int result, const Sequence& sequence, const RenderRequest& request) {
    Layout layout;
    NodeList nodeList;
    UpdateLayout(layout, request.width, request.height);
    ComputeNodePositions(nodeList, layout, request.view);
    std::string out = "result: " + std::to_string(result) + "\n";
    out.reserve(out.size() + 4 * sequence.stepList.Size() + 4 * sequence.classList.Size());
    PrintLine(out, "steps: ", sequence.stepList.Elements(), AppendNumber);
    PrintLine(out, "classes: ", sequence.classList.Elements(), AppendNumber);
    PrintLine(out, "nodes: ", nodeList.Elements(), [](std::string& text, NodePosition node) {
        text += std::to_string(node.x) + ',' + std::to_string(node.y);
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Loads the requested file, or builds the start-up sequence. Nullopt when the
// file could not be opened (the message is out already).
std::optional<int> LoadRequested(const RenderRequest& request, Sequence& sequence) {
    if (!request.file) {
        FillStartupSteps(sequence);
        return loadComplete;
    }
    LoadReport report;
    LoadSequenceFile(sequence, *request.file, &report);
    if (report.result == loadNotOpened) {
        std::cerr << "qornv-render: cannot open '" << *request.file
                  << "' as a sequence file\n";
        return std::nullopt;
    }
    if (report.result == loadStoppedMalformed) {
        std::cerr << "qornv-render: warning: '" << *request.file << "' line "
                  << report.malformedLine
                  << ": the sixth field is not empty or one or two digits; reading stopped there\n";
    }
    return report.result;
}

int RenderPicture(const Sequence& sequence, const RenderRequest& request, int argc, char** argv) {
    // Pictures need no display: choose the offscreen platform unless one is set.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QImage picture =
        RenderStructurePicture(sequence, request.view, request.width, request.height);
    if (!picture.save(QString::fromStdString(request.outputPath), "PNG")) {
        std::cerr << "qornv-render: cannot write '" << request.outputPath << "'\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const auto request = ParseRenderArguments({argv + 1, argv + argc}, problem);
    if (!request) {
        std::cerr << "qornv-render: " << problem << "\n\n" << renderUsage;
        return 2;
    }
    if (request->mode == RenderRequest::Mode::Help) {
        std::cout << renderUsage;
        return 0;
    }
    Sequence sequence;
    const std::optional<int> result = LoadRequested(*request, sequence);
    if (!result) {
        return 1;
    }
    switch (request->mode) {
    case RenderRequest::Mode::Dump:
        PrintDump(*result, sequence, *request);
        return 0;
    case RenderRequest::Mode::Check:
        std::printf("result: %d, steps: %zu\n", *result, sequence.stepList.Size());
        return 0;
    case RenderRequest::Mode::Picture:
        return RenderPicture(sequence, *request, argc, argv);
    case RenderRequest::Mode::Help:
        break;
    }
    return 0;
}
