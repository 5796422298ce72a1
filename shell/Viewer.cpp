#include "Viewer.h"

#include "FileNames.h"
#include "MenuItems.h"
#include "NodeRendering.h"
#include "PathRendering.h"
#include "QtText.h"
#include "SequenceDialogs.h"
#include "SequenceLoader.h"
#include "ViewDrawing.h"

#include <QApplication>

namespace {

constexpr QSize startClientSize(540, 540);

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The wait cursor goes before a "Fehler!" box can show.
LoadReport LoadNamedFile(FileFollowing& following, const QString& name) {
    const WaitCursor wait;
    return following.Open(name);
}

} // namespace

Viewer::Viewer(EndProgram endProgram, FileWatch::Notifications notifications)
    : endProgram(std::move(endProgram)), surface(DesktopFaceColour()),
      loop([this](const WindowEvent& event) { Dispatch(event); }),
      following(
          state, surface, [this](const QRect& changed) { window->ShowDrawing(changed); },
          [this](WindowEvent event) { Post(event); }, notifications) {}

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
    following.Stop();
    window->CloseForGood();
    endProgram(0);
}

void Viewer::EndQtLoop(int status) {
    QCoreApplication::exit(status);
}

void Viewer::OnFileChanged() {
    switch (following.Changed(shown)) {
    case FileFollowing::Redraw::None:
        return;
    case FileFollowing::Redraw::View:
        ClearViewArea(state, surface);
        DrawView(shown);
        return;
    case FileFollowing::Redraw::NewNodes:
        ClearViewArea(state, surface);
        PlaceAndDraw(shown);
        return;
    }
}

void Viewer::PlaceAndDraw(StructureKind kind) {
    ComputeNodePositions(state.nodeList, state.layout, kind);
    DrawView(kind);
}

void Viewer::DrawView(StructureKind kind) {
    DrawStructureView(state, surface, kind);
    window->ShowDrawing();
}

void Viewer::OnMenuCommand(std::int32_t item) {
    switch (item) {
    case MenuOpen:
        OpenSequenceFile();
        break;
    case MenuQuit:
        QuitProgram();
        break;
    case MenuClear:
        ClearView();
        break;
    default:
        // "Drucken" has no command and stays disabled.
        if (const auto kind = StructureOfMenuItem(item)) {
            ShowStructure(*kind);
        }
        break;
    }
}

void Viewer::OpenSequenceFile() {
    OnOpenFile(AskSequenceFileName(window.get(), following.ShownFile()));
}

// An empty name is a cancelled requester: nothing changes.
void Viewer::OnOpenFile(const QString& chosen) {
    if (chosen.isEmpty()) {
        return;
    }
    const QString name = WithDefaultExtension(chosen);
    // A file that cannot be opened changes nothing.
    const LoadReport report = LoadNamedFile(following, name);
    if (report.result == loadNotOpened) {
        ShowOpenError(window.get(), FilePart(name), report);
        return;
    }
    const WaitCursor wait;
    window->SetFrameCaption(FrameCaption(FilePart(name)));
    ClearViewArea(state, surface);
    PlaceAndDraw(shown);
}

// Runs in full also when the structure is shown already: a fresh drawing.
void Viewer::ShowStructure(StructureKind kind) {
    shown = kind;
    window->ShowStructure();
    ClearViewArea(state, surface);
    PlaceAndDraw(kind);
}

// The bare nodes in the start-up structure's drawing whichever structure is
// shown; the next repaint brings the path back.
void Viewer::ClearView() {
    ClearViewArea(state, surface);
    window->SetFrameCaption(FrameCaption());
    DrawNodes(state, surface, startupStructure);
    window->ShowDrawing();
    following.Cleared(shown);
}
