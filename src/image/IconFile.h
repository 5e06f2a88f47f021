#pragma once
// An icon resource of a module as the bytes of an icon file (.ico), for
// code that takes icon files: the directory of the group resource, with
// each image's resource id replaced by its offset in the file.

#include <windows.h>

#include <vector>

namespace image {

// Empty when the module has no such icon group or one of its images is missing.
[[nodiscard]] std::vector<unsigned char> IconFileBytes(HMODULE module, WORD groupId);

} // namespace image
