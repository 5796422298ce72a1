#include "DrawingArea.h"

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

// Each part is copied from the device pixels under it, one image pixel to one
// screen pixel: the image has the window's scale, so nothing is resampled.
// The first paint after the scale changed finds the image still at the old one.
void DrawingArea::paintEvent(QPaintEvent* event) {
    FollowScale();
    QPainter painter(this);
    const qreal scale = surface.Scale();
    for (const QRect& part : event->region()) {
        const QRectF source(part.x() * scale, part.y() * scale, part.width() * scale,
                            part.height() * scale);
        painter.drawImage(QRectF(part), surface.Image(), source);
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
