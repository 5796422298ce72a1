#include "Console.h"

#include <cstdio>
#include <cstdlib>
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

namespace {

// The code page the console had; 0 while it is untouched.
UINT consoleCodePage = 0;

void RestoreConsoleCodePage() {
    if (consoleCodePage != 0) {
        ::SetConsoleOutputCP(consoleCodePage);
    }
}

// Runs on its own thread; FALSE lets the default handler end the program.
BOOL WINAPI RestoreOnInterrupt(DWORD) {
    RestoreConsoleCodePage();
    return FALSE;
}

bool IsConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(standardHandle), &mode) != 0;
}

} // namespace

// A code page rather than WriteConsoleW: every writer (the C++ streams, stdio,
// the progress line, the picture program sharing the console) then stays as it
// is. The picture program finds UTF-8 set already and leaves the restoring to
// qornv-render. A program killed outright leaves the console at UTF-8, where
// only programs that write in the old code page then show their umlauts wrong.
void UseUtf8Console() {
    if (!IsConsole(STD_OUTPUT_HANDLE) && !IsConsole(STD_ERROR_HANDLE)) {
        return;
    }
    const UINT codePage = ::GetConsoleOutputCP();
    if (codePage == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) {
        return;
    }
    consoleCodePage = codePage;
    std::atexit(RestoreConsoleCodePage);
    ::SetConsoleCtrlHandler(RestoreOnInterrupt, TRUE);
}
