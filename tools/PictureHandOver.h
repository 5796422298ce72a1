#pragma once

#include <string>
#include <vector>

// qornv-render draws no picture itself: -o goes to qornv-render-picture with the
// same arguments, found beside this program (the build tree, the Windows
// folder) or in the libexec folder next to the bin folder once installed.
// Returns the exit status to end with; on POSIX the program is replaced and
// this returns only when it could not be started. One source file a platform.
int HandOverToPictureRenderer(const std::vector<std::string>& arguments);
