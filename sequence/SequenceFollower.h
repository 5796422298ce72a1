#pragma once

#include "Sequence.h"
#include "SequenceLoader.h"

#include <cstddef>
#include <string>

struct FollowUpdate {
    enum class Kind { Unchanged, Grown, Replaced };
    Kind kind = Kind::Unchanged;
    // Grown: steps [0, keptSteps) of the sequence are exactly as before this update and the
    // steps from keptSteps on are new. keptSteps is one less than the previous size when a
    // provisional last step was read again (then the view needs a full redraw). Replaced: 0.
    std::size_t keptSteps = 0;
    LoadReport report; // the file as it now stands: result 1 or -1 (with the malformed line)
};

// Follows one sequence file while it is written.
class SequenceFollower {
  public:
    // Loads `path` into `sequence` exactly as LoadSequenceFile does (same results and report;
    // `sequence` unchanged on 0) and, unless the result is 0, follows that file from then on.
    int Load(Sequence& sequence, const std::string& path, LoadReport* report = nullptr);
    // Reads what the file gained since the last Load or Update, into the same `sequence`.
    // Cost in proportion to the bytes added. Replacement (new inode, truncated below what was
    // read, bytes already read changed, reappeared after vanishing) reads the file anew:
    // Replaced. A vanished or unreadable file gives Unchanged and leaves `sequence` alone.
    // Cheap when nothing changed (one fstat/stat, no read).
    FollowUpdate Update(Sequence& sequence);
    void Stop();
    bool Following() const;
    const std::string& Path() const;

  private:
    std::string path;
    bool following = false;
};
