// Finding the file an #include names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mc {

// The path of the file an #include names, or "" when there is none. The
// name is looked for relative to the including file's folder, then to each
// of folders, then to the current directory. Backslashes separate folders
// as on the game's system; a component that is not found as written is
// matched without regard to case.
std::string FindIncludeFile(std::string_view name, const std::string& includerFolder,
                            const std::vector<std::string>& folders);

// The folder part of a path ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace mc
