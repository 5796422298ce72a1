#include "Console.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

bool IsCapableTerminal(int descriptor) {
    const char* term = std::getenv("TERM");
    return ::isatty(descriptor) == 1 && !(term != nullptr && std::strcmp(term, "dumb") == 0);
}

void UseBinaryStandardOutput() {}

void UseConsoleText() {}
