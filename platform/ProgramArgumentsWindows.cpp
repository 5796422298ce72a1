#include "ProgramArguments.h"

#include "FileName.h"

#include <windows.h>

#include <shellapi.h>

// The wide command line, split by the same rules the C runtime splits argv by.
std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int index = 1; wide != nullptr && index < count; ++index) {
        arguments.push_back(NameOfPath(wide[index]));
    }
    ::LocalFree(wide);
    return arguments;
}
