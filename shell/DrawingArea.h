#pragma once

#include "WindowEvent.h"

#include <QWidget>

#include <functional>

class DrawingSurface;

// The part of the window below the menu bar. It shows the retained image of
// the drawing surface and keeps the image's size equal to its own in device
// pixels, at the window's devicePixelRatio; the handlers draw into the image
// at once.
class DrawingArea : public QWidget {
  public:
    using EventSink = std::function<void(WindowEvent)>;

    DrawingArea(DrawingSurface& surface, EventSink post, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The window's scale changed (another screen, a new desktop setting): the
    // image is remade at the new one and the view drawn again.
    void FollowScale();

    DrawingSurface& surface;
    EventSink post;
};
