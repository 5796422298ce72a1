#include "DrawingTestSupport.h"
#include "PathRendering.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Steps that exercise every rule of the walk: markers, corners of either view,
// runs of repeats, and numbers without a node entry.
std::vector<std::int8_t> RandomSteps(std::mt19937& random, std::size_t length) {
    std::vector<std::int8_t> steps;
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> node(1, 13);
    std::uniform_int_distribution<int> noEntry(14, 99);
    static constexpr int corners[] = {1, 3, 5, 9};
    while (steps.size() < length) {
        const int roll = percent(random);
        int value = 0;
        if (roll < 20) {
            value = 0;
        } else if (roll < 45) {
            value = corners[percent(random) % 4];
        } else if (roll < 88) {
            value = node(random);
        } else if (roll < 97) {
            value = noEntry(random);
        } else {
            value = -percent(random) - 1;
        }
        const int repeats = percent(random) < 15 ? 1 + percent(random) % 4 : 1;
        steps.insert(steps.end(), static_cast<std::size_t>(repeats),
                     static_cast<std::int8_t>(value));
    }
    return steps;
}

struct Trial {
    int width;
    int height;
    StructureKind nodes;
    StructureKind view;
    std::vector<std::int8_t> steps;
};

QImage Draw(const Trial& trial, bool inFull) {
    DrawingScene scene(trial.width, trial.height, trial.nodes);
    const bool octahedron = trial.view == StructureKind::Octahedron;
    SetList(octahedron ? scene.state.sequence.classList : scene.state.sequence.stepList,
            trial.steps);
    if (octahedron) {
        (inFull ? DrawStructureViewInFull : DrawStructureView)(scene.state, scene.surface,
                                                               StructureKind::Octahedron);
    } else {
        (inFull ? DrawStructureViewInFull : DrawStructureView)(scene.state, scene.surface,
                                                               StructureKind::Icosahedron);
    }
    return scene.surface.Image();
}

Trial RandomTrial(std::mt19937& random) {
    static constexpr std::pair<int, int> sizes[] = {{540, 540}, {301, 257}, {97, 83},
                                                    {200, 541}, {333, 120}, {61, 47}};
    std::uniform_int_distribution<int> percent(0, 99);
    const auto [width, height] = sizes[percent(random) % std::size(sizes)];
    const auto view = percent(random) < 50 ? StructureKind::Icosahedron : StructureKind::Octahedron;
    // Mostly the view's own nodes; sometimes the other list, as after a switch.
    const auto other =
        view == StructureKind::Icosahedron ? StructureKind::Octahedron : StructureKind::Icosahedron;
    const auto nodes = percent(random) < 85 ? view : other;
    const std::size_t length =
        percent(random) < 10 ? 400 : static_cast<std::size_t>(percent(random));
    return {width, height, nodes, view, RandomSteps(random, length)};
}

// Drawing each distinct shape once, at its last occurrence, must leave the same
// pixels as drawing every shape of the walk in order.
TEST(PathDeduplication, SamePixelsAsDrawingEveryShape) {
    std::mt19937 random(20261208);
    for (int i = 0; i < 3000; ++i) {
        const Trial trial = RandomTrial(random);
        const QImage expected = Draw(trial, true);
        const QImage actual = Draw(trial, false);
        if (actual != expected) {
            std::string steps;
            for (const std::int8_t value : trial.steps) {
                steps += std::to_string(value) + ' ';
            }
            FAIL() << "trial " << i << " " << trial.width << "x" << trial.height << " view "
                   << static_cast<int>(trial.view) << " nodes " << static_cast<int>(trial.nodes)
                   << " steps " << steps;
        }
    }
}

TEST(PathDeduplication, StartupSequenceAndLongRepeatingWalk) {
    DrawingScene full(540, 540, StructureKind::Icosahedron);
    DrawingScene last(540, 540, StructureKind::Icosahedron);
    FillStartupSteps(full.state.sequence);
    FillStartupSteps(last.state.sequence);
    DrawStructureViewInFull(full.state, full.surface, StructureKind::Icosahedron);
    DrawStructureView(last.state, last.surface, StructureKind::Icosahedron);
    EXPECT_EQ(last.surface.Image(), full.surface.Image());

    std::mt19937 random(7);
    const Trial trial{540, 540, StructureKind::Icosahedron, StructureKind::Icosahedron,
                      RandomSteps(random, 20000)};
    EXPECT_EQ(Draw(trial, false), Draw(trial, true));
}

} // namespace
