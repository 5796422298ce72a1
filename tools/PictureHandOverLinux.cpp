#include "PictureHandOver.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

int HandOverToPictureRenderer(const std::vector<std::string>& arguments) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path candidates[] = {self.parent_path() / "qornv-render-picture",
                                                self.parent_path().parent_path() /
                                                    QORNV_LIBEXEC_SUBDIR / "qornv-render-picture"};
    for (const auto& candidate : candidates) {
        if (!error && ::access(candidate.c_str(), X_OK) == 0) {
            std::vector<std::string> words{candidate.string()};
            words.insert(words.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            ::execv(candidate.c_str(), argv.data());
            std::cerr << "qornv-render: cannot run " << candidate << ": " << std::strerror(errno)
                      << '\n';
            return 1;
        }
    }
    std::cerr << "qornv-render: the picture renderer qornv-render-picture is not installed\n";
    return 1;
}
