#include "Core/FindFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Core/FilePaths.h"
#include "Core/Strings.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace mc {

namespace fs = std::filesystem;

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// '*' and '?' wildcards with backtracking to the last '*'.
bool WildcardMatch(std::string_view name, std::string_view mask)
{
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    // What is left of the mask may match nothing: stars, and trailing '?'s.
    while (m < mask.size() && (mask[m] == '*' || mask[m] == '?')) ++m;
    return m == mask.size();
}

bool NameLess(const std::string& a, const std::string& b)
{
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

// Names starting with a dot; on Windows also what carries the hidden or
// system attribute, and folder links (junctions), which may loop.
bool IsHidden(const fs::directory_entry& entry, const std::string& name)
{
    if (!name.empty() && name[0] == '.') return true;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return true;
    const DWORD folderLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((attributes & folderLink) == folderLink) return true;
#endif
    return false;
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (mask == "*" || mask == "*.*") return true;
    if (WildcardMatch(name, mask)) return true;
    // "name.*" also matches a name without any extension.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos)
        return WildcardMatch(name, mask.substr(0, mask.size() - 2));
    return false;
}

void FindFiles(const std::string& folder, const std::string& mask, std::vector<std::string>& list, bool recursive)
{
    std::string base = folder;
    while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) base.pop_back();

    std::vector<std::string> files, folders;
    std::error_code ec;
    fs::directory_iterator it(PathFromUtf8(base), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = PathToUtf8(it->path().filename());
        if (IsHidden(*it, name)) continue;
        std::error_code stateError;
        if (it->is_directory(stateError)) {
            if (!it->is_symlink(stateError)) folders.push_back(name);
        } else if (it->is_regular_file(stateError) && MatchesMask(name, mask)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end(), NameLess);
    std::sort(folders.begin(), folders.end(), NameLess);

    const std::string prefix = base == "/" ? base : base + kPathSeparator;
    for (const std::string& name : files) list.push_back(prefix + name);
    if (!recursive) return;
    for (const std::string& name : folders) FindFiles(prefix + name, mask, list, true);
}

}  // namespace mc
