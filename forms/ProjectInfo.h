// The program's name, version and web site.
#pragma once

#include <QString>

#include "Core/ProjectInfo.h"

namespace mc {

// The project's web site (ProjectSiteAddress) as a QString.
QString ProjectSiteUrl();

// The download page shown on the "Updates" page.
QString UpdatesPageUrl();

}  // namespace mc
