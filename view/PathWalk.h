#pragma once

#include "Geometry.h"
#include "Structures.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The one walk of a path over a structure, shared by the drawing of a whole
// path, the drawing of appended steps, the counts behind a picture and the
// search for the node a path stands on, so that all of them see the same lines
// and marker dots. Each consumer brings a visitor for the shapes.
//
// The walk's state is the node the path stands on, 0 before it has started. A
// marker step (0) puts a marker dot on that node once the path has started. A
// step onto a node draws a line from the node the path stands on, red when
// either end is a corner; a step from a corner onto a corner draws nothing and
// leaves the path on the first corner of the run. Steps that name no node of the
// structure (no entry in NodeList) are ignored altogether.

// The NodeList entries a walk can reach: step values are signed bytes, so no
// step reaches a node past 127.
std::size_t ReachableNodes(std::size_t nodeListSize);

// A step's value as the column of its table row.
inline std::size_t StepByte(int value) {
    return static_cast<std::uint8_t>(value);
}

// What a shape of the walk is, as a small number: lines by (from, to), marker
// dots by their node, and one number more for a step that draws nothing.
// Distinct numbers may still be equal pictures (two nodes on one spot); that
// costs a repeat, never a wrong pixel.
class ShapeKeys {
  public:
    explicit ShapeKeys(std::size_t nodeCount) : nodeCount(nodeCount) {}

    std::size_t Count() const { return nodeCount * nodeCount + nodeCount; }
    std::size_t None() const { return Count(); }
    std::size_t Line(std::size_t from, std::size_t to) const { return from * nodeCount + to; }
    std::size_t Marker(std::size_t node) const { return nodeCount * nodeCount + node; }

    bool IsMarker(std::size_t key) const { return key >= nodeCount * nodeCount; }
    std::size_t MarkerNode(std::size_t key) const { return key - nodeCount * nodeCount; }
    std::size_t LineFrom(std::size_t key) const { return key / nodeCount; }
    std::size_t LineTo(std::size_t key) const { return key % nodeCount; }

  private:
    std::size_t nodeCount;
};

// One step of the walk: the shape it draws (ShapeKeys::None for none) and the
// next state, as the next state's row in a table of 256 entries per node.
struct PathMove {
    std::uint16_t shape;
    std::uint16_t next; // node * 256
};

// The rules of the walk over `structure` with a NodeList of `nodeCount` entries.
class PathRules {
  public:
    PathRules(const Structure& structure, std::size_t nodeCount);

    std::size_t NodeCount() const { return nodeCount; }
    const ShapeKeys& Keys() const { return keys; }

    bool IsCorner(std::size_t node) const;
    // The colour rule: a line is red when either end is a corner node.
    bool LineRed(std::size_t from, std::size_t to) const;
    bool LineRed(std::size_t key) const { return LineRed(keys.LineFrom(key), keys.LineTo(key)); }
    std::int32_t MarkerRadius(const Layout& layout) const {
        return layout.markerRadius + structure->extraMarkerRadius;
    }

    // The step `value` taken while the path stands on `standing`. A line runs
    // from `standing` to the next node; a marker dot sits on `standing`.
    PathMove Step(std::size_t standing, int value) const;
    // Whether the step `value` puts the path on an ordinary node: the path then
    // stands on that node whatever came before.
    bool Settles(int value) const;

    // Walks `steps` from `standing`, calling visit(index, shape) for every step
    // that draws a shape, in order. Returns the node the path then stands on.
    template <typename Visit>
    std::size_t Walk(std::span<const std::int8_t> steps, std::size_t standing,
                     Visit&& visit) const {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const PathMove move = Step(standing, steps[i]);
            if (move.shape != keys.None()) {
                visit(i, std::size_t{move.shape});
            }
            standing = move.next / 256;
        }
        return standing;
    }

    // Where the path stands after `steps`, found from their end: the walk from
    // the last step that settles on.
    std::size_t StandingNodeAfter(std::span<const std::int8_t> steps) const;

  private:
    const Structure* structure;
    std::size_t nodeCount;
    ShapeKeys keys;
};

// A long walk by table lookup waits on each lookup before the next can start.
// The list is therefore cut into lanes walked side by side. A lane may start
// right after any step that settles, so every lane knows its starting state
// exactly.
inline constexpr std::size_t pathLaneCount = 4;

struct PathLane {
    std::size_t begin;  // the lane's first step
    std::size_t end;    // one past its last
    std::size_t offset; // the state's row in the table: node * 256
};

// The walk as a table, one lookup per step, for walks over whole lists.
class PathTable {
  public:
    explicit PathTable(const PathRules& rules);

    const PathRules& Rules() const { return rules; }

    // Walks `steps` in lanes from the start, calling visit(lane, index, shape,
    // byte) for every step, with shape ShapeKeys::None for a step that draws
    // nothing and byte the step's StepByte. Within a lane the steps come in
    // order; the lanes cover the steps without overlap, lane k before lane k + 1.
    // Returns the node the path ends on, 0 if it never started.
    template <typename Visit>
    std::size_t WalkInLanes(std::span<const std::int8_t> steps, Visit visit) const {
        std::array<PathLane, pathLaneCount> lanes{};
        const std::size_t used = PlanLanes(steps, lanes);
        if (used == pathLaneCount) {
            WalkSideBySide(steps, lanes, visit);
        }
        for (std::size_t lane = 0; lane < used; ++lane) {
            WalkLane(steps, lane, lanes[lane], visit);
        }
        return lanes[used - 1].offset / 256;
    }

  private:
    // Lane k begins near the k-th part of `steps`, after the first step that
    // settles; the lane before it ends there. Returns how many lanes were
    // found: lanes[0] always, covering what the others do not.
    std::size_t PlanLanes(std::span<const std::int8_t> steps,
                          std::array<PathLane, pathLaneCount>& lanes) const;

    template <typename Visit>
    static void Take(const PathMove* table, Visit& visit, std::size_t lane, std::size_t index,
                     std::size_t& offset, std::int8_t value) {
        const std::size_t byte = StepByte(value);
        const PathMove move = table[offset + byte];
        visit(lane, index, std::size_t{move.shape}, byte);
        offset = move.next;
    }

    // Walks all lanes in step as far as the shortest reaches, leaving the rest
    // of each lane to WalkLane. The lanes' state lives in locals: a visitor that
    // stores integers of the same type through a pointer would otherwise make
    // the compiler reload it from memory after every store.
    template <typename Visit>
    void WalkSideBySide(std::span<const std::int8_t> steps,
                        std::array<PathLane, pathLaneCount>& lanes, Visit& visit) const {
        static_assert(pathLaneCount == 4);
        std::size_t common = steps.size();
        for (const PathLane& lane : lanes) {
            common = std::min(common, lane.end - lane.begin);
        }
        const std::size_t b0 = lanes[0].begin;
        const std::size_t b1 = lanes[1].begin;
        const std::size_t b2 = lanes[2].begin;
        const std::size_t b3 = lanes[3].begin;
        const std::int8_t* const s = steps.data();
        std::size_t o0 = lanes[0].offset;
        std::size_t o1 = lanes[1].offset;
        std::size_t o2 = lanes[2].offset;
        std::size_t o3 = lanes[3].offset;
        const PathMove* const table = moves.data();
        for (std::size_t j = 0; j < common; ++j) {
            Take(table, visit, 0, b0 + j, o0, s[b0 + j]);
            Take(table, visit, 1, b1 + j, o1, s[b1 + j]);
            Take(table, visit, 2, b2 + j, o2, s[b2 + j]);
            Take(table, visit, 3, b3 + j, o3, s[b3 + j]);
        }
        const std::size_t offsets[] = {o0, o1, o2, o3};
        for (std::size_t lane = 0; lane < pathLaneCount; ++lane) {
            lanes[lane].begin += common;
            lanes[lane].offset = offsets[lane];
        }
    }

    template <typename Visit>
    void WalkLane(std::span<const std::int8_t> steps, std::size_t lane, PathLane& walked,
                  Visit& visit) const {
        std::size_t offset = walked.offset;
        const PathMove* const table = moves.data();
        const std::int8_t* const s = steps.data();
        const std::size_t end = walked.end;
        for (std::size_t i = walked.begin; i < end; ++i) {
            Take(table, visit, lane, i, offset, s[i]);
        }
        walked.offset = offset;
    }

    PathRules rules;
    std::vector<PathMove> moves;
    std::array<bool, 256> settles{};
};

// Every shape is opaque and drawn without antialiasing, so a pixel ends up in the
// colour of the last shape that covers it: drawing only the last occurrence of
// each distinct shape, in the order of those occurrences, leaves the same picture.
// `lastSeen[key]` is 1 + the index of the step that last drew shape `key`, 0 for
// none; the result is the keys in the order to draw them.
std::vector<std::size_t> ShapesInDrawingOrder(std::span<const std::size_t> lastSeen);
