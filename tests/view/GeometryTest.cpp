#include "Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<NodePosition> PositionsOf(const NodeList& nodeList) {
    return {nodeList.Elements().begin(), nodeList.Elements().end()};
}

std::vector<NodePosition> Compute(StructureKind kind, int width, int height) {
    Layout layout;
    UpdateLayout(layout, width, height);
    NodeList nodeList;
    ComputeNodePositions(nodeList, layout, kind);
    return PositionsOf(nodeList);
}

const std::vector<NodePosition> icosahedron540 = {
    {0, 0},     {400, 195}, {415, 309}, {339, 310}, {376, 376}, {270, 420}, {164, 376},
    {201, 310}, {125, 309}, {140, 195}, {231, 125}, {270, 190}, {309, 125}, {270, 270}};
const std::vector<NodePosition> octahedron540 = {{0, 0},     {400, 195}, {400, 345}, {270, 420},
                                                 {140, 345}, {140, 195}, {270, 120}, {270, 270}};

TEST(Geometry, LayoutFor540) {
    Layout layout;
    UpdateLayout(layout, 540, 540);
    EXPECT_EQ(layout, (Layout{540, 540, 270, 270, 80, 150, 150, 5, 7}));
}

TEST(Geometry, CentreTruncates) {
    struct Case {
        int width, height, centreX, centreY;
    };
    for (const Case& c : {Case{541, 499, 270, 249}, Case{1, 1, 0, 0}, Case{0, 0, 0, 0},
                          Case{3001, 2999, 1500, 1499}}) {
        Layout layout;
        UpdateLayout(layout, c.width, c.height);
        EXPECT_EQ(layout.centreX, c.centreX);
        EXPECT_EQ(layout.centreY, c.centreY);
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
    }
}

// A scaled screen's picture covers every layout pixel whole: a part of a
// device pixel counts as one.
TEST(Geometry, DeviceSidesRoundUp) {
    EXPECT_EQ(DeviceSide(541, 1.25), 677);
}

TEST(Geometry, ExactPositionsFor540) {
    EXPECT_EQ(Compute(StructureKind::Icosahedron, 540, 540), icosahedron540);
    EXPECT_EQ(Compute(StructureKind::Octahedron, 540, 540), octahedron540);
}

// The diagram never scales: for every size each node keeps its offset from the
// centre, the placeholder stays at (0, 0) and the last entry is the centre.
TEST(Geometry, EveryWindowSizeShiftsTheSameDiagram) {
    const struct {
        StructureKind kind;
        const std::vector<NodePosition>& at540;
    } kinds[] = {{StructureKind::Icosahedron, icosahedron540},
                 {StructureKind::Octahedron, octahedron540}};
    for (const auto& kind : kinds) {
        for (int width : {0, 1, 2, 289, 290, 541, 777, 3000}) {
            for (int height : {0, 1, 499, 540, 2999}) {
                const auto positions = Compute(kind.kind, width, height);
                ASSERT_EQ(positions.size(), kind.at540.size());
                EXPECT_EQ(positions.front(), (NodePosition{0, 0}));
                EXPECT_EQ(positions.back(), (NodePosition{width / 2, height / 2}));
                for (std::size_t n = 1; n < positions.size(); ++n) {
                    EXPECT_EQ(positions[n].x - width / 2, kind.at540[n].x - 270) << n;
                    EXPECT_EQ(positions[n].y - height / 2, kind.at540[n].y - 270) << n;
                }
            }
        }
    }
    EXPECT_LT(Compute(StructureKind::Icosahedron, 289, 540)[8].x, 0);
}

TEST(Geometry, RingsHaveTheirRadii) {
    const auto positions = Compute(StructureKind::Icosahedron, 540, 540);
    for (std::size_t n = 1; n <= 12; ++n) {
        const double distance = std::hypot(positions[n].x - 270, positions[n].y - 270);
        const double ring = (n == 3 || n == 7 || n == 11) ? 80 : 150;
        EXPECT_NEAR(distance, ring, 0.75) << n;
    }
}

TEST(Geometry, RebuildingReplacesTheWholeList) {
    Layout layout;
    NodeList nodeList;
    InitLayout(layout, nodeList, 540, 540);
    EXPECT_EQ(PositionsOf(nodeList), icosahedron540);
    ComputeNodePositions(nodeList, layout, StructureKind::Icosahedron);
    EXPECT_EQ(nodeList.Size(), 14u);
    ComputeNodePositions(nodeList, layout, StructureKind::Octahedron);
    EXPECT_EQ(PositionsOf(nodeList), octahedron540);
    ComputeNodePositions(nodeList, layout, static_cast<StructureKind>(2));
    EXPECT_EQ(nodeList.Size(), 0u);
    ComputeNodePositions(nodeList, layout, static_cast<StructureKind>(-1));
    EXPECT_EQ(nodeList.Size(), 0u);
}

} // namespace
