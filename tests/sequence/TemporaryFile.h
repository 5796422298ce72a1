#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// A folder of its own per test, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qornv-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string file = (path / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::string PathOf(const std::string& name) const { return (path / name).string(); }

  private:
    std::filesystem::path path;
};
