#pragma once

#include "Structures.h"

#include <cstdint>

// The numbers the menu items carry in a MenuEvent. The structures' items take
// theirs from the table of structures.
enum MenuItem : std::int32_t {
    MenuOpen = 3,
    MenuPrint = 4,
    MenuQuit = 5,
    MenuIcosahedron = StructureOf(StructureKind::Icosahedron).menuItem,
    MenuOctahedron = StructureOf(StructureKind::Octahedron).menuItem,
    MenuClear = 8,
};

// A structure's item number equal to a command's would run that command.
static_assert(
    [] {
        for (const Structure& structure : structures) {
            for (const std::int32_t command : {MenuOpen, MenuPrint, MenuQuit, MenuClear}) {
                if (structure.menuItem == command) {
                    return false;
                }
            }
        }
        return true;
    }(),
    "no structure's menu item is a command's");
