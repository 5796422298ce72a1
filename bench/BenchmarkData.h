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

// A sequence file's text: one data line per step, a tag line every thousand lines.
inline std::string DetectorFileText(std::size_t lines, std::uint32_t seed = 2026) {
    const std::vector<std::int8_t> steps = DetectorSteps(lines, seed);
    std::string text;
    text.reserve(lines * 64);
    char line[128];
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i % 1000 == 0) {
            text += "QORN-V Lauf 17 Block " + std::to_string(i / 1000) + "\n";
        }
        const unsigned micros = static_cast<unsigned>(i * 7919 % 1000000);
        const int length = std::snprintf(
            line, sizeof line, "2026-12-08;12:%02u:%02u.%06u;PH;%07zu;A;%d;0.%06u;detector-%u\n",
            static_cast<unsigned>(i / 60000 % 60), static_cast<unsigned>(i / 1000 % 60), micros, i,
            steps[i], micros, static_cast<unsigned>(i % 8));
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}

// A terse writer's text: 38 bytes a line, no tag lines, the sixth field always
// two digits.
inline std::string ShortLineText(std::size_t lines, std::uint32_t seed = 2026) {
    const std::vector<std::int8_t> steps = DetectorSteps(lines, seed);
    std::string text;
    text.reserve(lines * 38);
    char line[64];
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int length =
            std::snprintf(line, sizeof line, "2026-12-08;12:%02u:%02u;PH;%07zu;A;%02d;x\n",
                          static_cast<unsigned>(i / 60 % 60), static_cast<unsigned>(i % 60),
                          i % 10'000'000, steps[i]);
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}
