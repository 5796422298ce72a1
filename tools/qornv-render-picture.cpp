// Draws what the viewer's drawing area shows for a sequence into a PNG, SVG or
// PDF file. Started by qornv-render -o with the same arguments.
//
// There is no QGuiApplication: images, SVG pictures and PDF writers draw
// without a platform. Starting one would cost time and a display check, and
// its check for a Flatpak sandbox asks Qt for the session's runtime folder,
// which without XDG_RUNTIME_DIR (cron, CI, containers) prints a warning and
// creates /tmp/runtime-USER.

#include "Console.h"
#include "FileNameQt.h"
#include "ProgramArguments.h"
#include "RenderCommand.h"
#include "SvgPicture.h"
#include "ViewDrawing.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

namespace {

std::string TitleOf(const RenderRequest& request) {
    return "QORN-V " + std::string(StructureOf(request.view).commandLineName);
}

// The canvas is W x H user units, one per pixel, as the view box.
std::optional<QByteArray> SvgBytes(const Sequence& sequence, const RenderRequest& request) {
    SvgPicture picture(QSize(request.width, request.height), TitleOf(request), renderVersion);
    if (!DrawStructurePicture(sequence, request.view, request.width, request.height, picture)) {
        return std::nullopt;
    }
    return QByteArray::fromStdString(picture.Document());
}

// One pixel is one point (1/72 inch): the page is W x H points, without margins.
std::optional<QByteArray> PdfBytes(const Sequence& sequence, const RenderRequest& request) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(
        QPageSize(QSize(request.width, request.height), QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setTitle(QString::fromStdString(TitleOf(request)));
    writer.setCreator(QString::fromLatin1(renderVersion));
    if (!DrawStructurePicture(sequence, request.view, request.width, request.height, writer)) {
        return std::nullopt;
    }
    return buffer.data();
}

// Quality 80 is zlib's fastest level: the flat picture still packs small,
// and encoding at the default level costs more than drawing it.
std::optional<QByteArray> PngBytes(QImage picture, double scale) {
    // 96 dots per inch, as the offscreen platform's screen gave it; without an
    // application Qt would state 100. A scaled picture has as many more dots to
    // the inch, so that it shows and prints at the size of the unscaled one.
    constexpr double dotsPerMetreAt96Dpi = 3780;
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerMetreAt96Dpi * scale));
    picture.setDotsPerMeterX(dotsPerMetre);
    picture.setDotsPerMeterY(dotsPerMetre);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG", 80)) {
        return std::nullopt;
    }
    return buffer.data();
}

// The bytes go to a temporary file beside `path` that replaces it only once
// they are all written and closed, so a full disk or a crash never leaves a
// cut-short picture, nor spoils the one that was there.
//
// Unbuffered: QSaveFile's commit (Qt 6.4) checks the writes but not the flush
// of its buffer, so buffered bytes that fail to reach the disk would still
// replace the file. A short write is written on until the system says why.
bool SaveWhole(const std::string& path, const QByteArray& bytes, QString& reason) {
    QSaveFile file(NameFromFileSystem(path));
    bool saved = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qsizetype done = 0; saved && done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        saved = written > 0;
        done += written;
    }
    if (!saved || !file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

int WritePicture(const Sequence& sequence, const RenderRequest& request) {
    std::optional<QByteArray> bytes;
    if (request.format == PictureFormat::Png) {
        QImage picture = RenderStructurePicture(sequence, request.view, request.width,
                                                request.height, request.scale);
        if (picture.isNull()) {
            std::cerr << "qornv-render: not enough memory for a "
                      << DeviceSide(request.width, request.scale) << 'x'
                      << DeviceSide(request.height, request.scale) << " picture\n";
            return 1;
        }
        // Not shared: no copy when its resolution is set.
        bytes = PngBytes(std::move(picture), request.scale);
    } else {
        bytes = request.format == PictureFormat::Svg ? SvgBytes(sequence, request)
                                                     : PdfBytes(sequence, request);
    }
    QString reason = QStringLiteral("the picture could not be drawn");
    if (!bytes || !SaveWhole(request.outputPath, *bytes, reason)) {
        std::cerr << "qornv-render: cannot write '" << request.outputPath
                  << "': " << reason.toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    UseConsoleText();
    std::string problem;
    const auto request = ParseRenderArguments(ProgramArguments(argc, argv), problem);
    if (!request || request->mode != RenderRequest::Mode::Picture) {
        std::cerr << UsageErrorText(request ? "-o OUT is needed" : problem);
        return 2;
    }
    Sequence sequence;
    if (!LoadRequestedSequence(*request, sequence)) {
        return 1;
    }
    return WritePicture(sequence, *request);
}
