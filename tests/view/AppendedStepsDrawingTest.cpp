#include "AppendedStepsDrawing.h"
#include "DrawingTestSupport.h"
#include "PathRendering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

Sequence SequenceOf(const std::vector<int>& steps) {
    std::vector<std::int8_t> nodes;
    std::vector<std::int8_t> classes;
    for (const int step : steps) {
        nodes.push_back(static_cast<std::int8_t>(step));
        classes.push_back(ClassCode(step));
    }
    Sequence sequence;
    sequence.stepList.AppendRange(nodes);
    sequence.classList.AppendRange(classes);
    return sequence;
}

// Markers, corners of either view in runs, repeats and numbers without a node
// entry; class codes as the loader gives them.
Sequence RandomSequence(std::mt19937& random, std::size_t length) {
    static constexpr int values[] = {0, 0, 0, 1,  1,  5,  9,  3,  2,  4,
                                     6, 7, 8, 10, 11, 12, 13, 14, 57, -3};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(values) - 1);
    std::vector<int> steps(length);
    for (int& step : steps) {
        step = values[pick(random)];
    }
    return SequenceOf(steps);
}

void DrawWhole(ViewerState& state, DrawingSurface& surface, StructureKind kind) {
    DrawStructureView(state, surface, kind);
}

// The steps [from, to) of `whole` appended to the scene's sequence.
void Append(Sequence& sequence, const Sequence& whole, std::size_t from, std::size_t to) {
    sequence.stepList.AppendRange(whole.stepList.Elements().subspan(from, to - from));
    sequence.classList.AppendRange(whole.classList.Elements().subspan(from, to - from));
}

// Whether every pixel that differs between the two pictures lies in `region`.
bool ChangesInside(const QImage& before, const QImage& after, const QRegion& region) {
    for (int y = 0; y < after.height(); ++y) {
        const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* now = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < after.width(); ++x) {
            if (was[x] != now[x] && !region.contains(QPoint(x, y))) {
                return false;
            }
        }
    }
    return true;
}

StructureKind Other(StructureKind kind) {
    return kind == StructureKind::Icosahedron ? StructureKind::Octahedron
                                              : StructureKind::Icosahedron;
}

// A random path cut at random points: the first piece drawn whole, every later
// one drawn as appended steps, sometimes after a switch of structure that draws
// the path so far whole. The picture must equal the whole path drawn at once,
// and each drawing of appended steps change pixels only in the region it
// returns. One drawing serves every trial, forgotten between them as on a
// replaced file.
TEST(AppendedStepsDrawing, SamePixelsAsDrawingTheWholePath) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> percent(0, 99);
    AppendedStepsDrawing appended;
    for (int trial = 0; trial < 800; ++trial) {
        const std::size_t length = percent(random) < 10 ? 300 : percent(random) % 60;
        const Sequence whole = RandomSequence(random, length);
        std::vector<std::size_t> cuts(1 + percent(random) % 5);
        for (std::size_t& cut : cuts) {
            cut = length == 0 ? 0 : static_cast<std::size_t>(percent(random)) % (length + 1);
        }
        std::sort(cuts.begin(), cuts.end());
        cuts.push_back(length);

        StructureKind kind =
            percent(random) < 50 ? StructureKind::Icosahedron : StructureKind::Octahedron;
        DrawingScene scene(540, 540, kind);
        Append(scene.state.sequence, whole, 0, cuts[0]);
        appended.Forget();
        DrawWhole(scene.state, scene.surface, kind);
        for (std::size_t piece = 1; piece < cuts.size(); ++piece) {
            if (percent(random) < 20) {
                kind = Other(kind);
                ComputeNodePositions(scene.state.nodeList, scene.state.layout, kind);
                ClearDrawingArea(scene.surface, 0, 0, 540, 540);
                DrawWhole(scene.state, scene.surface, kind);
            }
            Append(scene.state.sequence, whole, cuts[piece - 1], cuts[piece]);
            const QImage before = scene.surface.Image();
            const QRegion touched =
                appended.Draw(scene.state, scene.surface, kind, cuts[piece - 1]);
            ASSERT_TRUE(ChangesInside(before, scene.surface.Image(), touched))
                << "trial " << trial << ": a pixel changed outside the region returned";
        }

        DrawingScene expected(540, 540, kind);
        expected.state.sequence = whole;
        DrawWhole(expected.state, expected.surface, kind);
        if (scene.surface.Image() != expected.surface.Image()) {
            std::string steps;
            for (const std::int8_t value : whole.stepList.Elements()) {
                steps += std::to_string(value) + ' ';
            }
            std::string at;
            for (const std::size_t cut : cuts) {
                at += std::to_string(cut) + ' ';
            }
            FAIL() << "trial " << trial << " view " << static_cast<int>(kind) << " cuts " << at
                   << "steps " << steps;
        }
    }
}

// Growing one step at a time through runs of corners and markers, where the
// node the path stands on is furthest from the last step.
TEST(AppendedStepsDrawing, StepByStepThroughCornerRuns) {
    const Sequence whole =
        SequenceOf({0, 5, 0, 1, 9, 0, 2, 9, 1, 0, 5, 3, 1, 0, 14, 5, 6, 0, 9, 13});
    for (const StructureKind kind : {StructureKind::Icosahedron, StructureKind::Octahedron}) {
        AppendedStepsDrawing appended;
        DrawingScene scene(540, 540, kind);
        DrawWhole(scene.state, scene.surface, kind);
        for (std::size_t size = 1; size <= whole.stepList.Size(); ++size) {
            Append(scene.state.sequence, whole, size - 1, size);
            appended.Draw(scene.state, scene.surface, kind, size - 1);
            DrawingScene expected(540, 540, kind);
            Append(expected.state.sequence, whole, 0, size);
            DrawWhole(expected.state, expected.surface, kind);
            ASSERT_EQ(scene.surface.Image(), expected.surface.Image())
                << "view " << static_cast<int>(kind) << " after " << size << " steps";
        }
    }
}

} // namespace
