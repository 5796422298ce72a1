#include "SequenceFollower.h"

#include "ReadOnlyFile.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <span>

namespace {

constexpr std::size_t readBlockSize = 1 << 16; // stays in the cache between the copy and the scan
constexpr std::size_t smallestBlockSize = 1 << 12; // files that report no size, like /proc

// Growing the lists by doubling touches every page several times over, and
// fresh pages are costly; a guess from the file size (lines are rarely shorter
// than 16 bytes) lets them grow once. Only a guess: untouched pages cost
// nothing, and a failed reservation just leaves the growing to the lists.
void ReserveForFile(Sequence& sequence, std::size_t fileSize) {
    const std::size_t guess = fileSize / 16;
    try {
        sequence.stepList.Reserve(guess);
        sequence.classList.Reserve(guess);
    } catch (const std::bad_alloc&) {
    }
}

void NoteFailure(LoadReport* report, LoadFailure failure, int systemError) {
    if (report != nullptr) {
        report->failure = failure;
        report->systemError = systemError;
    }
}

// Why a file was refused, in the loader's terms.
void NoteOpenFailure(LoadReport* report, int error) {
    switch (error) {
    case EISDIR:
        NoteFailure(report, LoadFailure::Folder, 0);
        break;
    case ENODEV:
        NoteFailure(report, LoadFailure::NotRegularFile, 0);
        break;
    default:
        NoteFailure(report, LoadFailure::CannotOpen, error);
        break;
    }
}

// A small file needs no large block; one byte more sees the end at once.
std::size_t BlockSizeFor(std::uint64_t expectedBytes) {
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(expectedBytes + 1, smallestBlockSize, readBlockSize));
}

void KeepTail(std::string& tail, const char* block, std::size_t count) {
    constexpr std::size_t limit = SequenceFollower::comparedTailBytes;
    if (count >= limit) {
        tail.assign(block + count - limit, limit);
        return;
    }
    tail.append(block, count);
    if (tail.size() > limit) {
        tail.erase(0, tail.size() - limit);
    }
}

// The unended last line stands in the sequence as the step it would give if the
// file ended here. Reports whether there is such a step.
bool AppendPendingStep(Sequence& sequence, const SequenceParser& parser) {
    const int step = parser.PendingStep();
    if (step < 0) {
        return false;
    }
    const auto value = static_cast<std::int8_t>(step);
    const std::int8_t classCode = ClassCode(step);
    sequence.stepList.AppendRange(std::span(&value, 1));
    sequence.classList.AppendRange(std::span(&classCode, 1));
    return true;
}

void TruncateSequence(Sequence& sequence, std::size_t count) {
    sequence.stepList.Truncate(count);
    sequence.classList.Truncate(count);
}

LoadReport ReportOf(const SequenceParser& parser) {
    if (parser.Stopped()) {
        return {loadStoppedMalformed, parser.LineNumber()};
    }
    return {loadComplete, 0};
}

} // namespace

int SequenceFollower::Load(Sequence& sequence, const std::string& newPath, LoadReport* report,
                           LoadObserver* observer) {
    LoadReport outcome;
    try {
        const ReadOnlyFile file(newPath);
        if (!file.IsOpen()) {
            NoteOpenFailure(&outcome, file.Error());
        } else {
            const std::uint64_t fileSize = file.Stamp().size;
            Sequence loaded;
            ReserveForFile(loaded, fileSize);
            auto newParser = std::make_unique<SequenceParser>(loaded);
            const std::size_t blockSize = BlockSizeFor(fileSize);
            const std::unique_ptr<char[]> block(new char[blockSize]);
            std::string newTail;
            std::uint64_t offset = 0;
            bool readFailed = false;
            for (;;) {
                const std::int64_t count = file.ReadAt(block.get(), blockSize, offset);
                if (count <= 0) {
                    readFailed = count < 0;
                    if (readFailed) {
                        NoteFailure(&outcome, LoadFailure::ReadFailed, errno);
                    }
                    break;
                }
                const auto size = static_cast<std::size_t>(count);
                KeepTail(newTail, block.get(), size);
                offset += size;
                if (!newParser->Feed(block.get(), size)) {
                    break;
                }
                if (observer != nullptr) {
                    observer->BlockRead(offset, fileSize);
                }
            }
            if (!readFailed) {
                const bool pending = AppendPendingStep(loaded, *newParser);
                std::string followedPath = newPath; // before anything is committed: may throw
                outcome = ReportOf(*newParser);
                sequence.Swap(loaded);
                newParser->Retarget(sequence);
                path.swap(followedPath);
                parser = std::move(newParser);
                stamp = file.Stamp();
                readOffset = offset;
                tail.swap(newTail);
                provisional = pending;
                vanished = false;
                reloadPending = false;
                this->report = outcome;
            }
        }
    } catch (const std::bad_alloc&) {
        outcome = LoadReport{}; // too large for memory: nothing loaded, nothing changed
        outcome.failure = LoadFailure::OutOfMemory;
    }
    if (report != nullptr) {
        *report = outcome;
    }
    return outcome.result;
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
        const std::size_t blockSize = BlockSizeFor(now.size - readOffset);
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
            const auto value = static_cast<std::int8_t>(provisionalStep);
            const std::int8_t classCode = ClassCode(provisionalStep);
            // Within the capacity the step had a moment ago: cannot throw.
            sequence.stepList.AppendRange(std::span(&value, 1));
            sequence.classList.AppendRange(std::span(&classCode, 1));
        }
        Stop();
        return update;
    }
    const bool provisionalKept = provisionalStep >= 0 && sequence.stepList.Size() >= sizeBefore &&
                                 sequence.stepList.Elements()[sizeBefore - 1] == provisionalStep;
    report = ReportOf(*parser);
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

bool SequenceFollower::Following() const {
    return parser != nullptr;
}

const std::string& SequenceFollower::Path() const {
    return path;
}
