#include "PictureHandOver.h"

#include "FileName.h"

#include <iostream>
#include <windows.h>

namespace {

// One argument as the C runtime splits a command line again: in quotes, with
// the backslashes before a quote (and before the closing quote) doubled.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(character == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += character;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

} // namespace

// Windows has no exec: the picture program runs as a child that shares this
// program's console and standard handles, and its exit status is passed on.
int HandOverToPictureRenderer(const std::vector<std::string>& arguments) {
    const std::wstring program = OwnFolder() + L"qornv-render-picture.exe";
    if (::GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::cerr << "qornv-render: the picture renderer qornv-render-picture is not installed\n";
        return 1;
    }
    std::wstring line;
    AppendQuoted(line, program);
    // Every argument by the file-name rule, names or not: the picture program
    // reads its wide command line back by the same rule.
    for (const std::string& argument : arguments) {
        line += L' ';
        AppendQuoted(line, PathOfName(argument).native());
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::cerr << "qornv-render: cannot run qornv-render-picture (Windows error "
                  << ::GetLastError() << ")\n";
        return 1;
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
