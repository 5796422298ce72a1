#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PaletteEntry {
    std::string_view name;
    Rgb colour;
};

// The 14 named node colours. "scharlach" is a pinkish red, not pure scarlet.
inline constexpr std::array<PaletteEntry, 14> Palette{{
    {"schwarz", {0, 0, 0}},
    {"scharlach", {230, 0, 155}},
    {"rot", {255, 0, 0}},
    {"orange", {255, 180, 0}},
    {"gelb", {255, 255, 0}},
    {"gelbgrün", {216, 255, 0}},
    {"grün", {0, 255, 0}},
    {"türkis", {0, 255, 230}},
    {"blau", {0, 0, 255}},
    {"indigo", {160, 0, 255}},
    {"violett", {204, 0, 255}},
    {"purpur", {255, 0, 200}},
    {"magenta", {255, 0, 255}},
    {"weiß", {255, 255, 255}},
}};

// 24-bit colour as red + green * 256 + blue * 65536; black is 0.
constexpr std::uint32_t PackRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
}
constexpr std::uint32_t PackRgb(Rgb colour) {
    return PackRgb(colour.red, colour.green, colour.blue);
}

inline constexpr std::uint32_t blackColour = PackRgb(0, 0, 0);
inline constexpr std::uint32_t redColour = PackRgb(255, 0, 0);

// Copies palette entry `index` into currentColour; an index outside 0 to 13 is
// no error and leaves currentColour as it was.
void SelectColour(Rgb& currentColour, std::int8_t index);
