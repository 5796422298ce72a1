#pragma once

#include "Geometry.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The numbers behind a picture: how often the walk of one list draws each line
// and marker dot, and how the list's steps fall on the nodes. Counted with the
// drawing's own walk (PathWalk.h), so a line or marker dot is in the
// picture exactly when its count is above 0.
struct PathStatistics {
    StructureKind kind = startupStructure;
    std::size_t nodeCount = 0;             // NodeList entries: the placeholder and the nodes
    std::uint64_t steps = 0;               // elements of the list walked
    std::uint64_t markerSteps = 0;         // elements 0, those before the path starts included
    std::uint64_t noNodeSteps = 0;         // elements naming no node of the structure
    std::vector<std::uint64_t> nodeSteps;  // by node number: the elements naming it
    std::vector<std::uint64_t> markerDots; // by node number: marker steps drawn on it

    // Times the path runs along the line between a and b, either way. A line
    // from an ordinary node to itself (the same node twice in a row) has zero
    // length and lies hidden under the node's disc; it is counted all the same.
    std::uint64_t LineRuns(std::size_t a, std::size_t b) const;
    // The line's colour: red when either end is a corner node.
    bool LineRed(std::size_t a, std::size_t b) const;

    std::vector<std::uint64_t> directedRuns; // from * nodeCount + to
};

// Walks `walked` (the list that `kind` walks, Structure::walked) as the
// drawing of `kind` does.
PathStatistics CountPath(StructureKind kind, std::span<const std::int8_t> walked);
