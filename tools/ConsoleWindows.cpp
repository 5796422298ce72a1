#include "Console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Consoles of Windows 10 and later take escape sequences once asked to; an
// older one refuses, and then gets no progress line rather than stray codes.
bool IsCapableTerminal(int descriptor) {
    if (::_isatty(descriptor) == 0) {
        return false;
    }
    const auto console = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    DWORD mode = 0;
    return ::GetConsoleMode(console, &mode) &&
           ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void UseBinaryStandardOutput() {
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}
