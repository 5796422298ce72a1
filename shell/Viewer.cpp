#include "Viewer.h"

#include "PathRendering.h"
#include "ViewDrawing.h"

#include <QCoreApplication>

namespace {

constexpr QSize startClientSize(540, 540);

} // namespace

Viewer::Viewer(EndProgram endProgram, FileWatch::Notifications notifications)
    : endProgram(std::move(endProgram)), surface(DesktopFaceColour()),
      loop([this](const WindowEvent& event) { Dispatch(event); }),
      watch([this](WindowEvent event) { Post(event); }, notifications) {}

Viewer::~Viewer() = default;

void Viewer::Start() {
    OpenMainWindow();
    const WindowSize size = window->WindowGeometry();
    InitLayout(state.layout, state.nodeList, size.width, size.height);
    BuildStartupSequence(state, surface);
    window->ShowDrawing();
}

void Viewer::OpenMainWindow() {
    window = std::make_unique<MainWindow>(
        surface, [this](WindowEvent event) { Post(event); }, [this] { return shown; });
    window->ShowCentred(startClientSize);
    window->CreateMenuBar();
    window->CreateSequenceFrame();
}

void Viewer::Dispatch(const WindowEvent& event) {
    switch (event.code) {
    case RepaintEvent:
        OnRepaint();
        break;
    case SizeEvent:
        OnResize();
        break;
    case CloseEvent:
        QuitProgram();
        break;
    case MenuEvent:
        OnMenuCommand(event.item);
        break;
    case OpenFileEvent:
        OnOpenFile(event.file);
        break;
    case FileChangedEvent:
        OnFileChanged();
        break;
    default:
        break;
    }
}

void Viewer::OnRepaint() {
    DrawView(shown);
}

// The diagram stays around its old centre until a command places it anew.
void Viewer::OnResize() {
    const WindowSize size = window->WindowGeometry();
    UpdateLayout(state.layout, size.width, size.height);
    OnRepaint();
}

void Viewer::QuitProgram() {
    ended = true;
    loop.Stop();
    watch.Stop();
    window->CloseForGood();
    endProgram(0);
}

void Viewer::EndQtLoop(int status) {
    QCoreApplication::exit(status);
}

void Viewer::PlaceAndDraw(StructureKind kind) {
    ComputeNodePositions(state.nodeList, state.layout, kind);
    DrawView(kind);
}

void Viewer::DrawView(StructureKind kind) {
    DrawStructureView(state, surface, kind);
    window->ShowDrawing();
}
