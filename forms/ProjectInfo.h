// The program's name, version and web site.
#pragma once

#include <QString>

namespace mc {

inline constexpr const char* kProgramName = "Meshcraft";
inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 28;

// The project's web site: scheme and host, no trailing slash. The variable
// MESHCRAFT_SITE_URL replaces it (a local server in tests).
QString ProjectSiteUrl();

// The download page shown on the "Updates" page.
QString UpdatesPageUrl();

}  // namespace mc
