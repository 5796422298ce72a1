#include "PathWalk.h"

#include <algorithm>
#include <utility>

const PathRules& PathRulesFor(StructureKind kind) {
    return kind == StructureKind::Octahedron ? octahedronPathRules : icosahedronPathRules;
}

std::size_t NodeCountOf(StructureKind kind) {
    return kind == StructureKind::Octahedron ? octahedronNodeCount : icosahedronNodeCount;
}

std::size_t ReachableNodes(std::size_t nodeListSize) {
    return std::min<std::size_t>(nodeListSize, 128);
}

bool IsCorner(const PathRules& rules, int node) {
    return std::find(rules.corners.begin(), rules.corners.end(), node) != rules.corners.end();
}

PathStep TakePathStep(const PathRules& rules, std::size_t nodeCount, std::size_t standing,
                      int value) {
    const PathStep stay{PathShape::None, false, standing};
    if (value == 0) {
        return standing == 0 ? stay : PathStep{PathShape::Marker, false, standing};
    }
    if (value < 0 || static_cast<std::size_t>(value) >= nodeCount) {
        return stay;
    }
    const auto to = static_cast<std::size_t>(value);
    if (standing == 0) {
        return {PathShape::None, false, to};
    }
    const bool fromCorner = IsCorner(rules, static_cast<int>(standing));
    const bool toCorner = IsCorner(rules, value);
    if (fromCorner && toCorner) {
        return stay; // a run of corners stays on its first corner
    }
    return {PathShape::Line, fromCorner || toCorner, to};
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

std::array<bool, 256> SettlingSteps(const PathRules& rules, std::size_t nodeCount) {
    std::array<bool, 256> settles{};
    for (int value = 1; static_cast<std::size_t>(value) < nodeCount && value < 128; ++value) {
        settles[static_cast<std::uint8_t>(value)] = !IsCorner(rules, value);
    }
    return settles;
}

std::size_t PlanPathLanes(std::span<const std::int8_t> steps, const std::array<bool, 256>& settles,
                          std::array<PathLane, pathLaneCount>& lanes) {
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
