#include "DrawingArea.h"

#include "DevicePixels.h"
#include "DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

DrawingArea::DrawingArea(DrawingSurface& surface, EventSink post, QWidget* parent)
    : QWidget(parent), surface(surface), post(std::move(post)) {
    // The image covers every pixel, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(0, 0);
}

// Each part is copied one image pixel to one device pixel, the image's corner
// on the device pixel where the area's clip starts: the image has the
// window's scale, so nothing is resampled. Copied in layout pixels, a part
// whose corner falls between two device pixels (below a menu bar of odd
// height at 150 %) would be resampled and come out a pixel off. What the
// image lacks of the rounded area is background. The first paint after the
// scale changed finds the image still at the old one.
void DrawingArea::paintEvent(QPaintEvent* event) {
    FollowScale();
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    const QPoint origin = DeviceRect(toDevice, QRectF(rect())).topLeft();
    painter.setWorldTransform(toDevice.inverted());
    const QImage& image = surface.Image();
    for (const QRect& part : event->region()) {
        const QRect device = DeviceRect(toDevice, QRectF(part));
        const QRect source = device.translated(-origin);
        const QRect copied = source.intersected(image.rect());
        if (copied != source) {
            painter.fillRect(device, surface.Background());
        }
        if (!copied.isEmpty()) {
            painter.drawImage(copied.translated(origin), image, copied);
        }
    }
}

void DrawingArea::FollowScale() {
    if (devicePixelRatio() == surface.Scale()) {
        return;
    }
    surface.Resize(width(), height(), devicePixelRatio());
    post({RepaintEvent, 0});
}

// Area gained by growing holds only background until the view is drawn again,
// so growth is a loss of content and asks for a repaint after the size event.
void DrawingArea::resizeEvent(QResizeEvent* event) {
    const QSize before = surface.Size();
    const qreal scaleBefore = surface.Scale();
    surface.Resize(event->size().width(), event->size().height(), devicePixelRatio());
    post({SizeEvent, 0});
    if (event->size().width() > before.width() || event->size().height() > before.height() ||
        surface.Scale() != scaleBefore) {
        post({RepaintEvent, 0});
    }
}

// A new colour scheme of the desktop: the window system would erase the whole
// window in the new face colour, so the picture is lost and drawn again.
void DrawingArea::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        surface.EraseWith(DesktopFaceColour());
        update();
        post({RepaintEvent, 0});
    } else if (event->type() == QEvent::ScreenChangeInternal) {
        FollowScale();
    }
    QWidget::changeEvent(event);
}
