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
        return;
    case FollowUpdate::Kind::Grown:
        if (update.keptSteps == before) {
            window->ShowDrawing(extension.Extend(state, surface, ShownStructure(), before));
            return;
        }
        // A provisional last step read again: its line must go, and the walk
        // remembered stood on it.
        extension.Forget();
        ClearViewArea(state, surface);
        DrawView(ShownStructure());
        return;
    case FollowUpdate::Kind::Replaced:
        // Drawn as the open command draws a file; no message, nobody asked.
        extension.Forget();
        ClearViewArea(state, surface);
        PlaceAndDraw(window->TickedStructure());
        return;
    }
}
