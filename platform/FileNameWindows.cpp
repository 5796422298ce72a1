#include "FileName.h"

#include <windows.h>

// UTF-16 both ways by the system's own conversion: libstdc++ would otherwise
// take a narrow name in the ANSI code page.
std::filesystem::path PathOfName(const std::string& name) {
    const int size = static_cast<int>(name.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, wide.data(), length);
    return std::filesystem::path(std::move(wide));
}

std::string NameOfPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, name.data(), length, nullptr, nullptr);
    return name;
}
