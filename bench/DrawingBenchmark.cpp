#include "BenchmarkData.h"
#include "PathExtension.h"
#include "PathRendering.h"
#include "ViewDrawing.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

struct Scene {
    Scene(std::size_t steps, StructureKind kind, qreal scale = 1) : surface(DesktopFaceColour()) {
        surface.Resize(540, 540, scale);
        UpdateLayout(state.layout, 540, 540);
        ComputeNodePositions(state.nodeList, state.layout, kind);
        const std::vector<std::int8_t> values = DetectorSteps(steps);
        std::vector<std::int8_t> classes(values.size());
        std::transform(values.begin(), values.end(), classes.begin(), ClassCode);
        state.sequence.stepList.AppendRange(values);
        state.sequence.classList.AppendRange(classes);
    }
    ViewerState state;
    DrawingSurface surface;
};

// Cost must stay flat as the path grows: compare 338 steps with 3 million.
void IcosahedronPath(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron);
    for (auto _ : state) {
        DrawIcosahedronPath(scene.state, scene.surface);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}
BENCHMARK(IcosahedronPath)->Arg(338)->Arg(100'000)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

void OctahedronPath(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Octahedron);
    for (auto _ : state) {
        DrawOctahedronPath(scene.state, scene.surface);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}
BENCHMARK(OctahedronPath)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

// On a screen at 200 %: four times the pixels, two-pixel lines. Should cost at
// most half as much again as at 100 %; compare with IcosahedronPath/3000000.
void IcosahedronPathAtTwiceTheScale(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron, 2);
    for (auto _ : state) {
        DrawIcosahedronPath(scene.state, scene.surface);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}
BENCHMARK(IcosahedronPathAtTwiceTheScale)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

// Drawing every shape: what the cost would be without dropping repeats.
void IcosahedronPathInFull(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron);
    for (auto _ : state) {
        DrawIcosahedronPathInFull(scene.state, scene.surface);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(0)));
}
BENCHMARK(IcosahedronPathInFull)->Arg(338)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The picture the command-line tool writes, sequence copy and image included.
void StructurePicture(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RenderStructurePicture(scene.state.sequence, StructureKind::Icosahedron, 540, 540));
    }
}
BENCHMARK(StructurePicture)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

void StructurePictureAtTwiceTheScale(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RenderStructurePicture(scene.state.sequence, StructureKind::Icosahedron, 540, 540, 2));
    }
}
BENCHMARK(StructurePictureAtTwiceTheScale)->Arg(3'000'000)->Unit(benchmark::kMillisecond);

// What a followed file's update draws: the last 100 steps over the picture of
// the rest. Must stay flat from 338 to 15 million steps.
void PathExtensionOf100Steps(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron);
    PathExtension extension;
    const std::size_t kept = scene.state.sequence.stepList.Size() - 100;
    for (auto _ : state) {
        extension.Extend(scene.state, scene.surface, StructureKind::Icosahedron, kept);
    }
}
BENCHMARK(PathExtensionOf100Steps)->Arg(338)->Arg(15'000'000)->Unit(benchmark::kMicrosecond);

void PathExtensionOf100StepsAtTwiceTheScale(benchmark::State& state) {
    Scene scene(static_cast<std::size_t>(state.range(0)), StructureKind::Icosahedron, 2);
    PathExtension extension;
    const std::size_t kept = scene.state.sequence.stepList.Size() - 100;
    for (auto _ : state) {
        extension.Extend(scene.state, scene.surface, StructureKind::Icosahedron, kept);
    }
}
BENCHMARK(PathExtensionOf100StepsAtTwiceTheScale)->Arg(15'000'000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
