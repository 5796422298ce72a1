#pragma once

#include "Sequence.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

// Everything that tells the structures apart stands in `structures` below; the
// rest of the viewer reads it from there. A structure more is an entry more.

// The value indexes `structures`.
enum class StructureKind : std::int8_t { Icosahedron = 0, Octahedron = 1 };

enum class Ring : std::uint8_t { Inner, Middle, Outer };

struct RingNode {
    Ring ring;
    double angleDegrees; // clockwise on the screen from the positive x axis
};

// Node discs of a scheme that draws every node NodeList holds.
inline constexpr std::size_t allNodes = std::numeric_limits<std::size_t>::max();

struct Structure {
    StructureKind kind;

    // Geometry: nodes 1, 2, ... around the centre in this order; the centre
    // node follows them. NodeList adds the placeholder, entry 0.
    std::span<const RingNode> ring;
    // The corner nodes: lines to and from them are red, and a run of them
    // collapses onto its first.
    std::span<const std::int8_t> corners;

    // Node discs: node n takes palette index paletteStride * (n - 1) + 1 and
    // radius nodeRadius + extraNodeRadius; nodes past discNodes are not drawn.
    std::int8_t paletteStride;
    std::size_t discNodes;
    std::int32_t extraNodeRadius;
    // Marker dots: radius markerRadius + extraMarkerRadius.
    std::int32_t extraMarkerRadius;

    // The list of the sequence that this structure's view walks.
    CursorList<std::int8_t> Sequence::*walked;

    // The command-line tools' name of the structure, and the number its menu
    // item carries in a MenuEvent. The user's texts stand in the shell.
    std::string_view commandLineName;
    std::int32_t menuItem;

    // NodeList entries: the placeholder, the ring, the centre.
    constexpr std::size_t NodeCount() const { return ring.size() + 2; }
};

// Icosahedron: corners 1, 5, 9 on the outer ring pointing down, 3, 7, 11 on the
// inner ring pointing up, the middle ring 15 degrees either side of those.
inline constexpr RingNode icosahedronRing[] = {
    {Ring::Outer, 330}, {Ring::Middle, 15},  {Ring::Inner, 30},  {Ring::Middle, 45},
    {Ring::Outer, 90},  {Ring::Middle, 135}, {Ring::Inner, 150}, {Ring::Middle, 165},
    {Ring::Outer, 210}, {Ring::Middle, 255}, {Ring::Inner, 270}, {Ring::Middle, 285},
};
inline constexpr std::int8_t icosahedronCorners[] = {1, 5, 9};

// Octahedron: a regular hexagon alternating outer (corners) and middle ring.
// The class codes carry icosahedron corners 1, 5, 9 onto corners 1, 3, 5.
inline constexpr RingNode octahedronRing[] = {
    {Ring::Outer, 330},  {Ring::Middle, 30}, {Ring::Outer, 90},
    {Ring::Middle, 150}, {Ring::Outer, 210}, {Ring::Middle, 270},
};
inline constexpr std::int8_t octahedronCorners[] = {1, 3, 5};

inline constexpr std::array structures{
    Structure{
        .kind = StructureKind::Icosahedron,
        .ring = icosahedronRing,
        .corners = icosahedronCorners,
        .paletteStride = 1,
        .discNodes = allNodes,
        .extraNodeRadius = 0,
        .extraMarkerRadius = 0,
        .walked = &Sequence::stepList,
        .commandLineName = "icosahedron",
        .menuItem = 6,
    },
    Structure{
        .kind = StructureKind::Octahedron,
        .ring = octahedronRing,
        .corners = octahedronCorners,
        .paletteStride = 2,
        .discNodes = 7,
        .extraNodeRadius = 5,
        .extraMarkerRadius = 5,
        .walked = &Sequence::classList,
        .commandLineName = "octahedron",
        .menuItem = 7,
    },
};

constexpr bool NamesStructure(StructureKind kind) {
    return kind >= StructureKind{} && static_cast<std::size_t>(kind) < structures.size();
}

// The entry of `kind`; nullptr for a value that names no structure.
constexpr const Structure* FindStructure(StructureKind kind) {
    return NamesStructure(kind) ? &structures[static_cast<std::size_t>(kind)] : nullptr;
}

// The entry of `kind`, the first one for a value that names no structure.
// (Decided on the index, not on FindStructure's pointer: GCC with
// AddressSanitizer does not take a pointer comparison as a constant.)
constexpr const Structure& StructureOf(StructureKind kind) {
    return NamesStructure(kind) ? structures[static_cast<std::size_t>(kind)] : structures.front();
}

static_assert(
    [] {
        for (std::size_t index = 0; index < structures.size(); ++index) {
            if (structures[index].kind != static_cast<StructureKind>(index)) {
                return false;
            }
        }
        return true;
    }(),
    "structures stand in the order of their kinds");

std::optional<StructureKind> StructureNamed(std::string_view commandLineName);
std::optional<StructureKind> StructureOfMenuItem(std::int32_t item);

// The list of `sequence` that the view of `structure` walks.
inline const CursorList<std::int8_t>& WalkedList(const Sequence& sequence,
                                                 const Structure& structure) {
    return sequence.*structure.walked;
}
inline CursorList<std::int8_t>& WalkedList(Sequence& sequence, const Structure& structure) {
    return sequence.*structure.walked;
}

// Shown at start; clearing the view leaves this structure's discs whichever is shown.
inline constexpr StructureKind startupStructure = StructureKind::Icosahedron;
