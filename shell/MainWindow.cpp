#include "MainWindow.h"

#include "ApplicationIcon.h"
#include "DrawingArea.h"
#include "MenuItems.h"
#include "SequenceFrameBox.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

constexpr Qt::WindowFlags windowDecoration =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

} // namespace

MainWindow::MainWindow(DrawingSurface& surface, EventSink post)
    : QMainWindow(nullptr, windowDecoration), post(std::move(post)) {
    setWindowTitle(QStringLiteral("QORN-V Struktur: Ikosaeder"));
    setWindowIcon(ApplicationIcon());
    drawingArea = new DrawingArea(surface, this->post, this);
    setCentralWidget(drawingArea);
    // Expose notifications arrive at the native window, not at the widget.
    create();
    windowHandle()->installEventFilter(this);
}

void MainWindow::ShowCentred(QSize clientSize) {
    const QRect screenArea = screen()->geometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize outer = (clientSize + frame).boundedTo(screenArea.size());
    resize(outer - frame);
    move(screenArea.topLeft() + QPoint((screenArea.width() - outer.width()) / 2,
                                       (screenArea.height() - outer.height()) / 2));
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::CreateMenuBar() {
    QMenuBar* bar = menuBar();
    // A global menu outside the window would leave no menu-bar line to count.
    bar->setNativeMenuBar(false);

    QMenu* sequence = bar->addMenu(QStringLiteral("Sequenz"));
    AddMenuItem(sequence, MenuOpen, QStringLiteral("Öffnen"));
    AddMenuItem(sequence, MenuPrint, QStringLiteral("Drucken"))->setEnabled(false);
    sequence->addSeparator();
    AddMenuItem(sequence, MenuQuit, QStringLiteral("Schliesen"));

    QMenu* view = bar->addMenu(QStringLiteral("Ansicht"));
    AddMenuItem(view, MenuIcosahedron, QStringLiteral("Ikosaedrisch"))->setCheckable(true);
    AddMenuItem(view, MenuOctahedron, QStringLiteral("Oktaaedrisch"))->setCheckable(true);
    view->addSeparator();
    AddMenuItem(view, MenuClear, QStringLiteral("Löschen"));

    TickStructure(StructureKind::Icosahedron);
    // The window is shown already, so its new child must be shown by hand; it
    // takes its line from the client area now, not at the next layout pass, so
    // the drawing area's size is final before anything is drawn.
    bar->show();
    layout()->activate();
}

QAction* MainWindow::AddMenuItem(QMenu* menu, std::int32_t item, const QString& text) {
    QAction* action = menu->addAction(text);
    connect(action, &QAction::triggered, this, [this, action, item] {
        // Only the structure commands move the ticks, when they run; undo the
        // toggle Qt applies to a checkable item as it is chosen.
        if (action->isCheckable()) {
            action->setChecked(!action->isChecked());
        }
        post({MenuEvent, item});
    });
    menuActions[item] = action;
    return action;
}

void MainWindow::CreateSequenceFrame() {
    sequenceFrame = new SequenceFrameBox(QStringLiteral("Sequenz:"), drawingArea);
    sequenceFrame->setGeometry(15, 15, 510, 490);
    sequenceFrame->show();
}

void MainWindow::SetMainTitle(const QString& title) {
    setWindowTitle(title);
}

void MainWindow::SetFrameCaption(const QString& caption) {
    if (sequenceFrame != nullptr) {
        sequenceFrame->setTitle(caption);
    }
}

WindowSize MainWindow::WindowGeometry() const {
    const int menuLine = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    return {drawingArea->width(), drawingArea->height() + menuLine};
}

void MainWindow::ShowDrawing() {
    drawingArea->update();
}

void MainWindow::TickStructure(StructureKind kind) {
    menuActions.at(MenuIcosahedron)->setChecked(kind == StructureKind::Icosahedron);
    menuActions.at(MenuOctahedron)->setChecked(kind == StructureKind::Octahedron);
}

StructureKind MainWindow::TickedStructure() const {
    return menuActions.at(MenuOctahedron)->isChecked() ? StructureKind::Octahedron
                                                       : StructureKind::Icosahedron;
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

// The window system uncovers or maps the window: the view is drawn again, as
// after every erase, so what a command left (say "Löschen") gives way to the
// whole view.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        post({RepaintEvent, 0});
    }
    return QMainWindow::eventFilter(watched, event);
}
