#pragma once

#include "SequenceFollower.h"
#include "TemporaryFile.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using Kind = FollowUpdate::Kind;

// What happens to the file after it was read, and what the next update sees.
struct Change {
    std::function<void(const TemporaryFolder&, const std::string& path)> apply;
    Kind expected;
};

struct ChangeCase {
    const char* name;
    std::string initial;
    std::vector<Change> changes;
};

inline void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

// The changes only one platform can make, such as putting a FIFO or a locked
// file in the followed file's place: one source file a platform.
std::vector<ChangeCase> PlatformChangeCases();
