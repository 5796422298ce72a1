#include "StructureSpec.h"

std::optional<StructureKind> StructureNamed(std::string_view cliName) {
    for (const StructureSpec& spec : structures) {
        if (spec.cliName == cliName) {
            return spec.kind;
        }
    }
    return std::nullopt;
}

std::optional<StructureKind> StructureOfMenuItem(std::int32_t item) {
    for (const StructureSpec& spec : structures) {
        if (spec.menuItem == item) {
            return spec.kind;
        }
    }
    return std::nullopt;
}
