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

void DrawingArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& part : event->region()) {
        painter.drawImage(part, surface.Image(), part);
    }
}

// Area gained by growing holds only background until the view is drawn again,
// so growth is a loss of content and asks for a repaint after the size event.
void DrawingArea::resizeEvent(QResizeEvent* event) {
    const QSize before = surface.Image().size();
    surface.Resize(event->size().width(), event->size().height());
    post({SizeEvent, 0});
    if (event->size().width() > before.width() || event->size().height() > before.height()) {
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
    }
    QWidget::changeEvent(event);
}
