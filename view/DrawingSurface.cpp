#include "DrawingSurface.h"

#include "Palette.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPen>

namespace {

// Without an application object there is no desktop palette to ask.
constexpr QRgb fallbackFaceColour = qRgb(239, 239, 239);

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

void DrawingSurface::Resize(int width, int height) {
    if (!image.isNull() && image.width() == width && image.height() == height) {
        return;
    }
    ++changes;
    if (width <= 0 || height <= 0) {
        image = QImage();
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(background);
    if (!image.isNull()) {
        QPainter copier(&resized);
        copier.drawImage(0, 0, image);
    }
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
    if (image.isNull() || !painter.begin(&image)) {
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    openUnits = 1;
    return true;
}

void DrawingSurface::EndDrawing() {
    if (picture == nullptr && openUnits > 0 && --openUnits == 0) {
        painter.end();
    }
}

void DrawingSurface::SetDrawingMode(DrawingMode newMode) {
    mode = newMode;
}

void DrawingSurface::DrawCircle(std::int32_t x, std::int32_t y, std::int32_t radius,
                                std::uint32_t colour) {
    const QColor qColour = ColourFromPacked(colour);
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
    painter.fillRect(QRect(x, y, width, height), ColourFromPacked(colour));
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
