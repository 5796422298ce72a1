#include "BenchmarkData.h"
#include "PathStatistics.h"
#include "Sequence.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// The counts behind a picture of 3 million steps: qornv-render --stats pays
// this on top of --check, which spends about 70 ms loading the same steps.
void CountPathOf(benchmark::State& state, StructureKind kind) {
    std::vector<std::int8_t> steps = DetectorSteps(static_cast<std::size_t>(state.range(0)));
    if (kind == StructureKind::Octahedron) {
        std::transform(steps.begin(), steps.end(), steps.begin(), ClassCode);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountPath(kind, steps));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}

void CountIcosahedronPath(benchmark::State& state) {
    CountPathOf(state, StructureKind::Icosahedron);
}
void CountOctahedronPath(benchmark::State& state) {
    CountPathOf(state, StructureKind::Octahedron);
}
BENCHMARK(CountIcosahedronPath)->Arg(3'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(CountOctahedronPath)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

} // namespace
