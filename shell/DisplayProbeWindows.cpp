#include "DisplayProblem.h"

// The desktop of a Windows session is there as long as the session is.
std::optional<std::string> WindowSystemProblem() {
    return std::nullopt;
}
