#include "MainWindow.h"

#include "ApplicationIcon.h"
#include "Desktop.h"
#include "DrawingArea.h"
#include "FileNames.h"
#include "FramePlacement.h"
#include "MenuItems.h"
#include "QtText.h"
#include "SequenceFrameBox.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QExposeEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

constexpr Qt::WindowFlags windowDecoration =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

} // namespace

MainWindow::MainWindow(DrawingSurface& surface, EventSink post, ShownStructure shown)
    : QMainWindow(nullptr, windowDecoration), post(std::move(post)), shown(std::move(shown)) {
    ShowStructure();
    setWindowIcon(ApplicationIcon());
    drawingArea = new DrawingArea(surface, this->post, this);
    setCentralWidget(drawingArea);
    setAcceptDrops(true);
    // Expose notifications arrive at the native window, not at the widget;
    // the viewer's own menus and dialogs are windows of their own, whose
    // closing is seen here too. One filter on the application sees both, and
    // each event once (a second filter on the window would see every expose
    // twice, and each closing window accounts for one expose only).
    create();
    qApp->installEventFilter(this);
    clock.start();
}

// The outer frame is centred: inside the frame the window manager told, or
// around the client area's centre where the window manager places its frame
// by centre gravity. Elsewhere the platform's own idea of the frame counts.
void MainWindow::ShowCentred(QSize clientSize) {
    const QRect screenArea = CentringArea(*screen());
    const FramePlan plan = PlanFrame(*windowHandle());
    const QMargins frame =
        plan.centreGravity || !plan.frame.isNull() ? plan.frame : windowHandle()->frameMargins();
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize outer = (clientSize + frameSize).boundedTo(screenArea.size());
    const QPoint frameTopLeft =
        screenArea.topLeft() + QPoint((screenArea.width() - outer.width()) / 2,
                                      (screenArea.height() - outer.height()) / 2);
    setGeometry(QRect(frameTopLeft + QPoint(frame.left(), frame.top()), outer - frameSize));
    ShowPlanned(*windowHandle(), plan, [this] { showNormal(); });
    raise();
    activateWindow();
}

void MainWindow::CreateMenuBar() {
    QMenuBar* bar = menuBar();
    // A global menu outside the window would leave no menu-bar line to count.
    bar->setNativeMenuBar(false);

    QMenu* sequence = bar->addMenu(Text(texts::menuSequence));
    AddMenuItem(sequence, MenuOpen, Text(texts::menuOpen));
    AddMenuItem(sequence, MenuPrint, Text(texts::menuPrint))->setEnabled(false);
    sequence->addSeparator();
    AddMenuItem(sequence, MenuQuit, Text(texts::menuQuit));

    QMenu* view = bar->addMenu(Text(texts::menuView));
    structureGroup = new QActionGroup(this);
    structureGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const Structure& structure : structures) {
        QAction* action =
            AddMenuItem(view, structure.menuItem, Text(texts::TextsOf(structure.kind).menuLabel));
        action->setCheckable(true);
        structureGroup->addAction(action);
    }
    view->addSeparator();
    AddMenuItem(view, MenuClear, Text(texts::menuClear));

    TickShownStructure();
    // The window is shown already, so its new child must be shown by hand; it
    // takes its line from the client area now, not at the next layout pass, so
    // the drawing area's size is final before anything is drawn.
    bar->show();
    layout()->activate();
}

QAction* MainWindow::AddMenuItem(QMenu* menu, std::int32_t item, const QString& text) {
    QAction* action = menu->addAction(text);
    connect(action, &QAction::triggered, this, [this, item] {
        post({MenuEvent, item});
        // The tick shows the structure shown, which changes when the command
        // runs, not as Qt checks the item chosen.
        TickShownStructure();
    });
    menuActions[item] = action;
    return action;
}

void MainWindow::CreateSequenceFrame() {
    sequenceFrame = new SequenceFrameBox(FrameCaption(), drawingArea);
    sequenceFrame->setGeometry(15, 15, 510, 490);
    sequenceFrame->show();
}

void MainWindow::SetFrameCaption(const QString& caption) {
    if (sequenceFrame != nullptr) {
        sequenceFrame->setTitle(caption);
    }
}

// The menu bar's line as laid out, not as it would like to be: at 150 % on
// Windows the two differ by a pixel, and the layout then stood a pixel short
// of the picture qornv-render draws at that scale.
WindowSize MainWindow::WindowGeometry() const {
    const int menuLine = menuWidget() != nullptr ? menuWidget()->height() : 0;
    return {drawingArea->width(), drawingArea->height() + menuLine};
}

void MainWindow::ShowDrawing() {
    drawingArea->update();
}

void MainWindow::ShowDrawing(const QRect& changed) {
    drawingArea->update(changed);
}

void MainWindow::ShowStructure() {
    setWindowTitle(Text(texts::TextsOf(shown()).windowTitle));
    TickShownStructure();
}

// The group unticks the other items.
void MainWindow::TickShownStructure() {
    if (structureGroup != nullptr) {
        menuActions.at(StructureOf(shown()).menuItem)->setChecked(true);
    }
}

void MainWindow::CloseForGood() {
    closing = true;
    close();
}

QAction* MainWindow::MenuAction(std::int32_t item) const {
    const auto found = menuActions.find(item);
    return found == menuActions.end() ? nullptr : found->second;
}

QWidget* MainWindow::DrawingWidget() const {
    return drawingArea;
}

// The window stays open until the loop has handled the request.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing) {
        event->accept();
        return;
    }
    event->ignore();
    post({CloseEvent, 0});
}

// Coming back from the minimised state counts as a new client size; the
// content comes back through the repaint.
void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
            post({SizeEvent, 0});
            post({RepaintEvent, 0});
        }
    }
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        OnExpose(static_cast<QExposeEvent*>(event));
    } else if (event->type() == QEvent::Hide) {
        OnOwnWindowHidden(watched);
    }
    return QMainWindow::eventFilter(watched, event);
}

// Mapping the window, and every expose that lost content, draw the whole view
// again; so what a command left (say "Löschen") gives way to the whole view
// when another program's window uncovers it, but not when a menu closes. A
// compositor that keeps the content (Wayland) loses none after the mapping.
void MainWindow::OnExpose(QExposeEvent* event) {
    const bool mapped = !exposed && windowHandle()->isExposed();
    exposed = windowHandle()->isExposed();
    // Qt deprecates the region for widgets, which repaint on their own; the
    // viewer needs it to tell what was uncovered.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QRegion region = event->region();
    QT_WARNING_POP
    if (exposed && (mapped || (!WindowSystemKeepsContent() &&
                               contentLoss.LosesContent(region, clock.elapsed())))) {
        post({RepaintEvent, 0});
    }
}

void MainWindow::OnOwnWindowHidden(QObject* watched) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget == this || !widget->isWindow()) {
        return;
    }
    const QRect frame = widget->frameGeometry();
    contentLoss.OwnWindowClosed(QRect(mapFromGlobal(frame.topLeft()), frame.size()),
                                devicePixelRatio(), clock.elapsed());
}

// Only a local file is taken; the drag cursor refuses anything else.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstLocalFile(event->mimeData()->urls()).isEmpty()) {
        event->acceptProposedAction();
    }
}

// The file waits its turn in the event queue like a menu command.
void MainWindow::dropEvent(QDropEvent* event) {
    const QString file = FirstLocalFile(event->mimeData()->urls());
    if (file.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    post({OpenFileEvent, 0, file});
}
