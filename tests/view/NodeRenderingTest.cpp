#include "NodeRendering.h"
#include "DrawingTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A disc of `fill` with a one-pixel black rim, exactly `radius` out in the four
// axis directions, with background beyond.
void ExpectNode(const QImage& image, NodePosition at, int radius, QRgb fill) {
    EXPECT_EQ(PixelAt(image, at.x, at.y), fill);
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int x = at.x + dx * radius;
        const int y = at.y + dy * radius;
        EXPECT_EQ(PixelAt(image, x - dx, y - dy), fill);
        EXPECT_EQ(PixelAt(image, x, y), black);
        EXPECT_EQ(PixelAt(image, x + dx, y + dy), white);
    }
}

void ExpectNoNode(const QImage& image, NodePosition at, int radius) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            ASSERT_EQ(PixelAt(image, at.x + dx, at.y + dy), white);
        }
    }
}

struct SchemeCase {
    const char* name;
    StructureKind listKind;
    StructureKind schemeKind;
    int drawnNodes;
    int radius;
    std::vector<int> paletteIndices; // per drawn node, from node 1
};

void PrintTo(const SchemeCase& c, std::ostream* out) {
    *out << c.name;
}

class NodeSchemeTest : public testing::TestWithParam<SchemeCase> {};

TEST_P(NodeSchemeTest, DrawsEachNodeInItsColourAndSize) {
    const SchemeCase& c = GetParam();
    DrawingScene scene(540, 540, c.listKind);
    DrawNodes(scene.state, scene.surface, c.schemeKind);
    const QImage& image = scene.surface.Image();
    const int listNodes = static_cast<int>(scene.state.nodeList.Size()) - 1;
    for (int n = 1; n <= listNodes; ++n) {
        SCOPED_TRACE(n);
        if (n <= c.drawnNodes) {
            ExpectNode(image, scene.Node(n), c.radius, PaletteRgb(c.paletteIndices[n - 1]));
        } else {
            ExpectNoNode(image, scene.Node(n), c.radius);
        }
    }
    EXPECT_EQ(ToQRgb(scene.state.currentColour), PaletteRgb(c.paletteIndices.back()));
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, NodeSchemeTest,
    testing::Values(SchemeCase{"IcosahedronOwnList",
                               StructureKind::Icosahedron,
                               StructureKind::Icosahedron,
                               13,
                               5,
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
                    SchemeCase{"OctahedronOwnList",
                               StructureKind::Octahedron,
                               StructureKind::Octahedron,
                               7,
                               10,
                               {1, 3, 5, 7, 9, 11, 13}},
                    // What clearing the view leaves while the octahedron is shown.
                    SchemeCase{"IcosahedronSchemeOverOctahedronList",
                               StructureKind::Octahedron,
                               StructureKind::Icosahedron,
                               7,
                               5,
                               {1, 2, 3, 4, 5, 6, 7}},
                    SchemeCase{"OctahedronSchemeOverIcosahedronList",
                               StructureKind::Icosahedron,
                               StructureKind::Octahedron,
                               7,
                               10,
                               {1, 3, 5, 7, 9, 11, 13}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NodeRendering, PlaceholderAloneOrEmptyListDrawsNothing) {
    for (int entries : {0, 1}) {
        DrawingScene scene(60, 60, StructureKind::Icosahedron);
        scene.state.nodeList.Clear();
        for (int i = 0; i < entries; ++i) {
            scene.state.nodeList.Add();
            scene.state.nodeList.Current() = NodePosition{30, 30};
        }
        const QImage before = scene.surface.Image();
        DrawNodes(scene.state, scene.surface, StructureKind::Icosahedron);
        EXPECT_EQ(scene.surface.Image(), before);
        EXPECT_EQ(scene.state.currentColour, Rgb{});
    }
}

TEST(NodeRendering, HigherNumbersLieOnTopAndEdgesClip) {
    DrawingScene scene(40, 40, StructureKind::Icosahedron);
    auto& nodes = scene.state.nodeList;
    nodes.Clear();
    for (const NodePosition at : {NodePosition{0, 0}, {20, 20}, {24, 20}, {-3, 38}}) {
        nodes.Add();
        nodes.Current() = at;
    }
    DrawNodes(scene.state, scene.surface, StructureKind::Icosahedron);
    const QImage& image = scene.surface.Image();
    EXPECT_EQ(PixelAt(image, 19, 20), black); // node 2's rim over node 1's inside
    EXPECT_EQ(PixelAt(image, 18, 20), PaletteRgb(1));
    EXPECT_EQ(PixelAt(image, 22, 20), PaletteRgb(2));
    EXPECT_EQ(PixelAt(image, 0, 38), PaletteRgb(3));
    EXPECT_EQ(PixelAt(image, 2, 38), black);
    EXPECT_EQ(PixelAt(image, 3, 38), white);
}

TEST(NodeRendering, NoImageDrawsNothingAndDoesNotFail) {
    DrawingScene scene(540, 540, StructureKind::Icosahedron);
    scene.surface.Resize(0, 0);
    DrawNodes(scene.state, scene.surface, StructureKind::Icosahedron);
    EXPECT_TRUE(scene.surface.Image().isNull());
    EXPECT_EQ(scene.state.currentColour, Rgb{}); // no node was opened, so none was coloured
}

} // namespace
