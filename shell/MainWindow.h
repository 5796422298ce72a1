#pragma once

#include "ContentLoss.h"
#include "Geometry.h"
#include "WindowEvent.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <map>

class DrawingArea;
class DrawingSurface;
class QActionGroup;
class QExposeEvent;
class QGroupBox;

struct WindowSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// The one window: menu bar, drawing area and SequenceFrame. It turns Qt's
// notifications into window events and hands them to `post`; it runs no
// handler itself.
class MainWindow : public QMainWindow {
  public:
    using EventSink = std::function<void(WindowEvent)>;
    // The structure shown, which the viewer holds; the window only shows it.
    using ShownStructure = std::function<StructureKind()>;

    MainWindow(DrawingSurface& surface, EventSink post, ShownStructure shown);

    // Centres the outer frame on the screen for the given client size, cut to
    // the screen first, and shows the window active in the normal state. The
    // window manager's frame is placed as the window is mapped.
    void ShowCentred(QSize clientSize);
    void CreateMenuBar();
    void CreateSequenceFrame();

    void SetFrameCaption(const QString& caption);
    // Width of the drawing area; its height plus the menu bar's.
    WindowSize WindowGeometry() const;
    // Makes what was drawn into the surface visible, all of it or `changed`.
    void ShowDrawing();
    void ShowDrawing(const QRect& changed);

    // The title and the tick in the "Ansicht" menu for the structure shown.
    void ShowStructure();

    // Closes the window instead of turning the request into a CloseEvent.
    void CloseForGood();

    QAction* MenuAction(std::int32_t item) const;
    QGroupBox* SequenceFrame() const { return sequenceFrame; }
    QWidget* DrawingWidget() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* AddMenuItem(QMenu* menu, std::int32_t item, const QString& text);
    void TickShownStructure();
    void OnExpose(QExposeEvent* event);
    void OnOwnWindowHidden(QObject* watched);

    EventSink post;
    ShownStructure shown;
    QActionGroup* structureGroup = nullptr;
    DrawingArea* drawingArea = nullptr;
    QGroupBox* sequenceFrame = nullptr;
    std::map<std::int32_t, QAction*> menuActions;
    bool closing = false;
    bool exposed = false;
    ContentLossFilter contentLoss;
    QElapsedTimer clock;
};
