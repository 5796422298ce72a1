#pragma once

#include "FileStamp.h"
#include "Sequence.h"
#include "SequenceLoader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ReadOnlyFile;

struct FollowUpdate {
    enum class Kind { Unchanged, Grown, Replaced };
    Kind kind = Kind::Unchanged;
    // Grown: steps [0, keptSteps) of the sequence are exactly as before this update and the
    // steps from keptSteps on are new. keptSteps is one less than the previous size when a
    // provisional last step was read again and came out different or not at all (then the view
    // needs a full redraw); read again as the same step, it counts as kept. Replaced: 0.
    std::size_t keptSteps = 0;
    LoadReport report; // the file as it now stands: result 1 or -1 (with the malformed line)
    // Unchanged because the file changed but could not be read for now (a writer
    // holds it locked, say): look again later, even if it then seems unchanged.
    bool unreadable = false;
};

// Follows one sequence file while it is written. The file is open only inside Load and Update.
// Reading goes on where it stopped; an unterminated last line is shown as a provisional step
// and read again as a whole once bytes follow it. Whether bytes already read were changed in
// place is judged by the last bytes read (up to `comparedTailBytes`): a rewrite that keeps the
// file's identity and size and changes only bytes before those goes unseen.
class SequenceFollower {
  public:
    static constexpr std::size_t comparedTailBytes = keptTailBytes;

    // Loads `path` into `sequence` exactly as LoadSequenceFile does (same results and report;
    // `sequence` unchanged on 0) and, unless the result is 0, follows that file from then on.
    // On 0 the follower goes on following the file it followed before, if any.
    // `observer`, if given, is told after every block read (a progress display).
    int Load(Sequence& sequence, const std::string& path, LoadReport* report = nullptr,
             LoadObserver* observer = nullptr);
    // Reads what the file gained since the last Load or Update, into the same `sequence`.
    // Cost in proportion to the bytes added. Replacement (new inode, truncated below what was
    // read, bytes already read changed, reappeared after vanishing) reads the file anew:
    // Replaced. A vanished or unreadable file gives Unchanged and leaves `sequence` alone.
    // Cheap when nothing changed (one fstat/stat, no read). Grown whenever new bytes were
    // read, even if they add no step (keptSteps is then the size); a provisional step read
    // again with the same value counts as kept. After a malformed line nothing more is read
    // while the file only grows. Should memory run out, following stops, `sequence` stays as
    // it was and the result is Unchanged.
    FollowUpdate Update(Sequence& sequence);
    void Stop();
    // The last step of the sequence stands for an unended last line, to be read again.
    bool EndsProvisional() const { return provisional; }
    const std::string& Path() const { return path; }

  private:
    FollowUpdate Reload(Sequence& sequence);
    FollowUpdate ReadOn(Sequence& sequence);
    FollowUpdate ReadAppended(Sequence& sequence, const ReadOnlyFile& file, const FileStamp& now);
    bool TailUnchanged(const ReadOnlyFile& file) const;

    std::string path;
    std::unique_ptr<SequenceParser> parser; // set while following
    FileStamp stamp;                        // as seen when the bytes up to readOffset were read
    std::uint64_t readOffset = 0;
    std::string tail;           // the last bytes before readOffset
    bool provisional = false;   // the last step of the sequence stands for an unended line
    bool vanished = false;      // the path named no file at the last look
    bool reloadPending = false; // a replacement was seen but could not be read yet
    LoadReport report;
};
