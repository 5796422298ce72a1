#include "BenchmarkData.h"
#include "SequenceLoader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>

namespace {

constexpr std::size_t lineCount = 1'000'000;

const std::string& FileText() {
    static const std::string text = DetectorFileText(lineCount);
    return text;
}

// The parser alone, fed in blocks the size the loader reads.
void ParseInMemory(benchmark::State& state) {
    const std::string& text = FileText();
    const auto block = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        Sequence sequence;
        SequenceParser parser(sequence);
        for (std::size_t at = 0; at < text.size(); at += block) {
            parser.Feed(text.data() + at, std::min(block, text.size() - at));
        }
        benchmark::DoNotOptimize(parser.Finish());
        benchmark::DoNotOptimize(sequence.stepList.Size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseInMemory)->Arg(64 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

// The whole loader on a file in the page cache.
void LoadFile(benchmark::State& state) {
    char name[] = "/tmp/qornv-bench-XXXXXX.kzt";
    const int descriptor = ::mkstemps(name, 4);
    ::close(descriptor);
    std::ofstream(name, std::ios::binary) << FileText();
    for (auto _ : state) {
        Sequence sequence;
        benchmark::DoNotOptimize(LoadSequenceFile(sequence, name));
        benchmark::DoNotOptimize(sequence.stepList.Size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileText().size()));
    ::unlink(name);
}
BENCHMARK(LoadFile)->Unit(benchmark::kMillisecond);

} // namespace
