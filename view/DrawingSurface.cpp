#include "DrawingSurface.h"

#include "Geometry.h"
#include "Palette.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QPalette>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Without an application object there is no desktop palette to ask.
constexpr QRgb fallbackFaceColour = qRgb(239, 239, 239);

// The top-left part of `from` that fits into `to`, row by row.
void CopyKept(const QImage& from, QImage& to) {
    const QImage source = from.format() == to.format() ? from : from.convertToFormat(to.format());
    const int rows = std::min(source.height(), to.height());
    const auto bytes = static_cast<std::size_t>(std::min(source.width(), to.width())) *
                       static_cast<std::size_t>(to.depth() / 8);
    for (int y = 0; y < rows; ++y) {
        std::memcpy(to.scanLine(y), source.constScanLine(y), bytes);
    }
}

} // namespace

QColor DesktopFaceColour() {
    if (qGuiApp == nullptr) {
        return QColor::fromRgb(fallbackFaceColour);
    }
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
}

QColor ColourFromPacked(std::uint32_t packed) {
    return QColor(static_cast<int>(packed & 0xFFu), static_cast<int>((packed >> 8) & 0xFFu),
                  static_cast<int>((packed >> 16) & 0xFFu));
}

DrawingSurface::DrawingSurface(QColor background) : background(background.toRgb()) {}

void DrawingSurface::Resize(int width, int height, qreal newScale) {
    if (!image.isNull() && size == QSize(width, height) && scale == newScale) {
        return;
    }
    ++changes;
    const bool keeps = scale == newScale;
    scale = newScale;
    size = QSize(width, height);
    if (width <= 0 || height <= 0) {
        image = QImage();
        return;
    }
    QImage resized(DeviceSide(width, scale), DeviceSide(height, scale), QImage::Format_RGB32);
    resized.fill(background);
    if (keeps && !image.isNull()) {
        CopyKept(image, resized);
    }
    resized.setDevicePixelRatio(scale);
    image = std::move(resized);
}

void DrawingSurface::EraseWith(QColor newBackground) {
    background = newBackground.toRgb();
    ++changes;
    if (!image.isNull()) {
        image.fill(background);
    }
}

void DrawingSurface::Restore(const QImage& picture) {
    image = picture;
    ++changes;
}

bool DrawingSurface::BeginPicture(QPaintDevice& device, int width, int height) {
    if (painter.isActive() || !painter.begin(&device)) {
        return false;
    }
    picture = &device;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, width, height), background);
    return true;
}

bool DrawingSurface::EndPicture() {
    picture = nullptr;
    return painter.end();
}

bool DrawingSurface::BeginDrawing() {
    mode = DrawingMode::Filled;
    if (picture != nullptr) {
        return painter.isActive();
    }
    ++changes;
    if (openUnits > 0) {
        ++openUnits;
        return true;
    }
    if (image.isNull()) {
        return false;
    }
    // The painter works in device pixels: the fine primitives place every
    // shape on them themselves, where Qt's scaling would round on its own.
    image.setDevicePixelRatio(1);
    if (!painter.begin(&image)) {
        image.setDevicePixelRatio(scale);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    openUnits = 1;
    return true;
}

void DrawingSurface::EndDrawing() {
    if (picture == nullptr && openUnits > 0 && --openUnits == 0) {
        painter.end();
        image.setDevicePixelRatio(scale);
    }
}

void DrawingSurface::SetDrawingMode(DrawingMode newMode) {
    mode = newMode;
}

void DrawingSurface::DrawCircle(std::int32_t x, std::int32_t y, std::int32_t radius,
                                std::uint32_t colour) {
    const QColor qColour = ColourFromPacked(colour);
    if (DrawsFine()) {
        DrawFineCircle(x, y, radius, qColour);
        return;
    }
    painter.setPen(QPen(qColour, 1));
    if (mode == DrawingMode::Filled) {
        painter.setBrush(qColour);
    } else {
        painter.setBrush(Qt::NoBrush);
    }
    if (picture != nullptr) {
        painter.drawEllipse(PixelCentre(x, y), radius, radius);
    } else {
        painter.drawEllipse(QRect(x - radius, y - radius, 2 * radius, 2 * radius));
    }
}

void DrawingSurface::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                              std::uint32_t colour) {
    if (DrawsFine()) {
        DrawFineLine(x1, y1, x2, y2, ColourFromPacked(colour));
        return;
    }
    painter.setPen(QPen(ColourFromPacked(colour), 1));
    if (picture != nullptr) {
        painter.drawLine(PixelCentre(x1, y1), PixelCentre(x2, y2));
    } else {
        painter.drawLine(x1, y1, x2, y2);
    }
}

void DrawingSurface::FillBox(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::uint32_t colour) {
    if (width <= 0 || height <= 0) {
        return;
    }
    if (DrawsFine()) {
        const int left = DeviceEdge(x);
        const int top = DeviceEdge(y);
        painter.fillRect(
            QRect(left, top, DeviceEdge(x + width) - left, DeviceEdge(y + height) - top),
            ColourFromPacked(colour));
        return;
    }
    painter.fillRect(QRect(x, y, width, height), ColourFromPacked(colour));
}

// A drawing-area pixel x spans device pixels from DeviceEdge(x) up to
// DeviceEdge(x + 1), so that boxes side by side meet without gap or overlap.
int DrawingSurface::DeviceEdge(std::int32_t at) const {
    return static_cast<int>(std::floor(at * scale + 0.5));
}

// Lines and rims grow with the scale, rounded to whole device pixels: the
// diagram keeps the weight it has beside the window's frame and menu texts,
// which the desktop draws larger too, and a 1-pixel line at twice the scale
// would be half as heavy as meant and its red hard to tell. Only the stairs
// get finer: edges fall on device pixels, in pure colours.
int DrawingSurface::DeviceLineWidth() const {
    return ::DeviceLineWidth(scale);
}

// The disc of a drawing-area circle covers the pixels x - radius to x + radius,
// so its edge lies radius + 0.5 from the pixel centre; the device pixels whose
// centres lie inside are filled. The rim is the outermost DeviceLineWidth of it.
void DrawingSurface::DrawFineCircle(std::int32_t x, std::int32_t y, std::int32_t radius,
                                    const QColor& colour) {
    const QPointF centre = DeviceCentre(x, y);
    const qreal outer = (radius + 0.5) * scale;
    QPainterPath shape; // odd-even filled: a second circle cuts the inside out
    shape.addEllipse(centre, outer, outer);
    if (mode == DrawingMode::OutlineOnly) {
        const qreal inner = outer - DeviceLineWidth();
        shape.addEllipse(centre, inner, inner);
    }
    painter.fillPath(shape, colour);
}

// From the centre of one end pixel to the other's; the square caps reach over
// both end pixels, as the end points are drawn at scale 1.
void DrawingSurface::DrawFineLine(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                  std::int32_t y2, const QColor& colour) {
    const int width = DeviceLineWidth();
    const QPointF from = DeviceCentre(x1, y1);
    const QPointF to = DeviceCentre(x2, y2);
    if (width == 1) {
        // One device pixel wide: the stepped line Qt draws at scale 1, between
        // the device pixels that hold the two centres.
        painter.setPen(QPen(colour, 1));
        painter.drawLine(
            QPoint(static_cast<int>(std::floor(from.x())), static_cast<int>(std::floor(from.y()))),
            QPoint(static_cast<int>(std::floor(to.x())), static_cast<int>(std::floor(to.y()))));
        return;
    }
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLine(from, to);
}

void ClearDrawingArea(DrawingSurface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height) {
    if (!surface.BeginDrawing()) {
        return;
    }
    const QColor face = surface.Background();
    surface.SetDrawingMode(DrawingMode::Filled);
    surface.FillBox(x, y, width, height,
                    PackRgb(static_cast<std::uint8_t>(face.red()),
                            static_cast<std::uint8_t>(face.green()),
                            static_cast<std::uint8_t>(face.blue())));
    surface.EndDrawing();
}
