#include "Palette.h"

#include <gtest/gtest.h>

namespace {

TEST(Palette, PackRgbPutsRedInTheLowByte) {
    EXPECT_EQ(PackRgb(0, 0, 0), 0u);
    EXPECT_EQ(PackRgb(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(PackRgb(0, 255, 0), 0x00FF00u);
    EXPECT_EQ(PackRgb(230, 0, 155), 230u + 155u * 65536u);
}

TEST(Palette, EntriesThatTheNodeSchemesRelyOn) {
    ASSERT_EQ(Palette.size(), 14u);
    EXPECT_EQ(Palette[1].name, "scharlach");
    EXPECT_EQ(Palette[1].colour, (Rgb{230, 0, 155}));
    EXPECT_EQ(Palette[5].name, "gelbgrün");
    EXPECT_EQ(Palette[7].colour, (Rgb{0, 255, 230}));
    EXPECT_EQ(Palette[9].colour, (Rgb{160, 0, 255}));
    EXPECT_EQ(Palette[13].name, "weiß");
    EXPECT_EQ(Palette[13].colour, (Rgb{255, 255, 255}));
}

TEST(Palette, SelectColourIgnoresIndicesOutsideTheTable) {
    struct Case {
        std::vector<std::int8_t> selections;
        Rgb expected;
    };
    const Case cases[] = {
        {{}, Rgb{0, 0, 0}},
        {{-1}, Rgb{0, 0, 0}},
        {{13, 14}, Rgb{255, 255, 255}},
        {{3, -128, 127, 14}, Rgb{255, 180, 0}},
        {{12, 0}, Rgb{0, 0, 0}},
    };
    for (const Case& c : cases) {
        Rgb current;
        for (const std::int8_t index : c.selections) {
            SelectColour(current, index);
        }
        EXPECT_EQ(current, c.expected);
    }
}

} // namespace
