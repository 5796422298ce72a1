#include "Structures.h"
#include "Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string_view>

namespace {

// What the rest of the viewer takes for granted of every entry, so that a
// structure more needs nothing but its entry.
TEST(Structure, EveryEntryIsOneTheViewerCanShow) {
    Layout layout;
    UpdateLayout(layout, 540, 540);
    std::set<std::string_view> names;
    std::set<std::int32_t> items;
    for (const Structure& structure : structures) {
        const std::string_view name = structure.commandLineName;
        EXPECT_EQ(FindStructure(structure.kind), &structure) << name;
        EXPECT_EQ(StructureNamed(name), structure.kind) << name;
        EXPECT_EQ(StructureOfMenuItem(structure.menuItem), structure.kind) << name;
        EXPECT_TRUE(names.insert(structure.commandLineName).second) << name;
        EXPECT_TRUE(items.insert(structure.menuItem).second) << name;
        // Walks of NodeList entries fit in a shape number of 16 bits.
        EXPECT_LE(structure.NodeCount(), 128u) << name;
        NodeList nodeList;
        ComputeNodePositions(nodeList, layout, structure.kind);
        EXPECT_EQ(nodeList.Size(), structure.NodeCount()) << name;
        for (const std::int8_t corner : structure.corners) {
            ASSERT_GT(corner, 0) << name;
            ASSERT_LT(static_cast<std::size_t>(corner), structure.NodeCount() - 1) << name;
            const NodePosition at = nodeList.Elements()[static_cast<std::size_t>(corner)];
            EXPECT_NEAR(std::hypot(at.x - layout.centreX, at.y - layout.centreY),
                        layout.outerRadius, 1.0)
                << name << " corner " << int{corner} << " stands on the outer ring";
        }
    }
    EXPECT_EQ(FindStructure(static_cast<StructureKind>(structures.size())), nullptr);
    EXPECT_EQ(FindStructure(static_cast<StructureKind>(-1)), nullptr);
    EXPECT_EQ(StructureNamed("dodecahedron"), std::nullopt);
}

} // namespace
