#include "Config/IncludeFiles.h"

#include <filesystem>
#include <system_error>

#include "Core/FilePaths.h"
#include "Core/Strings.h"

namespace mc {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// base / components, each component matched exactly or else without
// regard to case; empty when a component has no match.
fs::path Resolve(const fs::path& base, const std::vector<std::string>& components)
{
    fs::path current = base;
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string& c = components[i];
        fs::path next = current / PathFromUtf8(c);
        std::error_code ec;
        if (c == "." || c == ".." || fs::exists(next, ec)) {
            current = std::move(next);
            continue;
        }
        bool found = false;
        const fs::path folder = current.empty() ? fs::path(".") : current;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string entry = PathToUtf8(it->path().filename());
            if (SameText(entry, c)) {
                current = current / it->path().filename();
                found = true;
                break;
            }
        }
        if (!found) return {};
    }
    return current;
}

}  // namespace

std::string FolderOf(const std::string& path)
{
    const fs::path p = PathFromUtf8(path);
    return p.has_parent_path() ? PathToUtf8(p.parent_path()) : std::string();
}

std::string FindIncludeFile(std::string_view name, const std::string& includerFolder,
                            const std::vector<std::string>& folders)
{
    std::string text(name);
    for (char& ch : text)
        if (ch == '\\') ch = '/';
    if (text.empty()) return {};

    const fs::path direct = PathFromUtf8(text);
    if (direct.is_absolute() && IsFile(direct)) return PathToUtf8(direct);

    // An add-on's root-relative name starts with a backslash.
    size_t start = 0;
    while (start < text.size() && text[start] == '/') ++start;
    std::vector<std::string> components;
    for (size_t i = start; i < text.size();) {
        size_t j = text.find('/', i);
        if (j == std::string::npos) j = text.size();
        if (j > i) components.push_back(text.substr(i, j - i));
        i = j + 1;
    }
    if (components.empty()) return {};

    std::vector<fs::path> bases;
    if (!includerFolder.empty()) bases.push_back(PathFromUtf8(includerFolder));
    for (const std::string& f : folders) bases.push_back(PathFromUtf8(f));
    bases.emplace_back();  // the current directory
    for (const fs::path& base : bases) {
        const fs::path found = Resolve(base, components);
        if (!found.empty() && IsFile(found)) return PathToUtf8(found);
    }
    return {};
}

}  // namespace mc
