// Paths built from the game's backslash-separated pieces, for the file system
// of the machine the program runs on.
#pragma once

#include <algorithm>
#include <string>

namespace mc {

inline std::string NativePath(std::string path)
{
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

}  // namespace mc
