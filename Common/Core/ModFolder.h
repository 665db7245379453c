// The MOD folder chosen at start: empty, or a backslash and a folder name.
#pragma once

#include <string>
#include <string_view>

namespace mc {

void SetModFolder(std::string_view text);
const std::string& GetModFolder();

}  // namespace mc
