#include "SequenceFollower.h"

#include "ReadOnlyFile.h"

#include <cerrno>
#include <new>

namespace {

void TruncateSequence(Sequence& sequence, std::size_t count) {
    sequence.stepList.Truncate(count);
    sequence.classList.Truncate(count);
}

} // namespace

int SequenceFollower::Load(Sequence& sequence, const std::string& newPath, LoadReport* report,
                           LoadObserver* observer) {
    Sequence loaded;
    SequenceFileRead read = ReadSequenceFile(loaded, newPath, observer);
    if (read.report.result != loadNotOpened) {
        try {
            std::string followedPath = newPath; // before anything is committed: may throw
            sequence.Swap(loaded);
            read.parser->Retarget(sequence);
            path.swap(followedPath);
            parser = std::move(read.parser);
            stamp = read.stamp;
            readOffset = read.offset;
            tail.swap(read.tail);
            provisional = read.provisional;
            vanished = false;
            reloadPending = false;
            this->report = read.report;
        } catch (const std::bad_alloc&) {
            read.report = LoadReport{}; // too large for memory: nothing loaded, nothing changed
            read.report.failure = LoadFailure::OutOfMemory;
        }
    }
    if (report != nullptr) {
        *report = read.report;
    }
    return read.report.result;
}

FollowUpdate SequenceFollower::Update(Sequence& sequence) {
    FollowUpdate update;
    update.report = report;
    if (!parser) {
        return update;
    }
    int error = 0;
    const FileStamp now = StampOfPath(path, &error);
    if (!now.exists) {
        // Gone is gone; any other failure (a share that does not answer) changes nothing.
        vanished = vanished || error == ENOENT;
        return update;
    }
    if (vanished || reloadPending || !now.SameFile(stamp)) {
        return Reload(sequence);
    }
    if (now == stamp) {
        return update;
    }
    return ReadOn(sequence);
}

FollowUpdate SequenceFollower::Reload(Sequence& sequence) {
    FollowUpdate update;
    update.report = report;
    LoadReport fresh;
    const std::string followed = path; // Load replaces the member
    if (Load(sequence, followed, &fresh) == loadNotOpened) {
        reloadPending = true; // unreadable for now: the picture stays, the next look tries again
        update.unreadable = true;
        return update;
    }
    update.kind = FollowUpdate::Kind::Replaced;
    update.report = fresh;
    return update;
}

FollowUpdate SequenceFollower::ReadOn(Sequence& sequence) {
    bool replaced = false;
    {
        const ReadOnlyFile file(path);
        if (!file.IsOpen()) {
            FollowUpdate unreadable;
            unreadable.report = report;
            unreadable.unreadable = true;
            return unreadable;
        }
        const FileStamp& now = file.Stamp();
        replaced = !now.SameFile(stamp) || now.size < readOffset || !TailUnchanged(file);
        if (!replaced) {
            return ReadAppended(sequence, file, now);
        }
    }
    return Reload(sequence); // the file is closed again before it is read anew
}

bool SequenceFollower::TailUnchanged(const ReadOnlyFile& file) const {
    std::string now(tail.size(), '\0');
    std::size_t got = 0;
    while (got < now.size()) {
        const std::int64_t count =
            file.ReadAt(now.data() + got, now.size() - got, readOffset - tail.size() + got);
        if (count <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(count);
    }
    return now == tail;
}

FollowUpdate SequenceFollower::ReadAppended(Sequence& sequence, const ReadOnlyFile& file,
                                            const FileStamp& now) {
    FollowUpdate update;
    update.report = report;
    if (parser->Stopped() || now.size == readOffset) {
        stamp = now; // nothing to read: after a malformed line the rest stays unread
        return update;
    }
    const std::size_t sizeBefore = sequence.stepList.Size();
    const int provisionalStep = provisional ? sequence.stepList.Elements().back() : -1;
    const std::size_t finalSteps = sizeBefore - (provisional ? 1 : 0);
    try {
        parser->Retarget(sequence);
        const std::size_t blockSize = ReadBlockSize(now.size - readOffset);
        const std::unique_ptr<char[]> block(new char[blockSize]);
        bool readAny = false;
        bool readFailed = false;
        for (;;) {
            const std::int64_t count = file.ReadAt(block.get(), blockSize, readOffset);
            if (count <= 0) {
                readFailed = count < 0;
                break;
            }
            if (!readAny) {
                TruncateSequence(sequence, finalSteps); // the unended line is read again whole
                provisional = false;
                readAny = true;
            }
            const auto size = static_cast<std::size_t>(count);
            KeepTail(tail, block.get(), size);
            readOffset += size;
            if (!parser->Feed(block.get(), size)) {
                break;
            }
        }
        if (!readAny) {
            return update;
        }
        provisional = AppendPendingStep(sequence, *parser);
        if (!readFailed) {
            stamp = now; // after a failed read the next look reads on from here
        }
    } catch (const std::bad_alloc&) {
        TruncateSequence(sequence, finalSteps);
        if (provisionalStep >= 0) {
            // Within the capacity the step had a moment ago: cannot throw.
            AppendStep(sequence, static_cast<std::int8_t>(provisionalStep));
        }
        Stop();
        return update;
    }
    const bool provisionalKept = provisionalStep >= 0 && sequence.stepList.Size() >= sizeBefore &&
                                 sequence.stepList.Elements()[sizeBefore - 1] == provisionalStep;
    report = parser->Report();
    update.kind = FollowUpdate::Kind::Grown;
    update.keptSteps = provisionalKept ? sizeBefore : finalSteps;
    update.report = report;
    return update;
}

void SequenceFollower::Stop() {
    parser.reset();
    path.clear();
    stamp = {};
    readOffset = 0;
    tail.clear();
    provisional = false;
    vanished = false;
    reloadPending = false;
    report = {};
}
