#pragma once

#include <cstdint>

// The numbers the menu items carry in a MenuEvent.
enum MenuItem : std::int32_t {
    MenuOpen = 3,
    MenuPrint = 4,
    MenuQuit = 5,
    MenuIcosahedron = 6,
    MenuOctahedron = 7,
    MenuClear = 8,
};
