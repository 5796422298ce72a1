// Linux file names are bytes. A macOS twin would take them as they are too
// (its file system keeps UTF-8); a BSD one is this file unchanged.

#include "FileName.h"

std::filesystem::path PathOfName(const std::string& name) {
    return std::filesystem::path(name);
}

std::string NameOfPath(const std::filesystem::path& path) {
    return path.native();
}
