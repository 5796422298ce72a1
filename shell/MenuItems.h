#pragma once

#include "StructureSpec.h"

#include <cstdint>

// The numbers the menu items carry in a MenuEvent. The structures' items take
// theirs from the table of structures.
enum MenuItem : std::int32_t {
    MenuOpen = 3,
    MenuPrint = 4,
    MenuQuit = 5,
    MenuIcosahedron = SpecOf(StructureKind::Icosahedron).menuItem,
    MenuOctahedron = SpecOf(StructureKind::Octahedron).menuItem,
    MenuClear = 8,
};
