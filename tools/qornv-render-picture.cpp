// Draws what the viewer's drawing area shows for a sequence into a PNG file.
// Started by qornv-render -o with the same arguments.

#include "RenderCommand.h"
#include "ViewDrawing.h"

#include <QGuiApplication>
#include <QImage>

#include <iostream>

int main(int argc, char** argv) {
    std::string problem;
    const auto request = ParseRenderArguments({argv + 1, argv + argc}, problem);
    if (!request || request->mode != RenderRequest::Mode::Picture) {
        std::cerr << "qornv-render: " << (request ? "-o OUT.png is needed" : problem) << "\n\n"
                  << renderUsage;
        return 2;
    }
    Sequence sequence;
    if (!LoadRequestedSequence(*request, sequence)) {
        return 1;
    }
    // Pictures need no display: choose the offscreen platform unless one is set.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QImage picture =
        RenderStructurePicture(sequence, request->view, request->width, request->height);
    // Quality 80 is zlib's fastest level: the flat picture still packs small,
    // and encoding at the default level costs more than drawing it.
    if (!picture.save(QString::fromStdString(request->outputPath), "PNG", 80)) {
        std::cerr << "qornv-render: cannot write '" << request->outputPath << "'\n";
        return 1;
    }
    return 0;
}
