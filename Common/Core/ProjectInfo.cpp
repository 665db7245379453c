#include "Core/ProjectInfo.h"

#include <cstdlib>

#include "Core/Strings.h"

namespace mc {

std::string ProgramTitle() { return Format("%s v%d.%d", kProgramName, kVersionMajor, kVersionMinor); }

std::string ProjectSiteAddress()
{
    const char* env = std::getenv("MESHCRAFT_SITE_URL");
    std::string site = env && *env ? env : "https://meshcraft.example.org";
    while (!site.empty() && site.back() == '/') site.pop_back();
    return site;
}

}  // namespace mc
