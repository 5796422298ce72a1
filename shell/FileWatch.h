#pragma once

#include "FileStamp.h"
#include "WindowEvent.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

// Tells the viewer that the file it follows may have changed, as a
// FileChangedEvent in its queue, so the change waits its turn behind a running
// command or an open modal dialog like any window event.
//
// Two sources, both on the one thread: the file system's change notifications
// for the file and for its folder (so a file renamed over it, a deletion and a
// file of that name appearing again are seen as well), and a look at the file's
// size, times and inode every half second (StampOfPath, which asks the mount
// itself), since network and FUSE mounts send no notifications. Either only
// leads to an event when that look finds the file changed. One event waits at
// a time, and events follow each other at least 50 ms apart, so a fast writer
// costs at most 20 view updates a second.
class FileWatch : public QObject {
  public:
    using EventSink = std::function<void(WindowEvent)>;
    // Tests switch the notifications off to see the look-up alone at work.
    enum class Notifications { Used, Ignored };

    explicit FileWatch(EventSink post, Notifications notifications = Notifications::Used);
    ~FileWatch() override;
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Watches `path` instead of whatever was watched before.
    void Watch(const QString& path);
    void Stop();
    // The event posted last has been taken: the next change may post again.
    void Taken();
    // The file could not be read after a change: the next look counts as a
    // change again. Releasing a lock changes no stamp, so without this the
    // bytes written under the lock would wait for the next write.
    void LookAgain();

    static constexpr int pollIntervalMs = 500;
    static constexpr int minimumSpacingMs = 50;

  private:
    void Check();
    void KeepWatching(bool fileIsNew);
    void RequestEvent();
    void PostEvent();

    EventSink post;
    std::unique_ptr<QFileSystemWatcher> watcher;
    QTimer poll;
    QTimer spacing;
    QElapsedTimer sinceLastPost;
    QString path;
    QString folder;
    FileStamp last;
    bool waiting = false;       // an event is posted and not yet taken
    bool changePending = false; // a change seen that no posted event covers yet
};
