// Writes arbitrary bytes to a file in pieces, following it with an update after
// each piece, and checks that the followed sequence is always the file as it
// stands loaded whole: same steps, class codes, result and malformed line.

#include "SequenceFollower.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "follower invariant broken: %s\n", what);
        std::abort();
    }
}

// Where the writes end: a few places anywhere, each with close neighbours, so
// that pieces of one byte and pieces of many blocks both occur. Drawn from the
// bytes themselves, so that every input replays the same way.
std::vector<std::size_t> CutsFor(const std::uint8_t* data, std::size_t size) {
    std::uint64_t state = 0xcbf29ce484222325u;
    for (std::size_t k = 0; k < size; ++k) {
        state = (state ^ data[k]) * 0x100000001b3u;
    }
    const auto next = [&state] {
        state += 0x9e3779b97f4a7c15u;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    };
    std::vector<std::size_t> cuts;
    const std::size_t count = size == 0 ? 0 : 1 + next() % 12;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t cut = next() % (size + 1);
        const std::size_t neighbours = next() % 4;
        for (std::size_t n = 0; n <= neighbours && cut + n <= size; ++n) {
            cuts.push_back(cut + n);
        }
    }
    cuts.push_back(size);
    std::ranges::sort(cuts);
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int file = ::memfd_create("followed.kzt", MFD_CLOEXEC);
    Require(file >= 0, "memfd_create");
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    const auto bytes = reinterpret_cast<const char*>(data);

    const std::vector<std::size_t> cuts = CutsFor(data, size);
    Require(::ftruncate(file, 0) == 0, "truncate");
    Require(::pwrite(file, bytes, cuts.front(), 0) == static_cast<ssize_t>(cuts.front()), "write");
    SequenceFollower follower;
    Sequence followed;
    LoadReport report;
    Require(follower.Load(followed, path, &report) != loadNotOpened, "the file loads");

    for (std::size_t k = 1; k < cuts.size(); ++k) {
        const std::size_t from = cuts[k - 1];
        const std::size_t count = cuts[k] - from;
        Require(::pwrite(file, bytes + from, count, static_cast<off_t>(from)) ==
                    static_cast<ssize_t>(count),
                "write");
        const Sequence before = followed;
        const FollowUpdate update = follower.Update(followed);
        const FollowUpdate::Kind expected = report.result == loadComplete
                                                ? FollowUpdate::Kind::Grown
                                                : FollowUpdate::Kind::Unchanged;
        Require(update.kind == expected, "Grown until a malformed line, then Unchanged");

        Sequence whole;
        LoadReport wholeReport;
        LoadSequenceFile(whole, path, &wholeReport);
        Require(followed == whole, "the same steps and class codes as the file loaded whole");
        Require(update.report.result == wholeReport.result, "the same result");
        Require(update.report.malformedLine == wholeReport.malformedLine,
                "the same malformed line");
        Require(update.keptSteps <= before.stepList.Size() &&
                    update.keptSteps <= followed.stepList.Size() &&
                    std::equal(before.stepList.Elements().begin(),
                               before.stepList.Elements().begin() +
                                   static_cast<std::ptrdiff_t>(update.keptSteps),
                               followed.stepList.Elements().begin()),
                "the kept steps as they were");
        report = update.report;
    }
    return 0;
}
