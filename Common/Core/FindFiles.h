// Listing files of a folder, optionally with its sub-folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mc {

// The separator FindFiles puts between a folder and a name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// File-name mask match as the desktop does it, ignoring case: '*' any run of
// characters, '?' any one character (trailing '?'s also match nothing), and
// "*.*" matches every name, with or without a dot.
bool MatchesMask(std::string_view name, std::string_view mask);

// Appends the full names (folder, a separator, name) of the ordinary files of
// folder matching mask; with recursive, then descends into each sub-folder.
// The files of a folder come before those of its sub-folders; names of one
// folder are in name order. Hidden entries (names starting with a dot, and on
// Windows those with the hidden or system attribute) are not listed and not
// entered; nor are links to folders.
void FindFiles(const std::string& folder, const std::string& mask, std::vector<std::string>& list, bool recursive);

}  // namespace mc
