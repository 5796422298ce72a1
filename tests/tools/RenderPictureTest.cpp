#include "DrawingSurface.h"
#include "Palette.h"
#include "QtSvgRaster.h"
#include "SequenceLoader.h"
#include "SvgPicture.h"
#include "ToolRunner.h"
#include "ViewDrawing.h"

#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>

namespace {

QRgb PaletteRgb(int index) {
    const Rgb colour = Palette[static_cast<std::size_t>(index)].colour;
    return qRgb(colour.red, colour.green, colour.blue);
}

QRgb PixelAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

struct Rendered {
    ToolRun run;
    QImage picture;
};

Rendered Render(const TemporaryFolder& folder, std::vector<std::string> arguments,
                const std::vector<std::string>& environment = {},
                const std::string& name = "picture.png") {
    const std::string output = folder.PathOf(name);
    std::filesystem::remove(NativePath(output));
    arguments.insert(arguments.begin(), {"-o", output});
    Rendered rendered{RunTool(arguments, environment), QImage()};
    rendered.picture.load(QString::fromStdString(output), "PNG");
    return rendered;
}

// A node disc of `fill`, radius `radius`, with its black rim and background beyond.
void ExpectNode(const QImage& image, int x, int y, int radius, QRgb fill) {
    EXPECT_EQ(PixelAt(image, x, y), fill);
    EXPECT_EQ(PixelAt(image, x + radius - 1, y), fill);
    EXPECT_EQ(PixelAt(image, x + radius, y), qRgb(0, 0, 0));
}

TEST(RenderPicture, StartupPictureAtTheViewersSize) {
    TemporaryFolder folder;
    const Rendered rendered = Render(folder, {});
    ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
    EXPECT_EQ(rendered.run.out, "");
    const QImage& picture = rendered.picture;
    ASSERT_EQ(picture.size(), QSize(540, 540));
    EXPECT_EQ(picture.dotsPerMeterX(), 3780); // 96 dpi
    ExpectNode(picture, 270, 270, 5, PaletteRgb(13));
    ExpectNode(picture, 400, 195, 5, PaletteRgb(1));
    EXPECT_EQ(PixelAt(picture, 401 + 5, 195), DesktopFaceColour().rgb()); // right of node 1
    EXPECT_EQ(PixelAt(picture, 3, 3), DesktopFaceColour().rgb());
    EXPECT_EQ(PixelAt(picture, 536, 536), DesktopFaceColour().rgb());
    int redPixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            redPixels += PixelAt(picture, x, y) == qRgb(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(redPixels, 3000); // thirty lines from the corners
}

TEST(RenderPicture, OctahedronViewOfTheStartupSequenceShowsNodesOnly) {
    TemporaryFolder folder;
    const Rendered rendered = Render(folder, {"--view", "octahedron"});
    ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
    const QImage& picture = rendered.picture;
    ExpectNode(picture, 270, 270, 10, PaletteRgb(13));
    ExpectNode(picture, 400, 345, 10, PaletteRgb(3));
    ExpectNode(picture, 140, 195, 10, PaletteRgb(9));
    EXPECT_EQ(PixelAt(picture, 335, 270), DesktopFaceColour().rgb()); // between nodes, no path
}

TEST(RenderPicture, ScaledPictureHasTheDevicePixelsOfAScaledScreen) {
    TemporaryFolder folder;
    for (const auto& [scale, side, dotsPerMetre] :
         {std::tuple{"2", 1080, 7560}, {"1.5", 810, 5670}, {"1.25", 675, 4725}}) {
        const Rendered rendered = Render(folder, {"--scale", scale});
        ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
        EXPECT_EQ(rendered.picture.size(), QSize(side, side)) << scale;
        EXPECT_EQ(rendered.picture.dotsPerMeterX(), dotsPerMetre) << scale;
        Sequence startup;
        FillStartupSteps(startup);
        QImage drawn =
            RenderStructurePicture(startup, StructureKind::Icosahedron, 540, 540, std::stod(scale));
        drawn.setDevicePixelRatio(1); // a PNG file keeps no ratio
        EXPECT_EQ(rendered.picture.convertToFormat(QImage::Format_RGB32), drawn) << scale;
    }
}

TEST(RenderPicture, FileArgumentAndSizeGiveTheViewersPicture) {
    TemporaryFolder folder;
    const std::string file =
        folder.Write("walk.kzt", "QORN-V Kopf\n;;;;;3\n;;;;;4\n;;;;;0\n;;;;;6\n;;;;;13\n;;;;;99\n");
    for (const char* view : {"icosahedron", "octahedron"}) {
        const Rendered rendered = Render(folder, {"--view", view, "--size", "331x347", file});
        ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
        Sequence sequence;
        ASSERT_EQ(LoadSequenceFile(sequence, file), loadComplete);
        const StructureKind kind = view == std::string("octahedron") ? StructureKind::Octahedron
                                                                     : StructureKind::Icosahedron;
        const QImage expected = RenderStructurePicture(sequence, kind, 331, 347);
        EXPECT_EQ(rendered.picture.size(), QSize(331, 347));
        EXPECT_EQ(rendered.picture.convertToFormat(QImage::Format_RGB32), expected) << view;
    }
}

TEST(RenderPicture, NeedsNoDisplay) {
    TemporaryFolder folder;
    const std::optional<QByteArray> platform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
                                                   ? std::optional(qgetenv("QT_QPA_PLATFORM"))
                                                   : std::nullopt;
    qunsetenv("QT_QPA_PLATFORM");
    const Rendered rendered = Render(folder, {"--size", "60x80"}, {"DISPLAY=", "WAYLAND_DISPLAY="});
    if (platform) {
        qputenv("QT_QPA_PLATFORM", *platform);
    }
    ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
    EXPECT_EQ(rendered.picture.size(), QSize(60, 80));
}

TEST(RenderPicture, FailuresWriteNoPicture) {
    TemporaryFolder folder;
    struct Case {
        std::vector<std::string> arguments;
        int exitStatus;
    };
    for (const Case& c : {Case{{folder.PathOf("missing.kzt")}, 1}, Case{{"--size", "0x5"}, 2},
                          Case{{"--view", "cube"}, 2}, Case{{"--check"}, 2}}) {
        const Rendered rendered = Render(folder, c.arguments);
        EXPECT_EQ(rendered.run.exitStatus, c.exitStatus) << c.arguments[0];
        EXPECT_NE(rendered.run.err, "");
        EXPECT_FALSE(std::filesystem::exists(folder.NativePathOf("picture.png"))) << c.arguments[0];
    }
    for (const char* name : {"no/such/folder.png", "no/such/folder.svg", "no/such/folder.pdf"}) {
        const ToolRun unwritable = RunTool({"-o", folder.PathOf(name)});
        EXPECT_EQ(unwritable.exitStatus, 1) << name;
        EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;
    }
}

TEST(RenderPicture, FormatFollowsTheExtensionInAnyCaseAndSuccessIsQuiet) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        std::string signature;
    };
    for (const Case& c :
         {Case{"p.png", "\x89PNG"}, Case{"p.PNG", "\x89PNG"}, Case{"p.svg", "<?xml"},
          Case{"p.Svg", "<?xml"}, Case{"p.pdf", "%PDF-"}, Case{"p.PDF", "%PDF-"}}) {
        // Without a runtime folder, as under cron, in CI or in a container.
        const Rendered rendered = Render(folder, {"--size", "60x80"}, {"XDG_RUNTIME_DIR"}, c.name);
        EXPECT_EQ(rendered.run.exitStatus, 0) << c.name;
        EXPECT_EQ(rendered.run.err, "") << c.name;
        EXPECT_EQ(rendered.run.out, "") << c.name;
        EXPECT_EQ(ReadWholeFile(folder.PathOf(c.name)).substr(0, c.signature.size()), c.signature)
            << c.name;
    }
}

TEST(RenderPicture, RefusesOtherExtensionsAndSizesTooLargeToDraw) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        const char* size;
        const char* message;
    };
    for (const Case& c :
         {Case{"p.gif", "60x80", "picture format"}, Case{"p", "60x80", "picture format"},
          Case{"p.svg.txt", "60x80", "picture format"}, Case{"p.png", "100000x100000", "too large"},
          Case{"p.svg", "32768x2", "too large"}, Case{"p.pdf", "2x32768", "too large"}}) {
        const Rendered rendered = Render(folder, {"--size", c.size}, {}, c.name);
        EXPECT_EQ(rendered.run.exitStatus, 2) << c.name << ' ' << c.size;
        EXPECT_NE(rendered.run.err.find(c.message), std::string::npos) << rendered.run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.NativePathOf(c.name))) << c.name;
    }
}

// The shapes of an SVG picture in drawing order, with the colours of the groups
// around them: "circle 280.5,53.5 r5 fill #e6009b stroke #e6009b".
std::vector<std::string> SvgShapes(const std::string& svg) {
    std::vector<std::string> shapes;
    std::vector<std::pair<QString, QString>> paint{{"none", "none"}};
    QXmlStreamReader reader(QByteArray::fromStdString(svg));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == u"g") {
            paint.pop_back();
        }
        if (!reader.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes a = reader.attributes();
        const auto value = [&](const char* name) { return a.value(name).toString(); };
        if (reader.name() == u"g") {
            paint.emplace_back(a.hasAttribute("fill") ? value("fill") : paint.back().first,
                               a.hasAttribute("stroke") ? value("stroke") : paint.back().second);
            continue;
        }
        QString shape;
        if (reader.name() == u"rect") {
            shape = "rect " + value("x") + "," + value("y") + " " + value("width") + "x" +
                    value("height");
        } else if (reader.name() == u"circle") {
            shape = "circle " + value("cx") + "," + value("cy") + " r" + value("r");
        } else if (reader.name() == u"polyline") {
            shape = "line " + value("points").trimmed();
        } else if (reader.name() == u"line") {
            shape =
                "line " + value("x1") + "," + value("y1") + " " + value("x2") + "," + value("y2");
        } else {
            continue;
        }
        const QString fill = a.hasAttribute("fill") ? value("fill") : paint.back().first;
        const QString stroke = a.hasAttribute("stroke") ? value("stroke") : paint.back().second;
        shapes.push_back((shape + " fill " + fill + " stroke " + stroke).toStdString());
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return shapes;
}

std::string Hex(QRgb colour) {
    return QColor(colour).name().toStdString();
}

TEST(RenderSvg, ShapesOfAShortPathInDrawingOrderOnAPixelCanvas) {
    TemporaryFolder folder;
    const std::string file = folder.Write("walk.kzt", ";;;;;3\n;;;;;4\n;;;;;0\n;;;;;5\n");
    const Rendered rendered = Render(folder, {"--size", "331x347", file}, {}, "walk.svg");
    ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
    const std::string svg = ReadWholeFile(folder.PathOf("walk.svg"));
    EXPECT_NE(svg.find("<svg width=\"331\" height=\"347\" shape-rendering=\"crispEdges\"\n "
                       "viewBox=\"0 0 331 347\""),
              std::string::npos);

    Layout layout;
    NodeList nodes;
    UpdateLayout(layout, 331, 347);
    ComputeNodePositions(nodes, layout, StructureKind::Icosahedron);
    const auto centre = [&](int n) {
        const NodePosition at = nodes.Elements()[static_cast<std::size_t>(n)];
        return (QString::number(at.x + 0.5) + "," + QString::number(at.y + 0.5)).toStdString();
    };
    const auto circle = [&](int n, int radius, const std::string& fill, const std::string& rim) {
        return "circle " + centre(n) + " r" + std::to_string(radius) + " fill " + fill +
               " stroke " + rim;
    };
    std::vector<std::string> nodePass;
    for (int n = 1; n <= 13; ++n) {
        nodePass.push_back(circle(n, 5, Hex(PaletteRgb(n)), Hex(PaletteRgb(n))));
        nodePass.push_back(circle(n, 5, "none", "#000000"));
    }
    std::vector<std::string> expected{"rect 0,0 331x347 fill " + Hex(DesktopFaceColour().rgb()) +
                                      " stroke none"};
    expected.insert(expected.end(), nodePass.begin(), nodePass.end());
    expected.push_back("line " + centre(3) + " " + centre(4) + " fill none stroke #000000");
    expected.push_back(circle(4, 7, "#000000", "#000000"));
    expected.push_back("line " + centre(4) + " " + centre(5) + " fill none stroke #ff0000");
    expected.insert(expected.end(), nodePass.begin(), nodePass.end());
    EXPECT_EQ(SvgShapes(svg), expected);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Read as text, without any SVG library: the same bytes whatever the locale.
TEST(RenderSvg, TextHoldsOneElementPerShapeOnAPixelCanvas) {
    TemporaryFolder folder;
    const std::string file = folder.Write("walk.kzt", ";;;;;3\n;;;;;4\n;;;;;0\n;;;;;5\n");
    ASSERT_EQ(Render(folder, {"--size", "331x347", file}, {}, "walk.svg").run.exitStatus, 0);
    const std::string svg = ReadWholeFile(folder.PathOf("walk.svg"));
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
    EXPECT_NE(svg.find(" viewBox=\"0 0 331 347\" xmlns=\"http://www.w3.org/2000/svg\""),
              std::string::npos);
    EXPECT_NE(svg.find("<title>QORN-V icosahedron</title>\n<desc>qornv-render "),
              std::string::npos);
    EXPECT_EQ(Count(svg, "<rect "), 1u);
    EXPECT_EQ(Count(svg, "<circle "), 2u * 2u * 13u + 1u); // both node passes, one marker dot
    EXPECT_EQ(Count(svg, "<line "), 2u);
    EXPECT_EQ(Count(svg, "\r"), 0u);
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    ASSERT_EQ(Render(folder, {"--size", "331x347", file}, {"LC_ALL=de_DE.UTF-8"}, "de.svg")
                  .run.exitStatus,
              0);
    EXPECT_EQ(ReadWholeFile(folder.PathOf("de.svg")), svg);
}

// Numbers as exact as the painter gave them, colours with their opacity, and
// a failure for what the writer cannot express rather than a different picture.
TEST(SvgPictureWriter, ShapesAsPaintedOrAFailure) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> paint;
        std::string element; // empty: end() fails
    };
    const std::vector<Case> cases = {
        {"box", [](QPainter& p) { p.fillRect(QRectF(0.25, -0.0, 10, 2.5), QColor(1, 2, 171)); },
         "<rect x=\"0.25\" y=\"0\" width=\"10\" height=\"2.5\" fill=\"#0102ab\"/>\n"},
        {"line",
         [](QPainter& p) {
             p.setPen(QPen(QColor(255, 0, 0, 51), 2));
             p.drawLine(QPointF(0.1, 1e-7), QPointF(32767, 4));
         },
         "<line x1=\"0.1\" y1=\"1e-07\" x2=\"32767\" y2=\"4\" stroke=\"#ff0000\" "
         "stroke-opacity=\"0.2\" stroke-width=\"2\"/>\n"},
        {"gradient",
         [](QPainter& p) { p.fillRect(QRectF(0, 0, 4, 4), QLinearGradient(0, 0, 4, 4)); }, ""},
    };
    for (const Case& c : cases) {
        SvgPicture picture(QSize(40, 30), "t", "d");
        QPainter painter(&picture);
        c.paint(painter);
        EXPECT_EQ(painter.end(), !c.element.empty()) << c.name;
        const std::string& document = picture.Document();
        if (c.element.empty()) {
            EXPECT_EQ(document, "") << c.name;
        } else {
            EXPECT_TRUE(document.ends_with("</desc>\n" + c.element + "</svg>\n")) << document;
        }
    }
}

TEST(RenderPdf, OnePageOfThePicturesSizeInPoints) {
    if (!HasProgram("pdfinfo")) {
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    }
    TemporaryFolder folder;
    ASSERT_EQ(Render(folder, {"--size", "331x347"}, {}, "p.pdf").run.exitStatus, 0);
    const ToolRun info = RunProgram("pdfinfo", {folder.PathOf("p.pdf")});
    EXPECT_EQ(info.exitStatus, 0) << info.err;
    EXPECT_NE(info.out.find("Pages:           1\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Page size:       331 x 347 pts\n"), std::string::npos) << info.out;
}

// Vector pictures rasterised at one pixel per unit show each node as the PNG
// does: its centre, its rim on the four axes and what lies beyond. Where a
// rasteriser antialiases the rim, colours need only be within `tolerance`.
void ExpectSameNodes(const QImage& raster, const QImage& png, StructureKind kind, int tolerance) {
    ASSERT_EQ(raster.size(), png.size());
    Layout layout;
    NodeList nodes;
    UpdateLayout(layout, png.width(), png.height());
    ComputeNodePositions(nodes, layout, kind);
    const int radius = layout.nodeRadius + (kind == StructureKind::Octahedron ? 5 : 0);
    const auto near = [&](int x, int y) {
        const QRgb a = PixelAt(raster, x, y);
        const QRgb b = PixelAt(png, x, y);
        return std::abs(qRed(a) - qRed(b)) <= tolerance &&
               std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
               std::abs(qBlue(a) - qBlue(b)) <= tolerance;
    };
    for (const NodePosition at : nodes.Elements().subspan(1)) {
        EXPECT_TRUE(near(at.x, at.y)) << at.x << "," << at.y;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            for (const int out : {radius, radius + 1}) {
                EXPECT_TRUE(near(at.x + dx * out, at.y + dy * out))
                    << "node at " << at.x << "," << at.y << ", " << out << " out towards " << dx
                    << "," << dy << ": " << Hex(PixelAt(raster, at.x + dx * out, at.y + dy * out))
                    << " for " << Hex(PixelAt(png, at.x + dx * out, at.y + dy * out));
            }
        }
    }
}

QImage RasteriseWith(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& result) {
    const ToolRun run = RunProgram(program, arguments);
    EXPECT_EQ(run.exitStatus, 0) << program << ": " << run.err;
    return QImage(QString::fromStdString(result)).convertToFormat(QImage::Format_RGB32);
}

// Lines are left out: rasterisers pick their own pixels along a slope.
TEST(RenderVector, RasterisedPicturesShowTheNodesAsThePngDoes) {
    TemporaryFolder folder;
    const std::string file = folder.Write("marker.kzt", ";;;;;3\n;;;;;0\n");
    bool comparedWithQt = false;
    for (const char* view : {"icosahedron", "octahedron"}) {
        SCOPED_TRACE(view);
        const StructureKind kind = view == std::string("octahedron") ? StructureKind::Octahedron
                                                                     : StructureKind::Icosahedron;
        const std::vector<std::string> arguments{"--view", view, "--size", "331x347", file};
        const QImage png = Render(folder, arguments).picture;
        ASSERT_EQ(Render(folder, arguments, {}, "p.svg").run.exitStatus, 0);
        ASSERT_EQ(Render(folder, arguments, {}, "p.pdf").run.exitStatus, 0);
        // Qt's SVG renderer and poppler antialias; rsvg honours the crisp edges.
        const int antialiased = 72;
        if (const auto qtRaster = RasteriseWithQtSvg(folder.PathOf("p.svg"), png.size())) {
            ExpectSameNodes(*qtRaster, png, kind, antialiased);
            comparedWithQt = true;
        }
        if (HasProgram("rsvg-convert")) {
            ExpectSameNodes(RasteriseWith("rsvg-convert",
                                          {folder.PathOf("p.svg"), "-o", folder.PathOf("rsvg.png")},
                                          folder.PathOf("rsvg.png")),
                            png, kind, 0);
        }
        if (HasProgram("pdftoppm")) {
            ExpectSameNodes(RasteriseWith("pdftoppm",
                                          {"-r", "72", "-png", "-singlefile",
                                           folder.PathOf("p.pdf"), folder.PathOf("poppler")},
                                          folder.PathOf("poppler.png")),
                            png, kind, antialiased);
        }
    }
    if (!HasProgram("rsvg-convert") || !HasProgram("pdftoppm") || !comparedWithQt) {
        GTEST_SKIP() << "rsvg-convert (librsvg2-bin), pdftoppm (poppler-utils) or Qt Svg is "
                        "missing; only the renderers at hand were compared";
    }
}

} // namespace
