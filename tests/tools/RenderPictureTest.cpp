#include "DrawingSurface.h"
#include "Palette.h"
#include "SequenceLoader.h"
#include "ToolRunner.h"
#include "ViewDrawing.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char name[] = "/tmp/qornv-picture-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

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
                const std::vector<std::string>& environment = {}) {
    const std::string output = folder.File("picture.png");
    std::filesystem::remove(output);
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

TEST(RenderPicture, FileArgumentAndSizeGiveTheViewersPicture) {
    TemporaryFolder folder;
    const std::string file = folder.File("walk.kzt");
    std::ofstream(file) << "QORN-V Kopf\n;;;;;3\n;;;;;4\n;;;;;0\n;;;;;6\n;;;;;13\n;;;;;99\n";
    for (const char* view : {"icosahedron", "octahedron"}) {
        const Rendered rendered = Render(folder, {"--view", view, "--size", "301x257", file});
        ASSERT_EQ(rendered.run.exitStatus, 0) << rendered.run.err;
        Sequence sequence;
        ASSERT_EQ(LoadSequenceFile(sequence, file), loadComplete);
        const StructureKind kind = view == std::string("octahedron") ? StructureKind::Octahedron
                                                                     : StructureKind::Icosahedron;
        const QImage expected = RenderStructurePicture(sequence, kind, 301, 257);
        EXPECT_EQ(rendered.picture.size(), QSize(301, 257));
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
    for (const Case& c : {Case{{folder.File("missing.kzt")}, 1}, Case{{"--size", "0x5"}, 2},
                          Case{{"--view", "cube"}, 2}, Case{{"--check"}, 2}}) {
        const Rendered rendered = Render(folder, c.arguments);
        EXPECT_EQ(rendered.run.exitStatus, c.exitStatus) << c.arguments[0];
        EXPECT_NE(rendered.run.err, "");
        EXPECT_FALSE(std::filesystem::exists(folder.File("picture.png"))) << c.arguments[0];
    }
    const ToolRun unwritable = RunTool({"-o", folder.File("no/such/folder.png")});
    EXPECT_EQ(unwritable.exitStatus, 1);
    EXPECT_NE(unwritable.err, "");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
