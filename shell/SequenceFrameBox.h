#pragma once

#include <QGroupBox>

// A group box drawn as a thin border with its caption set into the top edge
// and nothing else: the picture beneath shows through untouched, where Qt's
// own styles would shade the inside. The caption is shown exactly as given,
// so a file name holding "&" is neither underlined nor turned into a shortcut.
class SequenceFrameBox : public QGroupBox {
  public:
    SequenceFrameBox(const QString& caption, QWidget* parent);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
