// Draws what the viewer's drawing area shows for a sequence into a PNG, SVG or
// PDF file. Started by qornv-render -o with the same arguments.
//
// There is no QGuiApplication: images, SVG generators and PDF writers draw
// without a platform. Starting one would cost time and a display check, and
// its check for a Flatpak sandbox asks Qt for the session's runtime folder,
// which without XDG_RUNTIME_DIR (cron, CI, containers) prints a warning and
// creates /tmp/runtime-USER.

#include "RenderCommand.h"
#include "ViewDrawing.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cstdio>
#include <iostream>
#include <optional>

namespace {

QString TitleOf(const RenderRequest& request) {
    return request.view == StructureKind::Octahedron ? QStringLiteral("QORN-V octahedron")
                                                     : QStringLiteral("QORN-V icosahedron");
}

// The generator gives the canvas size in millimetres, rounded to six digits,
// which a rasteriser may round up to one pixel more. The picture is in pixels,
// so the canvas is W x H user units, as the view box. Its shapes are drawn
// without antialiasing, so the picture asks for crisp edges too: a renderer that
// honours that draws the PNG's pixels.
QByteArray WithPixelCanvas(QByteArray svg, int width, int height) {
    const QByteArray root = "<svg width=\"";
    const qsizetype begin = svg.indexOf(root);
    const qsizetype end = svg.indexOf("viewBox=", begin);
    if (begin < 0 || end < 0) {
        return svg;
    }
    return svg.replace(begin, end - begin,
                       root + QByteArray::number(width) + "\" height=\"" +
                           QByteArray::number(height) + "\" shape-rendering=\"crispEdges\"\n ");
}

std::optional<QByteArray> SvgPicture(const Sequence& sequence, const RenderRequest& request) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(request.width, request.height));
    generator.setViewBox(QRect(0, 0, request.width, request.height));
    generator.setTitle(TitleOf(request));
    generator.setDescription(QString::fromLatin1(renderVersion));
    if (!DrawStructurePicture(sequence, request.view, request.width, request.height, generator)) {
        return std::nullopt;
    }
    return WithPixelCanvas(buffer.data(), request.width, request.height);
}

// One pixel is one point (1/72 inch): the page is W x H points, without margins.
std::optional<QByteArray> PdfPicture(const Sequence& sequence, const RenderRequest& request) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(
        QPageSize(QSize(request.width, request.height), QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setTitle(TitleOf(request));
    writer.setCreator(QString::fromLatin1(renderVersion));
    if (!DrawStructurePicture(sequence, request.view, request.width, request.height, writer)) {
        return std::nullopt;
    }
    return buffer.data();
}

// Byte for byte as given: the path need not be valid UTF-8. A file that could
// not be written whole is removed.
bool WriteFile(const std::string& path, const QByteArray& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, static_cast<std::size_t>(bytes.size()),
                                     file) == static_cast<std::size_t>(bytes.size());
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

// Quality 80 is zlib's fastest level: the flat picture still packs small,
// and encoding at the default level costs more than drawing it.
int WritePng(const Sequence& sequence, const RenderRequest& request) {
    QImage picture = RenderStructurePicture(sequence, request.view, request.width, request.height);
    if (picture.isNull()) {
        std::cerr << "qornv-render: not enough memory for a " << request.width << 'x'
                  << request.height << " picture\n";
        return 1;
    }
    // 96 dots per inch, as the offscreen platform's screen gave it; without an
    // application Qt would state 100.
    constexpr int dotsPerMetreAt96Dpi = 3780;
    picture.setDotsPerMeterX(dotsPerMetreAt96Dpi);
    picture.setDotsPerMeterY(dotsPerMetreAt96Dpi);
    if (!picture.save(QString::fromStdString(request.outputPath), "PNG", 80)) {
        std::cerr << "qornv-render: cannot write '" << request.outputPath << "'\n";
        return 1;
    }
    return 0;
}

int WriteVector(const Sequence& sequence, const RenderRequest& request) {
    const std::optional<QByteArray> bytes = request.format == PictureFormat::Svg
                                                ? SvgPicture(sequence, request)
                                                : PdfPicture(sequence, request);
    if (!bytes || !WriteFile(request.outputPath, *bytes)) {
        std::cerr << "qornv-render: cannot write '" << request.outputPath << "'\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string problem;
    const auto request = ParseRenderArguments({argv + 1, argv + argc}, problem);
    if (!request || request->mode != RenderRequest::Mode::Picture) {
        std::cerr << UsageErrorText(request ? "-o OUT is needed" : problem);
        return 2;
    }
    Sequence sequence;
    if (!LoadRequestedSequence(*request, sequence)) {
        return 1;
    }
    if (request->format == PictureFormat::Png) {
        return WritePng(sequence, *request);
    }
    return WriteVector(sequence, *request);
}
