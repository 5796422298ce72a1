#pragma once

#include "AppendedStepsDrawing.h"
#include "DrawingSurface.h"
#include "FileWatch.h"
#include "SequenceFollower.h"
#include "ViewerState.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Following the file shown while it is written: the follower that reads on
// where the last read stopped, the watch that tells when to look, the drawing
// of the steps a file gained over the retained picture, and the picture from
// before the last steps drawn, for a cut line read again. The viewer tells it
// of a file opened, the file changed and the view cleared; what the viewer
// must draw itself comes back as a `Redraw`.
class FileFollowing {
  public:
    // Copies a changed part of the retained picture to the screen.
    using ShowChanged = std::function<void(const QRect&)>;

    FileFollowing(ViewerState& state, DrawingSurface& surface, ShowChanged show,
                  FileWatch::EventSink post, FileWatch::Notifications notifications);

    // Loads `name` into the sequence through a new follower; the loader's
    // report says how it went. A file that cannot be opened changes nothing:
    // the file shown is still followed. Any other result follows `name` from
    // now on.
    LoadReport Open(const QString& name);
    // The name of the file followed, or an empty text while there is none.
    QString ShownFile() const;

    enum class Redraw {
        None,     // nothing, or the new steps are drawn already
        View,     // the whole view from the sequence
        NewNodes, // nodes placed anew, then the whole view: the file was replaced
    };
    // The file shown may have changed: what it gained is drawn over the
    // picture of `shown`; a vanished file leaves the picture.
    Redraw Changed(StructureKind shown);

    // The view shows the bare nodes of `shown` now.
    void Cleared(StructureKind shown);

    void Stop();

  private:
    bool Undoes(std::size_t keptSteps, StructureKind kind) const;
    void DrawAppendedSteps(StructureKind shown, std::size_t from, QImage pictureBefore,
                           const QRect& alsoChanged);
    Redraw ReadAgain(StructureKind shown, std::size_t keptSteps);

    ViewerState& state;
    DrawingSurface& surface;
    ShowChanged show;
    // The file shown since the last successful open, and where its path stands.
    std::unique_ptr<SequenceFollower> follower;
    FileWatch watch;
    AppendedStepsDrawing appended;
    // The picture before the last steps appended: a provisional last step read
    // again is undone by going back to it, as long as the image has not
    // changed since they were drawn (`changesAfter`).
    struct AppendUndo {
        QImage before;
        std::uint64_t changesAfter = 0;
        std::size_t keptSteps = 0;
        StructureKind kind = startupStructure;
        QRect touched; // what the steps appended drew over `before`
    };
    std::optional<AppendUndo> undo;
};
