#include "SequenceFrameBox.h"

#include <QEvent>
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

void SequenceFrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
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
