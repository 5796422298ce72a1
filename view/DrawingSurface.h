#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdint>

enum class DrawingMode : std::uint8_t { Filled = 0, OutlineOnly = 4 };

// A retained RGB32 image that every drawing unit paints into at once; the
// window only shows it. Coordinates are drawing-area pixels, clipped at the
// image edges. Colours are packed as PackRgb does (red in the low byte).
class DrawingSurface {
  public:
    explicit DrawingSurface(QColor background);

    // Keeps what fits and fills newly gained area with the background.
    // A zero-sized surface has no image: BeginDrawing then fails.
    void Resize(int width, int height);

    const QImage& Image() const { return image; }
    QColor Background() const { return background; }

    // Opens one drawing unit in Filled mode; false when there is nothing to draw on.
    bool BeginDrawing();
    void EndDrawing();
    void SetDrawingMode(DrawingMode mode);

    // Valid between BeginDrawing and EndDrawing only.
    void DrawCircle(std::int32_t x, std::int32_t y, std::int32_t radius, std::uint32_t colour);
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t colour);
    void FillBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 std::uint32_t colour);

  private:
    QImage image;
    QPainter painter;
    QColor background;
    DrawingMode mode = DrawingMode::Filled;
};

// The desktop's face colour of dialogs and buttons, from the application palette.
QColor DesktopFaceColour();

QColor ColourFromPacked(std::uint32_t packed);

// Fills the rectangle with the surface's background in a drawing unit of its own.
void ClearDrawingArea(DrawingSurface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height);
