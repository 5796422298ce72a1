#include "PathRendering.h"
#include "DrawingTestSupport.h"
#include "NodeRendering.h"
#include "ViewDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// One expected shape of a path: a line between two nodes, or a marker dot on one
// (to = 0).
struct Shape {
    int from;
    int to;
    QRgb colour;
};

Shape Line(int from, int to, QRgb colour) {
    return {from, to, colour};
}
Shape Marker(int at) {
    return {at, 0, black};
}

struct PathCase {
    const char* name;
    StructureKind kind;
    std::vector<int> steps;
    std::vector<Shape> shapes;
    bool pathDrawn = true;
};

void DrawPath(DrawingScene& scene, StructureKind kind, const std::vector<std::int8_t>& steps) {
    auto& list = kind == StructureKind::Octahedron ? scene.state.sequence.classList
                                                   : scene.state.sequence.stepList;
    SetList(list, steps);
    if (kind == StructureKind::Octahedron) {
        DrawStructureView(scene.state, scene.surface, StructureKind::Octahedron);
    } else {
        DrawStructureView(scene.state, scene.surface, StructureKind::Icosahedron);
    }
}

// The picture the shapes make, built with the surface directly.
QImage ExpectedPicture(const PathCase& c) {
    DrawingScene scene(540, 540, c.kind);
    const int markerRadius =
        scene.state.layout.markerRadius + (c.kind == StructureKind::Octahedron ? 5 : 0);
    DrawNodes(scene.state, scene.surface, c.kind);
    for (const Shape& shape : c.shapes) {
        const NodePosition from = scene.Node(shape.from);
        EXPECT_TRUE(scene.surface.BeginDrawing());
        if (shape.to == 0) {
            scene.surface.DrawCircle(from.x, from.y, markerRadius, Packed(black));
        } else {
            const NodePosition to = scene.Node(shape.to);
            scene.surface.DrawLine(from.x, from.y, to.x, to.y, Packed(shape.colour));
        }
        scene.surface.EndDrawing();
    }
    if (c.pathDrawn) {
        DrawNodes(scene.state, scene.surface, c.kind);
    }
    return scene.surface.Image();
}

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.name;
}

class PathCaseTest : public testing::TestWithParam<PathCase> {};

TEST_P(PathCaseTest, DrawsExactlyTheExpectedShapes) {
    const PathCase& c = GetParam();
    DrawingScene scene(540, 540, c.kind);
    DrawPath(scene, c.kind, std::vector<std::int8_t>(c.steps.begin(), c.steps.end()));
    EXPECT_EQ(scene.surface.Image(), ExpectedPicture(c));
}

constexpr auto ico = StructureKind::Icosahedron;
constexpr auto octa = StructureKind::Octahedron;

constexpr QRgb K = black;
constexpr QRgb R = red;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Walks, PathCaseTest, testing::Values(
    PathCase{"MarkerBetweenOrdinaryNodes", ico, {3, 4, 0, 6}, {Line(3, 4, K), Marker(4), Line(4, 6, K)}},
    PathCase{"LeadingMarkersIgnored", ico, {0, 0, 3, 0, 4}, {Marker(3), Line(3, 4, K)}},
    PathCase{"CornersOnlyDrawNoLine", ico, {1, 5, 9}, {}},
    PathCase{"MarkerInsideCornerRun", ico, {1, 0, 5, 2}, {Marker(1), Line(1, 2, R)}},
    PathCase{"CornerRunCollapsesOntoFirst", ico, {2, 1, 5, 6}, {Line(2, 1, R), Line(1, 6, R)}},
    PathCase{"IntoAndOutOfCornerRun", ico, {3, 1, 5, 7}, {Line(3, 1, R), Line(1, 7, R)}},
    PathCase{"RepeatedOrdinaryNode", ico, {6, 6, 7}, {Line(6, 6, K), Line(6, 7, K)}},
    PathCase{"OctahedronFromSteps4And9And13", octa, {2, 5, 7}, {Line(2, 5, R), Line(5, 7, R)}},
    PathCase{"OctahedronCornersAndMarkers", octa, {4, 0, 3, 1, 6, 0},
             {Marker(4), Line(4, 3, R), Line(3, 6, R), Marker(6)}},
    PathCase{"OctahedronSkipsNodesWithoutEntry", octa, {9, 2, 8, 4, -1, 6}, {Line(2, 4, K), Line(4, 6, K)}},
    PathCase{"StepsWithoutNodeAreSkipped", ico, {14, 3, 99, 4, 50, 0, 1},
             {Line(3, 4, K), Marker(4), Line(4, 1, R)}},
    PathCase{"SkippedStepKeepsTheCornerRun", ico, {1, 20, 5, -7, 6}, {Line(1, 6, R)}},
    PathCase{"SkippedStepBeforeAMarker", ico, {8, 77, 0}, {Marker(8)}},
    PathCase{"NoElements", ico, {}, {}, false},
    PathCase{"OneElement", ico, {7}, {}, false},
    PathCase{"OctahedronOneElement", octa, {3}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PathRendering, EmptyNodeListDrawsNothing) {
    DrawingScene scene(100, 100, ico);
    scene.state.nodeList.Clear();
    const QImage before = scene.surface.Image();
    DrawPath(scene, ico, Steps({1, 2, 3, 0}));
    EXPECT_EQ(scene.surface.Image(), before);
}

// Tells how many of the pixels that a line from one point to another would cover
// have `colour` in `image`, leaving out those on or next to a node disc.
struct LineSamples {
    int total = 0;
    int matching = 0;
};

LineSamples SampleSegment(const QImage& image, const NodeList& nodes, NodePosition from,
                          NodePosition to, QRgb colour) {
    DrawingSurface scratch(Qt::white);
    scratch.Resize(image.width(), image.height());
    EXPECT_TRUE(scratch.BeginDrawing());
    scratch.DrawLine(from.x, from.y, to.x, to.y, Packed(black));
    scratch.EndDrawing();
    LineSamples samples;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (PixelAt(scratch.Image(), x, y) != black) {
                continue;
            }
            bool nearDisc = false;
            for (const NodePosition node : nodes.Elements().subspan(1)) {
                nearDisc = nearDisc || std::hypot(x - node.x, y - node.y) < 9.0;
            }
            if (!nearDisc) {
                ++samples.total;
                samples.matching += PixelAt(image, x, y) == colour ? 1 : 0;
            }
        }
    }
    return samples;
}

LineSamples SampleLine(const QImage& image, const NodeList& nodes, int a, int b, QRgb colour) {
    const auto positions = nodes.Elements();
    return SampleSegment(image, nodes, positions[static_cast<std::size_t>(a)],
                         positions[static_cast<std::size_t>(b)], colour);
}

// Where a line or a dot must actually show, so that the comparisons above are
// not between two empty pictures.
TEST(PathRendering, LinesAndMarkerRingsShowInTheirColours) {
    DrawingScene scene(540, 540, ico);
    DrawPath(scene, ico, Steps({2, 1, 5, 6, 0}));
    const QImage& image = scene.surface.Image();
    const LineSamples drawn = SampleLine(image, scene.state.nodeList, 1, 6, red);
    EXPECT_EQ(drawn.matching, drawn.total);
    EXPECT_EQ(SampleLine(image, scene.state.nodeList, 1, 5, red).matching, 0);
    EXPECT_EQ(SampleLine(image, scene.state.nodeList, 1, 5, black).matching, 0);
    // The marker dot outlives the final nodes as a ring 2 pixels wide around node 6.
    const NodePosition n6 = scene.Node(6);
    EXPECT_EQ(PixelAt(image, n6.x, n6.y - 6), black);
    EXPECT_EQ(PixelAt(image, n6.x, n6.y - 7), black);
    EXPECT_EQ(PixelAt(image, n6.x, n6.y - 8), white);
    EXPECT_EQ(PixelAt(image, n6.x, n6.y), PaletteRgb(6));
}

bool IsCornerNode(int n) {
    return n == 1 || n == 5 || n == 9;
}

// The part of line a-b that no other line of the start-up picture covers: the
// lines from a corner to the node opposite it run through the centre node, and
// beyond it lie under the black line from the centre to that node.
LineSamples SampleOwnPart(const QImage& image, const NodeList& nodes, int a, int b, QRgb colour) {
    static constexpr std::pair<int, int> throughCentre[] = {{1, 7}, {5, 11}, {9, 3}};
    for (const auto& [corner, opposite] : throughCentre) {
        if (std::minmax(a, b) == std::minmax(corner, opposite)) {
            return SampleLine(image, nodes, corner, 13, colour);
        }
    }
    return SampleLine(image, nodes, a, b, colour);
}

TEST(StartupPicture, RedFromCornersBlackAmongTheOthersNoneBetweenCorners) {
    DrawingScene scene(540, 540, ico);
    BuildStartupSequence(scene.state, scene.surface);
    const QImage& image = scene.surface.Image();
    const NodeList& nodes = scene.state.nodeList;
    int red = 0, blackLines = 0;
    for (int a = 1; a <= 13; ++a) {
        for (int b = a + 1; b <= 13; ++b) {
            SCOPED_TRACE(testing::Message() << "line " << a << "-" << b);
            if (IsCornerNode(a) && IsCornerNode(b)) {
                const LineSamples reds = SampleLine(image, nodes, a, b, ::red);
                const LineSamples blacks = SampleLine(image, nodes, a, b, black);
                // Only where other lines cross or run alongside.
                EXPECT_LT((reds.matching + blacks.matching) * 10, reds.total * 2);
                continue;
            }
            const bool fromCorner = IsCornerNode(a) || IsCornerNode(b);
            const LineSamples samples =
                SampleOwnPart(image, nodes, a, b, fromCorner ? ::red : black);
            EXPECT_GT(samples.total, 10);
            EXPECT_GE(samples.matching * 10, samples.total * 9);
            (fromCorner ? red : blackLines) += 1;
        }
    }
    EXPECT_EQ(red, 30);
    EXPECT_EQ(blackLines, 45);
}

TEST(StartupPicture, ClearsTheViewAreaAndLeavesTheMarginAndClassList) {
    const QRgb face = qRgb(1, 2, 3);
    DrawingScene scene(540, 540, ico);
    DrawingSurface surface{QColor(face)};
    surface.Resize(540, 540);
    ASSERT_TRUE(surface.BeginDrawing());
    surface.FillBox(0, 0, 540, 540, Packed(white));
    surface.EndDrawing();
    SetList(scene.state.sequence.classList, Steps({1, 2}));
    BuildStartupSequence(scene.state, surface);
    EXPECT_EQ(PixelAt(surface.Image(), 29, 29), white);
    EXPECT_EQ(PixelAt(surface.Image(), 30, 30), face);
    EXPECT_EQ(PixelAt(surface.Image(), 509, 499), face);
    EXPECT_EQ(PixelAt(surface.Image(), 510, 499), white);
    EXPECT_EQ(PixelAt(surface.Image(), 509, 500), white);
    EXPECT_EQ(scene.state.sequence.stepList.Size(), startupStepCount);
    EXPECT_EQ(scene.state.sequence.classList.Size(), 2u);
}

} // namespace
