// A Wine registry file of any content gives the game folder or nothing; the
// found folder is a text of the file and maps to a path of this machine.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gamefolder/GameFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string folder = mc::ReadWineRegistryString(text, mc::kGameRegistryKey, mc::kGameRegistryValue);
    // Escapes never make a value longer than its quoted form (\x0041 gives at
    // most three bytes for six).
    if (folder.size() > size) std::abort();
    if (!folder.empty()) {
        const auto path = mc::WinePathToNative(folder, "/prefix");
        if (path.empty() && folder.find_first_not_of("\\/") != std::string::npos &&
            !(folder.size() >= 2 && folder[1] == ':'))
            std::abort();
    }
    return 0;
}
