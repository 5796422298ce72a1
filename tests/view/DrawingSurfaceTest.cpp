#include "DrawingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsNotOf(const QImage& image, QRgb background) {
    PixelSet pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (PixelAt(image, x, y) != background) {
                pixels.insert({x, y});
            }
        }
    }
    return pixels;
}

QImage DrawOneCircle(int size, int x, int y, int radius, DrawingMode mode, QRgb colour) {
    DrawingSurface surface(Qt::white);
    surface.Resize(size, size);
    EXPECT_TRUE(surface.BeginDrawing());
    surface.SetDrawingMode(mode);
    surface.DrawCircle(x, y, radius, Packed(colour));
    surface.EndDrawing();
    return surface.Image();
}

// The pixels of `disc` that touch a pixel outside it across an edge.
PixelSet EdgeOf(const PixelSet& disc) {
    PixelSet edge;
    for (const auto& [x, y] : disc) {
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            if (!disc.contains({x + dx, y + dy})) {
                edge.insert({x, y});
            }
        }
    }
    return edge;
}

class CircleTest : public testing::TestWithParam<int> {};

TEST_P(CircleTest, DiscSpansTwiceTheRadiusPlusOneAndTheRimIsItsOnePixelEdge) {
    const int radius = GetParam();
    const int c = 20;
    const QImage filled = DrawOneCircle(41, c, c, radius, DrawingMode::Filled, red);
    const PixelSet disc = PixelsNotOf(filled, white);
    EXPECT_EQ(disc.size() + PixelsNotOf(filled, red).size(), 41u * 41u); // one colour
    int minX = c, maxX = c, minY = c, maxY = c;
    for (const auto& [x, y] : disc) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
        EXPECT_TRUE(disc.contains({2 * c - x, y}) && disc.contains({x, 2 * c - y}))
            << x << "," << y;
    }
    EXPECT_EQ(std::pair(minX, maxX), std::pair(c - radius, c + radius));
    EXPECT_EQ(std::pair(minY, maxY), std::pair(c - radius, c + radius));

    const QImage outline = DrawOneCircle(41, c, c, radius, DrawingMode::OutlineOnly, black);
    EXPECT_EQ(PixelsNotOf(outline, white), EdgeOf(disc));
    EXPECT_EQ(PixelsNotOf(outline, black).size(), 41u * 41u - EdgeOf(disc).size());
}

TEST_P(CircleTest, OutlineLeavesTheInsideAsItWas) {
    const int radius = GetParam();
    const QRgb green = qRgb(0, 255, 0);
    DrawingSurface surface(Qt::white);
    surface.Resize(41, 41);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(0, 0, 41, 41, Packed(green));
    surface.SetDrawingMode(DrawingMode::OutlineOnly);
    surface.DrawCircle(20, 20, radius, Packed(red));
    surface.EndDrawing();
    EXPECT_EQ(PixelAt(surface.Image(), 20, 20), green);
    EXPECT_EQ(PixelAt(surface.Image(), 20 - radius + 1, 20), green);
    EXPECT_EQ(PixelAt(surface.Image(), 20 - radius, 20), red);
}

INSTANTIATE_TEST_SUITE_P(Radii, CircleTest, testing::Values(2, 3, 5, 7, 10, 12),
                         testing::PrintToStringParamName());

struct LineCase {
    int x1, y1, x2, y2;
};

// A red line on white of exactly max(|dx|, |dy|) + 1 pixels, both ends included.
void ExpectOnePixelLine(const QImage& image, const LineCase& c) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2);
    EXPECT_EQ(PixelAt(image, c.x1, c.y1), red);
    EXPECT_EQ(PixelAt(image, c.x2, c.y2), red);
    const auto length =
        static_cast<std::size_t>(std::max(std::abs(c.x2 - c.x1), std::abs(c.y2 - c.y1)) + 1);
    EXPECT_EQ(PixelsNotOf(image, white).size(), length);
    EXPECT_EQ(PixelsNotOf(image, red).size(),
              static_cast<std::size_t>(image.width() * image.height()) - length);
}

// Draws inside one unit onto an outside device, as for vector pictures, here an
// image with a green frame around the picture, rasterised without antialiasing.
template <typename Draw> QImage DrawOnPictureDevice(int width, int height, Draw draw) {
    const QRgb frame = qRgb(0, 255, 0);
    QImage device(width + 4, height + 4, QImage::Format_RGB32);
    device.fill(frame);
    DrawingSurface surface(Qt::white);
    EXPECT_TRUE(surface.BeginPicture(device, width, height));
    EXPECT_TRUE(surface.BeginDrawing());
    draw(surface);
    surface.EndDrawing();
    EXPECT_TRUE(surface.BeginDrawing()) << "the painter stays open for the next unit";
    surface.EndDrawing();
    EXPECT_TRUE(surface.EndPicture());
    for (int y = 0; y < device.height(); ++y) {
        for (int x = width; x < device.width(); ++x) {
            EXPECT_EQ(PixelAt(device, x, y), frame) << "outside the picture at " << x << "," << y;
        }
    }
    return device.copy(0, 0, width, height);
}

TEST(PictureDevice, NodeDiscSpansTheImagesPixelsOnBothAxes) {
    for (const int radius : {2, 3, 5, 7, 10, 12}) {
        const int c = 20;
        const QImage image = DrawOnPictureDevice(41, 41, [&](DrawingSurface& surface) {
            surface.DrawCircle(c, c, radius, Packed(red));
            surface.SetDrawingMode(DrawingMode::OutlineOnly);
            surface.DrawCircle(c, c, radius, Packed(black));
        });
        SCOPED_TRACE(radius);
        const PixelSet disc = PixelsNotOf(image, white);
        EXPECT_EQ(disc.begin()->first, c - radius);
        EXPECT_EQ(disc.rbegin()->first, c + radius);
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            EXPECT_EQ(PixelAt(image, c + dx * (radius - 1), c + dy * (radius - 1)), red);
            EXPECT_EQ(PixelAt(image, c + dx * radius, c + dy * radius), black);
            EXPECT_EQ(PixelAt(image, c + dx * (radius + 1), c + dy * (radius + 1)), white);
        }
    }
}

// No exact diagonals: there the raster engine's one-pixel lines break the tie
// between neighbouring pixels their own way.
TEST(PictureDevice, LinesKeepBothEndPixelsAndBoxesExactlyTheirOwn) {
    for (const LineCase& c : {LineCase{2, 3, 30, 9}, LineCase{30, 9, 2, 3}, LineCase{5, 2, 11, 35},
                              LineCase{4, 4, 4, 20}, LineCase{20, 7, 3, 7}}) {
        ExpectOnePixelLine(DrawOnPictureDevice(40, 40,
                                               [&](DrawingSurface& surface) {
                                                   surface.DrawLine(c.x1, c.y1, c.x2, c.y2,
                                                                    Packed(red));
                                               }),
                           c);
    }
    const QImage box = DrawOnPictureDevice(
        20, 20, [](DrawingSurface& surface) { surface.FillBox(3, 4, 5, 2, Packed(black)); });
    EXPECT_EQ(
        PixelsNotOf(box, white),
        (PixelSet{{3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}));
}

TEST(DrawingSurface, ShapesAcrossTheEdgesKeepTheirVisiblePixels) {
    // The same shapes drawn 30 pixels further in on a larger image show what the
    // clipped ones must leave inside the small one.
    auto draw = [](int size, int shift) {
        DrawingSurface surface(Qt::white);
        surface.Resize(size, size);
        EXPECT_TRUE(surface.BeginDrawing());
        surface.DrawCircle(-3 + shift, 5 + shift, 7, Packed(red));
        surface.DrawCircle(22 + shift, 21 + shift, 10, Packed(black));
        surface.DrawLine(-20 + shift, -7 + shift, 10 + shift, 12 + shift, Packed(black));
        surface.DrawLine(5 + shift, 30 + shift, 27 + shift, -9 + shift, Packed(red));
        surface.EndDrawing();
        return surface.Image();
    };
    const QImage clipped = draw(25, 0);
    const QImage whole = draw(90, 30);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 25; ++x) {
            ASSERT_EQ(PixelAt(clipped, x, y), PixelAt(whole, x + 30, y + 30)) << x << "," << y;
        }
    }
}

TEST(DrawingSurface, LinesAreOnePixelWideWithBothEndPoints) {
    for (const LineCase& c : {LineCase{2, 3, 30, 9}, LineCase{30, 9, 2, 3}, LineCase{5, 2, 11, 35},
                              LineCase{4, 4, 4, 20}, LineCase{20, 7, 3, 7}, LineCase{3, 3, 33, 33},
                              LineCase{33, 3, 3, 33}, LineCase{12, 12, 12, 12}}) {
        DrawingSurface surface(Qt::white);
        surface.Resize(40, 40);
        ASSERT_TRUE(surface.BeginDrawing());
        surface.DrawLine(c.x1, c.y1, c.x2, c.y2, Packed(red));
        surface.EndDrawing();
        ExpectOnePixelLine(surface.Image(), c);
    }
}

TEST(DrawingSurface, FillBoxColoursExactlyItsPixelsInsideTheImage) {
    struct Case {
        int x, y, width, height;
    };
    for (const Case& c :
         {Case{3, 4, 5, 2}, Case{-3, -2, 5, 4}, Case{17, 15, 10, 10}, Case{-5, 8, 40, 1},
          Case{0, 0, 20, 20}, Case{4, 4, 0, 5}, Case{4, 4, 5, 0}, Case{4, 4, -3, 6},
          Case{4, 4, 6, -1}, Case{25, 3, 4, 4}, Case{3, -9, 4, 4}}) {
        DrawingSurface surface(Qt::white);
        surface.Resize(20, 20);
        ASSERT_TRUE(surface.BeginDrawing());
        surface.FillBox(c.x, c.y, c.width, c.height, Packed(black));
        surface.EndDrawing();
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
                ASSERT_EQ(PixelAt(surface.Image(), x, y), inside ? black : white)
                    << "box " << c.x << "," << c.y << " " << c.width << "x" << c.height << " at "
                    << x << "," << y;
            }
        }
    }
}

TEST(DrawingSurface, PackedColoursKeepRedInTheLowByte) {
    for (int index = 0; index < static_cast<int>(Palette.size()); ++index) {
        DrawingSurface surface(Qt::white);
        surface.Resize(4, 4);
        ASSERT_TRUE(surface.BeginDrawing());
        surface.FillBox(0, 0, 4, 4, PackRgb(Palette[static_cast<std::size_t>(index)].colour));
        surface.EndDrawing();
        EXPECT_EQ(PixelAt(surface.Image(), 2, 2), PaletteRgb(index)) << index;
    }
    EXPECT_EQ(ColourFromPacked(PackRgb(230, 0, 155)), QColor(230, 0, 155));
}

TEST(DrawingSurface, EveryOpeningStartsFilled) {
    DrawingSurface surface(Qt::white);
    surface.Resize(20, 20);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.SetDrawingMode(DrawingMode::OutlineOnly);
    surface.EndDrawing();
    ASSERT_TRUE(surface.BeginDrawing());
    surface.DrawCircle(10, 10, 5, Packed(red));
    surface.EndDrawing();
    EXPECT_EQ(PixelAt(surface.Image(), 10, 10), red);
}

TEST(DrawingSurface, NoImageMeansNoDrawing) {
    for (const auto& [width, height] : {std::pair{0, 0}, {0, 10}, {10, 0}, {-4, 7}}) {
        DrawingSurface surface(Qt::white);
        surface.Resize(10, 10);
        surface.Resize(width, height);
        EXPECT_FALSE(surface.BeginDrawing()) << width << "x" << height;
        EXPECT_TRUE(surface.Image().isNull());
        ClearDrawingArea(surface, 0, 0, 10, 10);
        EXPECT_TRUE(surface.Image().isNull());
    }
}

TEST(DrawingSurface, ResizeKeepsWhatFitsAndFillsGainedAreaWithTheBackground) {
    const QRgb face = qRgb(10, 20, 30);
    DrawingSurface surface{QColor(face)};
    surface.Resize(10, 8);
    EXPECT_EQ(PixelAt(surface.Image(), 9, 7), face);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(6, 4, 4, 4, Packed(red));
    surface.EndDrawing();

    surface.Resize(15, 12);
    EXPECT_EQ(surface.Image().size(), QSize(15, 12));
    EXPECT_EQ(PixelAt(surface.Image(), 9, 7), red);
    EXPECT_EQ(PixelAt(surface.Image(), 5, 3), face);
    EXPECT_EQ(PixelAt(surface.Image(), 10, 7), face);
    EXPECT_EQ(PixelAt(surface.Image(), 14, 11), face);

    surface.Resize(8, 6);
    EXPECT_EQ(PixelAt(surface.Image(), 7, 5), red);
    EXPECT_EQ(PixelAt(surface.Image(), 5, 3), face);
}

TEST(DrawingSurface, ClearDrawingAreaFillsTheRectangleWithTheBackground) {
    const QRgb face = qRgb(200, 100, 50);
    DrawingSurface surface{QColor(face)};
    surface.Resize(12, 12);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(0, 0, 12, 12, Packed(black));
    surface.EndDrawing();
    ClearDrawingArea(surface, 2, 3, 5, 4);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
            ASSERT_EQ(PixelAt(surface.Image(), x, y), inside ? face : black) << x << "," << y;
        }
    }
}

// On a scaled screen every shape is drawn on device pixels, in its own colour
// only: a node disc is the device pixels whose centres lie within radius + 0.5
// of its pixel's centre, its rim the outermost line width of them. Pixels
// within a tenth of a pixel of an edge may go either way.
class ScaledSurfaceTest : public testing::TestWithParam<double> {};

TEST_P(ScaledSurfaceTest, DiscsAndBoxesLieOnDevicePixels) {
    const double scale = GetParam();
    const int lineWidth = std::max(1, static_cast<int>(std::lround(scale)));
    DrawingSurface surface(Qt::white);
    surface.Resize(41, 41, scale);
    const QImage& image = surface.Image();
    ASSERT_EQ(image.size(), QSize(DeviceSide(41, scale), DeviceSide(41, scale)));
    EXPECT_EQ(image.devicePixelRatio(), scale);
    EXPECT_EQ(surface.Size(), QSize(41, 41));
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(30, 2, 7, 3, Packed(black));
    surface.DrawCircle(15, 20, 9, Packed(red));
    surface.SetDrawingMode(DrawingMode::OutlineOnly);
    surface.DrawCircle(15, 20, 9, Packed(black));
    surface.EndDrawing();

    const QPointF centre(15.5 * scale, 20.5 * scale);
    const double outer = 9.5 * scale;
    const auto edge = [scale](int at) { return static_cast<int>(std::floor(at * scale + 0.5)); };
    const QRect box(QPoint(edge(30), edge(2)), QPoint(edge(37) - 1, edge(5) - 1));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double distance = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
            const QRgb pixel = PixelAt(image, x, y);
            if (box.contains(x, y)) {
                ASSERT_EQ(pixel, black) << "box at " << x << "," << y;
            } else if (std::abs(distance - outer) < 0.1 ||
                       std::abs(distance - (outer - lineWidth)) < 0.1) {
                ASSERT_TRUE(pixel == white || pixel == black || pixel == red) << x << "," << y;
            } else {
                const QRgb expected = distance > outer               ? white
                                      : distance > outer - lineWidth ? black
                                                                     : red;
                ASSERT_EQ(pixel, expected) << x << "," << y << " at scale " << scale;
            }
        }
    }
}

// Lines keep both end pixels, are as wide as the rims and, unlike a picture
// blown up from single pixels, step by device pixels.
TEST_P(ScaledSurfaceTest, LinesStepByDevicePixelsInTheirOwnColour) {
    const double scale = GetParam();
    const double halfWidth = std::max(1, static_cast<int>(std::lround(scale))) / 2.0;
    DrawingSurface surface(Qt::white);
    surface.Resize(40, 40, scale);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.DrawLine(2, 3, 37, 21, Packed(red));
    surface.EndDrawing();
    const QImage& image = surface.Image();
    const QPointF from(2.5 * scale, 3.5 * scale);
    const QPointF to(37.5 * scale, 21.5 * scale);
    EXPECT_EQ(PixelAt(image, static_cast<int>(from.x()), static_cast<int>(from.y())), red);
    EXPECT_EQ(PixelAt(image, static_cast<int>(to.x()), static_cast<int>(to.y())), red);
    // The end is the device pixel that holds the end pixel's centre, not the
    // next one on, where rounding would take it.
    EXPECT_EQ(PixelAt(image, static_cast<int>(to.x()) + 1, static_cast<int>(to.y()) + 1), white);
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    bool blockUneven = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = PixelAt(image, x, y);
            ASSERT_TRUE(pixel == white || pixel == red) << x << "," << y;
            const QPointF offset = QPointF(x + 0.5, y + 0.5) - from;
            const double across = std::abs(offset.x() * along.y() - offset.y() * along.x());
            if (pixel == red) {
                ASSERT_LT(across, halfWidth + 1) << x << "," << y << " at scale " << scale;
            }
            if (x % 2 == 1 && y % 2 == 1) {
                blockUneven = blockUneven || PixelAt(image, x - 1, y - 1) != pixel ||
                              PixelAt(image, x - 1, y) != pixel ||
                              PixelAt(image, x, y - 1) != pixel;
            }
        }
    }
    EXPECT_TRUE(blockUneven) << "every 2 x 2 block of device pixels is of one colour";
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledSurfaceTest, testing::Values(1.25, 1.5, 1.75, 2.0));

TEST(ScaledSurface, AnotherScaleStartsAgainInTheBackground) {
    DrawingSurface surface(Qt::white);
    surface.Resize(10, 10, 2);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(0, 0, 10, 10, Packed(red));
    surface.EndDrawing();
    surface.Resize(12, 10, 2);
    EXPECT_EQ(surface.Image().size(), QSize(24, 20));
    EXPECT_EQ(PixelAt(surface.Image(), 19, 19), red) << "the same scale keeps what fits";
    EXPECT_EQ(PixelAt(surface.Image(), 20, 19), white);
    const std::uint64_t before = surface.Changes();
    surface.Resize(12, 10, 1.5);
    EXPECT_GT(surface.Changes(), before);
    EXPECT_EQ(surface.Image().size(), QSize(18, 15));
    EXPECT_EQ(surface.Image().devicePixelRatio(), 1.5);
    EXPECT_EQ(PixelAt(surface.Image(), 5, 5), white);
}

} // namespace
