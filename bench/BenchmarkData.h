#pragma once

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// Node numbers as a detector run produces them: mostly the 13 nodes, now and
// then a marker step, runs of repeats, rarely a number with no node.
inline std::vector<std::int8_t> DetectorSteps(std::size_t count, std::uint32_t seed = 2026) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> node(1, 13);
    std::vector<std::int8_t> steps;
    steps.reserve(count);
    while (steps.size() < count) {
        const int roll = percent(random);
        const int value = roll < 5 ? 0 : roll < 6 ? 14 + percent(random) % 86 : node(random);
        steps.push_back(static_cast<std::int8_t>(value));
    }
    return steps;
}

// One line of text per detector step, each written by `line(buffer, size,
// index, step)` and returning its length; `before(text, index)` may add lines
// ahead of it.
template <typename Line, typename Before>
std::string StepLinesText(std::size_t lines, std::uint32_t seed, std::size_t bytesPerLine,
                          Line line, Before before) {
    const std::vector<std::int8_t> steps = DetectorSteps(lines, seed);
    std::string text;
    text.reserve(lines * bytesPerLine);
    char buffer[128];
    for (std::size_t i = 0; i < steps.size(); ++i) {
        before(text, i);
        const int length = line(buffer, sizeof buffer, i, steps[i]);
        text.append(buffer, static_cast<std::size_t>(length));
    }
    return text;
}

// A sequence file's text: one data line per step, a tag line every thousand lines.
inline std::string DetectorFileText(std::size_t lines, std::uint32_t seed = 2026) {
    return StepLinesText(
        lines, seed, 64,
        [](char* buffer, std::size_t size, std::size_t i, int step) {
            const unsigned micros = static_cast<unsigned>(i * 7919 % 1000000);
            return std::snprintf(
                buffer, size, "2026-12-08;12:%02u:%02u.%06u;PH;%07zu;A;%d;0.%06u;detector-%u\n",
                static_cast<unsigned>(i / 60000 % 60), static_cast<unsigned>(i / 1000 % 60), micros,
                i, step, micros, static_cast<unsigned>(i % 8));
        },
        [](std::string& text, std::size_t i) {
            if (i % 1000 == 0) {
                text += "QORN-V Lauf 17 Block " + std::to_string(i / 1000) + "\n";
            }
        });
}

// A terse writer's text: 38 bytes a line, no tag lines, the sixth field always
// two digits.
inline std::string ShortLineText(std::size_t lines, std::uint32_t seed = 2026) {
    return StepLinesText(
        lines, seed, 38,
        [](char* buffer, std::size_t size, std::size_t i, int step) {
            return std::snprintf(buffer, size, "2026-12-08;12:%02u:%02u;PH;%07zu;A;%02d;x\n",
                                 static_cast<unsigned>(i / 60 % 60), static_cast<unsigned>(i % 60),
                                 i % 10'000'000, step);
        },
        [](std::string&, std::size_t) {});
}
