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
// On a scaled screen the image holds the device's pixels, `scale` of them to a
// drawing-area pixel (its devicePixelRatio), and every shape is rasterised at
// that resolution while the coordinates stay drawing-area pixels: the window
// shows the image pixel for pixel instead of a blown-up small picture.
//
// Between BeginPicture and EndPicture the units draw onto another paint device
// instead, such as an SVG picture or a PDF writer.
class DrawingSurface {
  public:
    explicit DrawingSurface(QColor background);

    // Keeps what fits and fills newly gained area with the background; at
    // another scale nothing is kept, as a resampled picture would be blurred or
    // blocky. A zero-sized surface has no image: BeginDrawing then fails.
    void Resize(int width, int height, qreal newScale = 1);
    qreal Scale() const { return scale; }
    // In drawing-area pixels; the image may have a device pixel more where
    // the scale leaves a fraction.
    QSize Size() const { return image.isNull() ? QSize(0, 0) : size; }

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
    // Shapes on the image are drawn in device pixels, by the fine primitives,
    // unless one device pixel is one drawing-area pixel.
    bool DrawsFine() const { return picture == nullptr && scale != 1; }
    QPointF DeviceCentre(std::int32_t x, std::int32_t y) const {
        return {(x + 0.5) * scale, (y + 0.5) * scale};
    }
    int DeviceEdge(std::int32_t at) const;
    int DeviceLineWidth() const;
    void DrawFineCircle(std::int32_t x, std::int32_t y, std::int32_t radius, const QColor& colour);
    void DrawFineLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      const QColor& colour);

    QImage image;
    qreal scale = 1; // device pixels per drawing-area pixel
    QSize size;
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
