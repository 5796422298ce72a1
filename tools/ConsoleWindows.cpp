#include "Console.h"

#include "FileName.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <streambuf>
#include <string>
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

// The length of `text` without an unfinished UTF-8 sequence at its end, which
// waits for the rest of its bytes.
std::size_t CompleteLength(const std::string& text) {
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(size, 3); ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue; // a continuation byte: look further back for the lead
        }
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

// WriteConsoleW rather than the console's code page: the C runtime may
// translate bytes for a console on its own (Wine's does, byte by byte), and a
// code page switched for the run would outlast a program killed outright.
class ConsoleBuffer : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console(console) {}

  protected:
    int_type overflow(int_type character) override {
        if (!traits_type::eq_int_type(character, traits_type::eof())) {
            pending += traits_type::to_char_type(character);
        }
        return traits_type::not_eof(character);
    }
    std::streamsize xsputn(const char* text, std::streamsize size) override {
        pending.append(text, static_cast<std::size_t>(size));
        return size;
    }
    // std::cerr flushes after every output, and once more at the exit.
    int sync() override {
        const std::size_t complete = CompleteLength(pending);
        const std::wstring wide = PathOfName(pending.substr(0, complete)).native();
        pending.erase(0, complete);
        DWORD written = 0;
        return wide.empty() || ::WriteConsoleW(console, wide.data(),
                                               static_cast<DWORD>(wide.size()), &written, nullptr)
                   ? 0
                   : -1;
    }

  private:
    HANDLE console;
    std::string pending;
};

} // namespace

void UseConsoleText() {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleMode(error, &mode)) {
        // Never destroyed: std::cerr is flushed once more after static objects.
        std::cerr.rdbuf(new ConsoleBuffer(error));
    }
}
