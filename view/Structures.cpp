#include "Structures.h"

std::optional<StructureKind> StructureNamed(std::string_view commandLineName) {
    for (const Structure& structure : structures) {
        if (structure.commandLineName == commandLineName) {
            return structure.kind;
        }
    }
    return std::nullopt;
}

std::optional<StructureKind> StructureOfMenuItem(std::int32_t item) {
    for (const Structure& structure : structures) {
        if (structure.menuItem == item) {
            return structure.kind;
        }
    }
    return std::nullopt;
}
