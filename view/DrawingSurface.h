#pragma once

#include <QColor>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPointF>

#include <cstdint>

enum class DrawingMode : std::uint8_t { Filled = 0, OutlineOnly = 4 };

// A retained RGB32 image that every drawing unit paints into at once; the
// window only shows it. Coordinates are drawing-area pixels, clipped at the
// image edges. Colours are packed as PackRgb does (red in the low byte).
//
// Between BeginPicture and EndPicture the units draw onto another paint device
// instead, such as an SVG picture or a PDF writer.
class DrawingSurface {
  public:
    explicit DrawingSurface(QColor background);

    // Keeps what fits and fills newly gained area with the background.
    // A zero-sized surface has no image: BeginDrawing then fails.
    void Resize(int width, int height);

    const QImage& Image() const { return image; }
    QColor Background() const { return background; }

    // The desktop's colours changed: the whole image is erased in the new
    // background, which later clears use too.
    void EraseWith(QColor newBackground);

    // Puts back a picture taken from Image() earlier, of the image's size.
    void Restore(const QImage& picture);

    // Grows with every change of the image: a drawing unit opened on it, a
    // resize, an erase, a restore. Equal counts mean the same picture.
    std::uint64_t Changes() const { return changes; }

    // One whole picture of width x height pixels on `device`, starting with the
    // background. Vector devices take a single painter per document, so it
    // stays open until EndPicture. Discs and lines sit on pixel centres
    // (x + 0.5), boxes on pixel edges: rasterised without antialiasing by
    // sampling pixel centres, a disc of radius r spans x - r to x + r, a line
    // keeps both end pixels and a box covers its width x height pixels, as on
    // the image. False when the device cannot be painted on.
    bool BeginPicture(QPaintDevice& device, int width, int height);
    // False when the device reports a failure on closing.
    bool EndPicture();

    // Opens one drawing unit in Filled mode; false when there is nothing to draw on.
    // Units opened inside another share its painter, so that many small units
    // drawn together pay for opening the image once.
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
    QPointF PixelCentre(std::int32_t x, std::int32_t y) const { return {x + 0.5, y + 0.5}; }

    QImage image;
    QPaintDevice* picture = nullptr; // the device between BeginPicture and EndPicture
    QPainter painter;
    int openUnits = 0; // drawing units open on the image
    std::uint64_t changes = 0;
    QColor background;
    DrawingMode mode = DrawingMode::Filled;
};

// The desktop's face colour of dialogs and buttons, from the application palette.
QColor DesktopFaceColour();

QColor ColourFromPacked(std::uint32_t packed);

// Fills the rectangle with the surface's background in a drawing unit of its own.
void ClearDrawingArea(DrawingSurface& surface, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height);
