#include "PathWalk.h"

#include <algorithm>
#include <utility>

const PathRules& PathRulesFor(StructureKind kind) {
    return kind == StructureKind::Octahedron ? octahedronPathRules : icosahedronPathRules;
}

std::size_t NodeCountOf(StructureKind kind) {
    return kind == StructureKind::Octahedron ? octahedronNodeCount : icosahedronNodeCount;
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
