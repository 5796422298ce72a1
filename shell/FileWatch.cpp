#include "FileWatch.h"

#include "FileNameQt.h"

#include <QFileInfo>

FileWatch::FileWatch(EventSink post, Notifications notifications) : post(std::move(post)) {
    if (notifications == Notifications::Used) {
        watcher = std::make_unique<QFileSystemWatcher>();
        connect(watcher.get(), &QFileSystemWatcher::fileChanged, this, [this] { Check(); });
        connect(watcher.get(), &QFileSystemWatcher::directoryChanged, this, [this] { Check(); });
    }
    poll.setInterval(pollIntervalMs);
    connect(&poll, &QTimer::timeout, this, [this] { Check(); });
    spacing.setSingleShot(true);
    spacing.setTimerType(Qt::PreciseTimer);
    connect(&spacing, &QTimer::timeout, this, [this] {
        if (changePending && !waiting) {
            PostEvent();
        }
    });
}

FileWatch::~FileWatch() = default;

// A change between the file's loading and this moment would otherwise go
// unseen until the next one, so one look is asked for at once.
void FileWatch::Watch(const QString& newPath) {
    Stop();
    path = newPath;
    folder = QFileInfo(newPath).absolutePath();
    last = StampOfPath(FileSystemName(path));
    KeepWatching(false);
    poll.start();
    RequestEvent();
}

void FileWatch::Stop() {
    poll.stop();
    spacing.stop();
    changePending = false;
    if (watcher && !watcher->files().isEmpty()) {
        watcher->removePaths(watcher->files());
    }
    if (watcher && !watcher->directories().isEmpty()) {
        watcher->removePaths(watcher->directories());
    }
    path.clear();
    folder.clear();
}

// The handler reads the file after this, so it sees every change seen so far.
void FileWatch::Taken() {
    waiting = false;
    changePending = false;
    spacing.stop();
}

void FileWatch::LookAgain() {
    last = {};
}

// Notifications also come for other files in the folder; only a change of the
// followed file itself leads to an event.
void FileWatch::Check() {
    if (path.isEmpty()) {
        return;
    }
    const FileStamp now = StampOfPath(FileSystemName(path));
    const bool anotherFile = !now.SameFile(last);
    const bool changed = now != last;
    last = now;
    KeepWatching(anotherFile);
    if (changed) {
        RequestEvent();
    }
}

// The notifications follow an inode: a file that is deleted or renamed away
// drops out of the watcher, and a new file under the name is not watched until
// it is added. The folder may vanish and come back too.
void FileWatch::KeepWatching(bool anotherFile) {
    if (!watcher) {
        return;
    }
    const bool fileWatched = watcher->files().contains(path);
    if (fileWatched && anotherFile) {
        watcher->removePath(path);
    }
    if ((!fileWatched || anotherFile) && last.exists) {
        watcher->addPath(path);
    }
    if (!watcher->directories().contains(folder) && QFileInfo(folder).isDir()) {
        watcher->addPath(folder);
    }
}

void FileWatch::RequestEvent() {
    changePending = true;
    if (waiting || spacing.isActive()) {
        return;
    }
    const qint64 since = sinceLastPost.isValid() ? sinceLastPost.elapsed() : minimumSpacingMs;
    if (since >= minimumSpacingMs) {
        PostEvent();
    } else {
        spacing.start(static_cast<int>(minimumSpacingMs - since));
    }
}

void FileWatch::PostEvent() {
    waiting = true;
    changePending = false;
    sinceLastPost.start();
    post({FileChangedEvent, 0});
}
