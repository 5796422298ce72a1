// The commands behind the menu items.

#include "Desktop.h"
#include "FileNames.h"
#include "MenuItems.h"
#include "NodeRendering.h"
#include "SequenceDialogs.h"
#include "SequenceFollower.h"
#include "SequenceLoader.h"
#include "ViewDrawing.h"
#include "Viewer.h"

#include <QApplication>

namespace {

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The loader takes the name in the file system's own encoding.
int LoadNamedFile(SequenceFollower& follower, Sequence& sequence, const QString& name) {
    const WaitCursor wait;
    return follower.Load(sequence, FileSystemName(name));
}

} // namespace

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
    OnOpenFile(AskSequenceFileName(window.get()));
}

// An empty name is a cancelled requester: nothing changes.
void Viewer::OnOpenFile(const QString& chosen) {
    if (chosen.isEmpty()) {
        return;
    }
    const QString name = WithDefaultExtension(chosen);
    // A file that cannot be opened changes nothing: the file shown is still followed.
    auto opened = std::make_unique<SequenceFollower>();
    if (LoadNamedFile(*opened, state.sequence, name) == loadNotOpened) {
        ShowOpenError(window.get(), FilePart(name));
        return;
    }
    follower = std::move(opened);
    appended.Forget();
    undo.reset();
    watch.Watch(name);
    const WaitCursor wait;
    window->SetFrameCaption(QStringLiteral("Sequenz: ") + FilePart(name));
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
    window->SetFrameCaption(QStringLiteral("Sequenz:"));
    DrawNodes(state, surface, startupStructure);
    window->ShowDrawing();
    KeepBareNodes();
}
