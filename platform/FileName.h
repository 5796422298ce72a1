#pragma once

#include <filesystem>
#include <string>

// The one rule for file names. Inside the program a file name is a
// std::string: UTF-8 on Windows, whose 8-bit file calls and `argv` know only
// the ANSI code page and so cannot spell every name; the file system's own
// bytes on Linux, where a name need not be valid UTF-8 at all. Every place
// that turns such a name into a file, or a file's name into such a name, goes
// through these two.

// The name as the system's file calls take it (wide on Windows).
std::filesystem::path PathOfName(const std::string& name);

// The inverse: a path the system gave back as the program's name.
std::string NameOfPath(const std::filesystem::path& path);
