#include "SequenceFrameBox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

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
void SequenceFrameBox::paintEvent(QPaintEvent* event) {
    const QFontMetrics metrics = fontMetrics();
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
    const QRegion lines = QRegion(border).subtracted(border.adjusted(1, 1, -1, -1));
    const QRect captionBand(0, 0, width(), metrics.height());
    if (!event->region().intersects(lines) && !event->region().intersects(captionBand)) {
        return;
    }
    QPainter painter(this);
    const QRect caption(captionIndent, 0, metrics.horizontalAdvance(title()), metrics.height());

    painter.setPen(palette().color(QPalette::Mid));
    const int gapLeft = title().isEmpty() ? border.left() : caption.left() - captionGap;
    const int gapRight = title().isEmpty() ? border.left() : caption.right() + captionGap;
    painter.drawLine(border.left(), border.top(), gapLeft, border.top());
    painter.drawLine(gapRight, border.top(), border.right(), border.top());
    painter.drawLine(border.topRight(), border.bottomRight());
    painter.drawLine(border.bottomRight(), border.bottomLeft());
    painter.drawLine(border.bottomLeft(), border.topLeft());

    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}
