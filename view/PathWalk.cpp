#include "PathWalk.h"

#include <algorithm>
#include <utility>

std::size_t ReachableNodes(std::size_t nodeListSize) {
    return std::min<std::size_t>(nodeListSize, 128);
}

PathRules::PathRules(const Structure& structure, std::size_t nodeCount)
    : structure(&structure), nodeCount(nodeCount), keys(nodeCount) {}

bool PathRules::IsCorner(std::size_t node) const {
    return std::find(structure->corners.begin(), structure->corners.end(),
                     static_cast<int>(node)) != structure->corners.end();
}

bool PathRules::LineRed(std::size_t from, std::size_t to) const {
    return IsCorner(from) || IsCorner(to);
}

PathMove PathRules::Step(std::size_t standing, int value) const {
    const auto move = [&](std::size_t shape, std::size_t next) {
        return PathMove{static_cast<std::uint16_t>(shape), static_cast<std::uint16_t>(next * 256)};
    };
    const PathMove stay = move(keys.None(), standing);
    if (value == 0) {
        return standing == 0 ? stay : move(keys.Marker(standing), standing);
    }
    if (value < 0 || static_cast<std::size_t>(value) >= nodeCount) {
        return stay;
    }
    const auto to = static_cast<std::size_t>(value);
    if (standing == 0) {
        return move(keys.None(), to);
    }
    if (IsCorner(standing) && IsCorner(to)) {
        return stay; // a run of corners stays on its first corner
    }
    return move(keys.Line(standing, to), to);
}

bool PathRules::Settles(int value) const {
    return value > 0 && static_cast<std::size_t>(value) < nodeCount &&
           !IsCorner(static_cast<std::size_t>(value));
}

std::size_t PathRules::StandingNodeAfter(std::span<const std::int8_t> steps) const {
    std::size_t from = steps.size();
    while (from > 0 && !Settles(steps[from - 1])) {
        --from;
    }
    const std::size_t standing = from > 0 ? static_cast<std::size_t>(steps[from - 1]) : 0;
    return Walk(steps.subspan(from), standing, [](std::size_t, std::size_t) {});
}

PathTable::PathTable(const PathRules& rules) : rules(rules), moves(rules.NodeCount() * 256) {
    for (std::size_t from = 0; from < rules.NodeCount(); ++from) {
        for (int value = -128; value < 128; ++value) {
            moves[from * 256 + StepByte(value)] = rules.Step(from, value);
        }
    }
    for (int value = -128; value < 128; ++value) {
        settles[StepByte(value)] = rules.Settles(value);
    }
}

std::size_t PathTable::PlanLanes(std::span<const std::int8_t> steps,
                                 std::array<PathLane, pathLaneCount>& lanes) const {
    lanes[0] = {0, steps.size(), 0};
    std::size_t used = 1;
    for (std::size_t k = 1; k < pathLaneCount; ++k) {
        std::size_t at = std::max(steps.size() * k / pathLaneCount, lanes[used - 1].begin);
        while (at < steps.size() && !settles[StepByte(steps[at])]) {
            ++at;
        }
        if (at >= steps.size()) {
            break;
        }
        lanes[used - 1].end = at + 1;
        lanes[used++] = {at + 1, steps.size(), StepByte(steps[at]) * 256};
    }
    return used;
}

std::vector<std::size_t> ShapesInDrawingOrder(std::span<const std::size_t> lastSeen) {
    std::vector<std::pair<std::size_t, std::size_t>> survivors;
    for (std::size_t key = 0; key < lastSeen.size(); ++key) {
        if (lastSeen[key] != 0) {
            survivors.emplace_back(lastSeen[key], key);
        }
    }
    std::sort(survivors.begin(), survivors.end());
    std::vector<std::size_t> keys;
    keys.reserve(survivors.size());
    for (const auto& survivor : survivors) {
        keys.push_back(survivor.second);
    }
    return keys;
}
