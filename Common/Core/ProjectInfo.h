// The program's name, version and web site, as files and windows name them.
#pragma once

#include <string>

namespace mc {

inline constexpr const char* kProgramName = "Meshcraft";
inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 28;

// "Meshcraft v0.28".
std::string ProgramTitle();

// The project's web site: scheme and host, no trailing slash. The variable
// MESHCRAFT_SITE_URL replaces it (a local server in tests).
std::string ProjectSiteAddress();

}  // namespace mc
