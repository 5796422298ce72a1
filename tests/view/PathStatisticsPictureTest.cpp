#include "DrawingTestSupport.h"
#include "PathStatistics.h"
#include "ViewDrawing.h"

#include <QPaintDevice>
#include <QPaintEngine>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>

namespace {

// The shapes a picture is made of, as the drawing hands them to the painter:
// lines with their pen colour, circles with their centre and radius.
struct RecordedShapes {
    std::set<std::tuple<int, int, int, int, QRgb>> lines; // x1, y1, x2, y2, colour
    std::set<std::tuple<int, int, int>> circles;          // x, y, radius
};

class RecordingEngine final : public QPaintEngine {
  public:
    explicit RecordingEngine(RecordedShapes& shapes) : QPaintEngine(AllFeatures), shapes(shapes) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyPen) {
            pen = state.pen().color().rgb();
        }
    }
    // Shapes sit on pixel centres: x + 0.5.
    void drawLines(const QLineF* lines, int count) override {
        for (int k = 0; k < count; ++k) {
            shapes.lines.emplace(Pixel(lines[k].x1()), Pixel(lines[k].y1()), Pixel(lines[k].x2()),
                                 Pixel(lines[k].y2()), pen);
        }
    }
    void drawEllipse(const QRectF& rect) override {
        shapes.circles.emplace(Pixel(rect.center().x()), Pixel(rect.center().y()),
                               static_cast<int>(std::lround(rect.width() / 2)));
    }
    void drawRects(const QRectF*, int) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

  private:
    static int Pixel(qreal coordinate) { return static_cast<int>(std::floor(coordinate)); }

    RecordedShapes& shapes;
    QRgb pen = 0;
};

class RecordingDevice final : public QPaintDevice {
  public:
    RecordingDevice(int width, int height) : width(width), height(height), engine(shapes) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    RecordedShapes shapes;

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return width;
        case PdmHeight:
            return height;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

  private:
    int width;
    int height;
    mutable RecordingEngine engine;
};

// Steps as a file gives them (0 to 99), rich in what the walk rules act on:
// markers, runs of corners of either structure, repeats, steps without a node.
std::vector<std::int8_t> RandomFileSteps(std::mt19937& random, std::size_t length) {
    std::uniform_int_distribution<int> percent(0, 99);
    static constexpr int corners[] = {1, 5, 9, 2, 6, 10}; // and their octahedron classes' kin
    std::vector<std::int8_t> steps;
    while (steps.size() < length) {
        const int roll = percent(random);
        const int value = roll < 15   ? 0
                          : roll < 40 ? corners[percent(random) % 6]
                          : roll < 92 ? 1 + percent(random) % 13
                                      : 14 + percent(random) % 86;
        const int repeats = percent(random) < 15 ? 1 + percent(random) % 3 : 1;
        steps.insert(steps.end(), static_cast<std::size_t>(repeats),
                     static_cast<std::int8_t>(value));
    }
    return steps;
}

// A line or marker dot is in the picture exactly when its count is above 0: the
// set of shapes the drawing makes, node discs aside, equals the set of counted
// shapes, colours included.
TEST(PathStatisticsPicture, CountedShapesAreExactlyTheDrawnOnes) {
    constexpr int side = 540; // every node on a spot of its own
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> length(0, 160);
    int picturesWithLines = 0;
    int picturesWithMarkers = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const StructureKind kind =
            trial % 2 == 0 ? StructureKind::Icosahedron : StructureKind::Octahedron;
        Sequence sequence;
        const auto steps = RandomFileSteps(random, static_cast<std::size_t>(length(random)));
        for (const std::int8_t step : steps) {
            AppendStep(sequence, step);
        }
        RecordingDevice device(side, side);
        ASSERT_TRUE(DrawStructurePicture(sequence, kind, side, side, device));

        Layout layout;
        NodeList nodes;
        UpdateLayout(layout, side, side);
        ComputeNodePositions(nodes, layout, kind);
        const auto nodeAt = [&](int x, int y) {
            const auto positions = nodes.Elements();
            return static_cast<std::size_t>(
                std::find(positions.begin(), positions.end(), NodePosition{x, y}) -
                positions.begin());
        };
        const int markerRadius = layout.markerRadius + (kind == StructureKind::Octahedron ? 5 : 0);

        // Drawn: lines as (smaller node, larger node, red), marker dots by node.
        std::set<std::tuple<std::size_t, std::size_t, bool>> drawnLines;
        std::set<std::size_t> drawnMarkers;
        for (const auto& [x1, y1, x2, y2, colour] : device.shapes.lines) {
            const std::size_t from = nodeAt(x1, y1);
            const std::size_t to = nodeAt(x2, y2);
            drawnLines.emplace(std::min(from, to), std::max(from, to), colour == qRgb(255, 0, 0));
        }
        for (const auto& [x, y, radius] : device.shapes.circles) {
            if (radius == markerRadius) {
                drawnMarkers.insert(nodeAt(x, y));
            }
        }

        const PathStatistics statistics = CountPath(
            kind, (kind == StructureKind::Octahedron ? sequence.classList : sequence.stepList)
                      .Elements());
        std::set<std::tuple<std::size_t, std::size_t, bool>> countedLines;
        std::set<std::size_t> countedMarkers;
        for (std::size_t a = 1; a < statistics.nodeCount; ++a) {
            for (std::size_t b = a; b < statistics.nodeCount; ++b) {
                if (statistics.LineRuns(a, b) > 0) {
                    countedLines.emplace(a, b, statistics.LineRed(a, b));
                }
            }
            if (statistics.markerDots[a] > 0) {
                countedMarkers.insert(a);
            }
        }
        EXPECT_EQ(drawnLines, countedLines) << "trial " << trial;
        EXPECT_EQ(drawnMarkers, countedMarkers) << "trial " << trial;
        picturesWithLines += drawnLines.empty() ? 0 : 1;
        picturesWithMarkers += drawnMarkers.empty() ? 0 : 1;
        if (HasFailure()) {
            return;
        }
    }
    // The recording sees the path, so the sets above were not both empty.
    EXPECT_GT(picturesWithLines, 1500);
    EXPECT_GT(picturesWithMarkers, 1000);
}

} // namespace
