// What following a growing sequence file costs the viewer per update, against a
// file of many steps: reading what was appended, looking when nothing was, and
// for comparison reading the whole file again as reopening it does.

#include "BenchmarkData.h"
#include "SequenceFollower.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t chunkLines = 1'000'000;

class FollowedFile {
  public:
    explicit FollowedFile(std::size_t lines) {
        char pattern[] = "/tmp/qornv-follow-bench-XXXXXX.kzt";
        descriptor = ::mkstemps(pattern, 4);
        name = pattern;
        const std::string chunk = DetectorFileText(chunkLines);
        for (std::size_t written = 0; written < lines; written += chunkLines) {
            Append(written + chunkLines <= lines
                       ? chunk
                       : DetectorFileText(lines - written, static_cast<std::uint32_t>(written)));
        }
    }
    ~FollowedFile() {
        ::close(descriptor);
        ::unlink(name.c_str());
    }
    FollowedFile(const FollowedFile&) = delete;
    FollowedFile& operator=(const FollowedFile&) = delete;

    void Append(const std::string& bytes) const {
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t count = ::write(descriptor, bytes.data() + at, bytes.size() - at);
            if (count <= 0) {
                std::abort();
            }
            at += static_cast<std::size_t>(count);
        }
    }
    const std::string& Name() const { return name; }

  private:
    int descriptor = -1;
    std::string name;
};

// One update after a writer appended 100 lines; only the update is timed.
void UpdateAfterAppend(benchmark::State& state) {
    const FollowedFile file(static_cast<std::size_t>(state.range(0)));
    const std::string lines = DetectorFileText(100, 7);
    SequenceFollower follower;
    Sequence sequence;
    follower.Load(sequence, file.Name());
    for (auto _ : state) {
        file.Append(lines);
        const auto start = std::chrono::steady_clock::now();
        const FollowUpdate update = follower.Update(sequence);
        const auto stop = std::chrono::steady_clock::now();
        if (update.kind != FollowUpdate::Kind::Grown) {
            state.SkipWithError("the appended lines were not read");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["steps"] = static_cast<double>(sequence.stepList.Size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(UpdateAfterAppend)
    ->Arg(15'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20'000);

// The look at a file that did not change: one stat.
void UpdateUnchanged(benchmark::State& state) {
    const FollowedFile file(static_cast<std::size_t>(state.range(0)));
    SequenceFollower follower;
    Sequence sequence;
    follower.Load(sequence, file.Name());
    for (auto _ : state) {
        benchmark::DoNotOptimize(follower.Update(sequence));
    }
}
BENCHMARK(UpdateUnchanged)->Arg(15'000'000)->Unit(benchmark::kMicrosecond);

// What reopening costs instead: the whole file read again.
void LoadWhole(benchmark::State& state) {
    const FollowedFile file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Sequence sequence;
        benchmark::DoNotOptimize(LoadSequenceFile(sequence, file.Name()));
    }
}
BENCHMARK(LoadWhole)->Arg(15'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
