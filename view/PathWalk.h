#pragma once

#include "Geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The rules of the path walk, shared by the drawing and by the counts behind a
// picture, so that both see the same lines and marker dots.
//
// The walk's state is the node the path stands on, 0 before it has started. A
// marker step (0) puts a marker dot on that node once the path has started. A
// step onto a node draws a line from the node the path stands on, red when
// either end is a corner; a step from a corner onto a corner draws nothing and
// leaves the path on the first corner of the run. Steps that name no node of the
// structure (no entry in NodeList) are ignored altogether.
struct PathRules {
    StructureKind kind;
    std::array<std::int8_t, 3> corners;
    std::int32_t extraMarkerRadius; // on top of Layout::markerRadius
};

inline constexpr PathRules icosahedronPathRules{StructureKind::Icosahedron, {1, 5, 9}, 0};
inline constexpr PathRules octahedronPathRules{StructureKind::Octahedron, {1, 3, 5}, 5};

const PathRules& PathRulesFor(StructureKind kind);

// Entries of the structure's NodeList: the placeholder and its nodes.
std::size_t NodeCountOf(StructureKind kind);

// The NodeList entries a walk can reach: step values are signed bytes, so no
// step reaches a node past 127.
std::size_t ReachableNodes(std::size_t nodeListSize);

bool IsCorner(const PathRules& rules, int node);

enum class PathShape : std::uint8_t { None, Line, Marker };

// What one step of the walk does.
struct PathStep {
    PathShape shape = PathShape::None;
    bool red = false;     // lines only
    std::size_t next = 0; // the node the path stands on afterwards
};

// The step `value` taken while the path stands on `standing` (0: not started),
// over a structure whose NodeList has `nodeCount` entries. A line runs from
// `standing` to `next`; a marker dot sits on `standing`.
PathStep TakePathStep(const PathRules& rules, std::size_t nodeCount, std::size_t standing,
                      int value);

// One entry of a walk's table: what the step draws, and the next state.
struct PathMove {
    std::uint16_t shape;
    std::uint16_t next; // the next state's row in the table, node * 256
};

// A step's value as the column of its table row.
inline std::size_t StepByte(int value) {
    return static_cast<std::uint8_t>(value);
}

// A long walk by table lookup waits on each lookup before the next can start.
// The list is therefore cut into lanes walked side by side. A lane may start
// right after any step onto an ordinary node: the path then stands on that node
// whatever came before, so every lane knows its starting state exactly.
inline constexpr std::size_t pathLaneCount = 4;

struct PathLane {
    std::size_t begin;  // the lane's first step
    std::size_t end;    // one past its last
    std::size_t offset; // the state's row in a table of 256 entries per node: node * 256
};

// Per byte value of a step: whether it puts the path on an ordinary node.
std::array<bool, 256> SettlingSteps(const PathRules& rules, std::size_t nodeCount);

// Lane k begins near the k-th part of `steps`, after the first step that
// `settles`; the lane before it ends there. Returns how many lanes were found:
// lanes[0] always, covering what the others do not.
std::size_t PlanPathLanes(std::span<const std::int8_t> steps, const std::array<bool, 256>& settles,
                          std::array<PathLane, pathLaneCount>& lanes);

// What a shape of the walk is, as a small number: lines by (from, to, red), marker
// dots by their node. Distinct numbers may still be equal pictures (two nodes on
// one spot); that costs a repeat, never a wrong pixel.
class ShapeKeys {
  public:
    explicit ShapeKeys(std::size_t nodeCount) : nodeCount(nodeCount) {}

    std::size_t Count() const { return 2 * nodeCount * nodeCount + nodeCount; }
    std::size_t Line(std::size_t from, std::size_t to, bool red) const {
        return (from * nodeCount + to) * 2 + (red ? 1 : 0);
    }
    std::size_t Marker(std::size_t node) const { return 2 * nodeCount * nodeCount + node; }

    bool IsMarker(std::size_t key) const { return key >= 2 * nodeCount * nodeCount; }
    std::size_t MarkerNode(std::size_t key) const { return key - 2 * nodeCount * nodeCount; }
    std::size_t LineFrom(std::size_t key) const { return key / 2 / nodeCount; }
    std::size_t LineTo(std::size_t key) const { return key / 2 % nodeCount; }
    bool LineRed(std::size_t key) const { return (key & 1) != 0; }

  private:
    std::size_t nodeCount;
};

// Every shape is opaque and drawn without antialiasing, so a pixel ends up in the
// colour of the last shape that covers it: drawing only the last occurrence of
// each distinct shape, in the order of those occurrences, leaves the same picture.
// `lastSeen[key]` is 1 + the index of the step that last drew shape `key`, 0 for
// none; the result is the keys in the order to draw them.
std::vector<std::size_t> ShapesInDrawingOrder(std::span<const std::size_t> lastSeen);
