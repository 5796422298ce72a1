#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// The file system's name for a UTF-8 name; a path made from a plain std::string
// would read it in the Windows code page instead.
inline std::filesystem::path NativePath(const std::string& name) {
    return std::u8string(name.begin(), name.end());
}

// A folder of its own per test, removed with everything in it. Names given and
// returned are UTF-8, as the loader takes them on every platform.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::random_device random;
        std::error_code taken;
        do {
            const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
            char name[32];
            std::snprintf(name, sizeof name, "qornv-test-%016llx",
                          static_cast<unsigned long long>(tag));
            path = std::filesystem::temp_directory_path() / name;
        } while (!std::filesystem::create_directory(path, taken) && !taken);
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
        std::ofstream(NativePathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    std::string PathOf(const std::string& name) const { return Utf8(NativePathOf(name)); }
    std::filesystem::path NativePathOf(const std::string& name) const {
        return path / NativePath(name);
    }

  private:
    static std::string Utf8(const std::filesystem::path& native) {
        const std::u8string name = native.u8string();
        return {name.begin(), name.end()};
    }

    std::filesystem::path path;
};
