#include "FileFollowing.h"

#include "FileNameQt.h"
#include "SequenceLoader.h"
#include "ViewDrawing.h"

FileFollowing::FileFollowing(ViewerState& state, DrawingSurface& surface, ShowChanged show,
                             FileWatch::EventSink post, FileWatch::Notifications notifications)
    : state(state), surface(surface), show(std::move(show)), watch(std::move(post), notifications) {
}

LoadReport FileFollowing::Open(const QString& name) {
    auto opened = std::make_unique<SequenceFollower>();
    LoadReport report;
    if (opened->Load(state.sequence, FileSystemName(name), &report) == loadNotOpened) {
        return report;
    }
    follower = std::move(opened);
    appended.Forget();
    undo.reset();
    watch.Watch(name);
    return report;
}

QString FileFollowing::ShownFile() const {
    return follower ? NameFromFileSystem(follower->Path()) : QString();
}

// No wait cursor: updates come unasked and are short, and a cursor that
// changed with each would flicker. The caption stays as the open command set it.
FileFollowing::Redraw FileFollowing::Changed(StructureKind shown) {
    watch.Taken();
    if (!follower) {
        return Redraw::None;
    }
    const std::size_t before = state.sequence.stepList.Size();
    const FollowUpdate update = follower->Update(state.sequence);
    switch (update.kind) {
    case FollowUpdate::Kind::Unchanged:
        if (update.unreadable) {
            watch.LookAgain();
        }
        return Redraw::None;
    case FollowUpdate::Kind::Grown:
        if (update.keptSteps != before) {
            return ReadAgain(shown, update.keptSteps);
        }
        if (state.sequence.stepList.Size() == before && follower->EndsProvisional()) {
            return Redraw::None; // the same unended line, still unended: the picture before it
                                 // still holds
        }
        undo.reset();
        DrawAppendedSteps(shown, before, surface.Image(), QRect());
        return Redraw::None;
    case FollowUpdate::Kind::Replaced:
        // Drawn as the open command draws a file; no message, nobody asked.
        appended.Forget();
        undo.reset();
        return Redraw::NewNodes;
    }
    return Redraw::None;
}

// A provisional last step read again: its shapes must go, and the walk
// remembered stood on it. Writers that flush in blocks cut lines often, so
// going back to the picture before the last steps appended keeps such an
// update in proportion to its new steps; otherwise the whole view.
FileFollowing::Redraw FileFollowing::ReadAgain(StructureKind shown, std::size_t keptSteps) {
    appended.Forget();
    if (!Undoes(keptSteps, shown)) {
        undo.reset();
        return Redraw::View;
    }
    QImage picture = undo->before;
    const std::size_t from = undo->keptSteps;
    const QRect undone = undo->touched;
    undo.reset();
    surface.Restore(picture);
    // The undone shapes must leave the screen too, also when the line read
    // again gives no step to draw.
    DrawAppendedSteps(shown, from, std::move(picture), undone);
    return Redraw::None;
}

// Draws the steps from `from` on over `pictureBefore`, the picture of the
// steps before them. Only a provisional last step can be read again, so only
// then is that picture kept. An image still shared is copied whole by the first
// drawing into it, which would cost more than drawing a hundred new steps.
void FileFollowing::DrawAppendedSteps(StructureKind shown, std::size_t from, QImage pictureBefore,
                                      const QRect& alsoChanged) {
    std::optional<AppendUndo> last;
    if (follower->EndsProvisional()) {
        last = AppendUndo{pictureBefore, {}, from, shown, {}};
    }
    pictureBefore = QImage();
    const QRect touched = appended.Draw(state, surface, shown, from);
    show(touched | alsoChanged);
    if (last) {
        last->changesAfter = surface.Changes();
        last->touched = touched;
    }
    undo = std::move(last);
}

// The bare nodes are the picture before every step to come, the provisional
// one included: reading it again goes back to them instead of drawing the
// whole path.
void FileFollowing::Cleared(StructureKind shown) {
    undo.reset();
    if (follower && follower->EndsProvisional()) {
        undo = AppendUndo{
            surface.Image(), surface.Changes(), state.sequence.stepList.Size() - 1, shown, {}};
    }
}

void FileFollowing::Stop() {
    watch.Stop();
}

bool FileFollowing::Undoes(std::size_t keptSteps, StructureKind kind) const {
    return undo && undo->kind == kind && undo->keptSteps <= keptSteps &&
           undo->changesAfter == surface.Changes();
}
