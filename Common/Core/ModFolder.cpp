#include "Core/ModFolder.h"

#include "Core/Strings.h"

namespace mc {

namespace {
std::string g_modFolder;
}

void SetModFolder(std::string_view text)
{
    std::string folder(text);
    if (!folder.empty() && !StartsWithBackslash(folder)) folder.insert(folder.begin(), '\\');
    g_modFolder = ExcludeTrailingBackslash(folder);
}

const std::string& GetModFolder() { return g_modFolder; }

}  // namespace mc
