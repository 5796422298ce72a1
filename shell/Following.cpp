// Following the file shown while it is written.

#include "ViewDrawing.h"
#include "Viewer.h"

// No wait cursor: updates come unasked and are short, and a cursor that
// changed with each would flicker. The caption stays as the open command set it.
void Viewer::OnFileChanged() {
    watch.Taken();
    if (!follower) {
        return;
    }
    const std::size_t before = state.sequence.stepList.Size();
    const FollowUpdate update = follower->Update(state.sequence);
    switch (update.kind) {
    case FollowUpdate::Kind::Unchanged:
        if (update.unreadable) {
            watch.LookAgain();
        }
        return;
    case FollowUpdate::Kind::Grown:
        if (update.keptSteps == before) {
            if (state.sequence.stepList.Size() == before && follower->EndsProvisional()) {
                return; // the same unended line, still unended: the picture before it still holds
            }
            undo.reset();
            DrawAppendedSteps(before, surface.Image(), QRect());
            return;
        }
        // A provisional last step read again: its shapes must go, and the walk
        // remembered stood on it. Writers that flush in blocks cut lines often,
        // so going back to the picture before the last steps appended keeps such an
        // update in proportion to its new steps; otherwise the whole view.
        appended.Forget();
        if (Undoes(update.keptSteps, shown)) {
            QImage picture = undo->before;
            const std::size_t from = undo->keptSteps;
            const QRect undone = undo->touched;
            undo.reset();
            surface.Restore(picture);
            // The undone shapes must leave the screen too, also when the
            // line read again gives no step to draw.
            DrawAppendedSteps(from, std::move(picture), undone);
            return;
        }
        undo.reset();
        ClearViewArea(state, surface);
        DrawView(shown);
        return;
    case FollowUpdate::Kind::Replaced:
        // Drawn as the open command draws a file; no message, nobody asked.
        appended.Forget();
        undo.reset();
        ClearViewArea(state, surface);
        PlaceAndDraw(shown);
        return;
    }
}

// Draws the steps from `from` on over `pictureBefore`, the picture of the
// steps before them. Only a provisional last step can be read again, so only
// then is that picture kept. An image still shared is copied whole by the first
// drawing into it, which would cost more than drawing a hundred new steps.
void Viewer::DrawAppendedSteps(std::size_t from, QImage pictureBefore, const QRect& alsoChanged) {
    std::optional<AppendUndo> last;
    if (follower->EndsProvisional()) {
        last = AppendUndo{pictureBefore, {}, from, shown, {}};
    }
    pictureBefore = QImage();
    const QRect touched = appended.Draw(state, surface, shown, from);
    window->ShowDrawing(touched | alsoChanged);
    if (last) {
        last->changesAfter = surface.Changes();
        last->touched = touched;
    }
    undo = std::move(last);
}

// After "Löschen" the bare nodes are the picture before every step to come,
// the provisional one included: reading it again goes back to them instead of
// drawing the whole path.
void Viewer::KeepBareNodes() {
    undo.reset();
    if (follower && follower->EndsProvisional()) {
        undo = AppendUndo{
            surface.Image(), surface.Changes(), state.sequence.stepList.Size() - 1, shown, {}};
    }
}

bool Viewer::Undoes(std::size_t keptSteps, StructureKind kind) const {
    return undo && undo->kind == kind && undo->keptSteps <= keptSteps &&
           undo->changesAfter == surface.Changes();
}
