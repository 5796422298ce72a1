#include "SequenceFrameBox.h"

#include "DevicePixels.h"
#include "Geometry.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int captionIndent = 8;
constexpr int captionGap = 2;

} // namespace

SequenceFrameBox::SequenceFrameBox(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {}

// QGroupBox grabs a mnemonic shortcut from its title; captions are file names,
// not labels, so that shortcut must never fire.
bool SequenceFrameBox::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        return true;
    }
    return QGroupBox::event(event);
}

// The box lies over the drawing area, so every update of the picture inside it
// paints the box too; its lines and caption are left out where nothing of them
// is to be painted, the caption being the costly part.
//
// The lines are filled in device pixels, each edge as wide as the diagram's
// lines at this scale, inside the device pixels the box covers: a pen one
// layout pixel wide on the box's edge would lie half outside it, and where the
// scale puts the box between two device pixels, its clip cut the left and top
// edges thinner than the others, or away.
void SequenceFrameBox::paintEvent(QPaintEvent* event) {
    const QFontMetrics metrics = fontMetrics();
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
    const qreal scale = devicePixelRatio();
    const int width = DeviceLineWidth(scale);
    const int band = static_cast<int>(std::ceil(width / scale)) + 1; // in layout pixels
    const QRegion lines = QRegion(border).subtracted(border.adjusted(band, band, -band, -band));
    const QRect captionBand(0, 0, this->width(), metrics.height());
    if (!event->region().intersects(lines) && !event->region().intersects(captionBand)) {
        return;
    }
    QPainter painter(this);
    const QRect caption(captionIndent, 0, metrics.horizontalAdvance(title()), metrics.height());
    const QTransform toDevice = painter.deviceTransform();
    const QRect outer = DeviceRect(toDevice, QRectF(border));
    const int gapLeft =
        title().isEmpty()
            ? outer.left()
            : DeviceRect(toDevice, QRectF(caption.left() - captionGap, 0, 1, 1)).left();
    const int gapRight =
        title().isEmpty()
            ? outer.left()
            : DeviceRect(toDevice, QRectF(caption.right() + captionGap, 0, 1, 1)).left();

    painter.save();
    painter.setWorldTransform(toDevice.inverted());
    const QColor colour = palette().color(QPalette::Mid);
    const int top = outer.top();
    painter.fillRect(QRect(outer.left(), top, gapLeft - outer.left() + width, width), colour);
    painter.fillRect(QRect(gapRight, top, outer.right() + 1 - gapRight, width), colour);
    painter.fillRect(QRect(outer.right() + 1 - width, top, width, outer.height()), colour);
    painter.fillRect(QRect(outer.left(), outer.bottom() + 1 - width, outer.width(), width), colour);
    painter.fillRect(QRect(outer.left(), top, width, outer.height()), colour);
    painter.restore();

    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}
