#pragma once

#include "DrawingSurface.h"
#include "Palette.h"
#include "ViewerState.h"

#include <QImage>

#include <cstdint>
#include <initializer_list>
#include <vector>

inline constexpr QRgb white = 0xFFFFFFFFu;
inline constexpr QRgb black = 0xFF000000u;
inline constexpr QRgb red = 0xFFFF0000u;

inline QRgb ToQRgb(Rgb colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}
inline QRgb PaletteRgb(int index) {
    return ToQRgb(Palette[static_cast<std::size_t>(index)].colour);
}

inline std::uint32_t Packed(QRgb colour) {
    return PackRgb(static_cast<std::uint8_t>(qRed(colour)),
                   static_cast<std::uint8_t>(qGreen(colour)),
                   static_cast<std::uint8_t>(qBlue(colour)));
}

// Outside the image counts as background, so callers can probe clipped shapes.
inline QRgb PixelAt(const QImage& image, int x, int y, QRgb outside = white) {
    if (!image.valid(x, y)) {
        return outside;
    }
    return image.pixel(x, y) | 0xFF000000u;
}

inline std::vector<std::int8_t> Steps(std::initializer_list<int> values) {
    std::vector<std::int8_t> steps;
    for (int value : values) {
        steps.push_back(static_cast<std::int8_t>(value));
    }
    return steps;
}

inline void SetList(CursorList<std::int8_t>& list, const std::vector<std::int8_t>& values) {
    list.Clear();
    list.AppendRange(values);
}

// A viewer state over a width x height drawing area showing `kind`, and a white
// surface of that size.
struct DrawingScene {
    DrawingScene(int width, int height, StructureKind kind) : surface(Qt::white) {
        surface.Resize(width, height);
        UpdateLayout(state.layout, width, height);
        ComputeNodePositions(state.nodeList, state.layout, kind);
    }

    NodePosition Node(int n) const {
        return state.nodeList.Elements()[static_cast<std::size_t>(n)];
    }

    ViewerState state;
    DrawingSurface surface;
};
