#include "Palette.h"

void SelectColour(Rgb& currentColour, std::int8_t index) {
    if (index >= 0 && static_cast<std::size_t>(index) < Palette.size()) {
        currentColour = Palette[static_cast<std::size_t>(index)].colour;
    }
}
