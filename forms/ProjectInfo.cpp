#include "ProjectInfo.h"

namespace mc {

QString ProjectSiteUrl() { return QString::fromStdString(ProjectSiteAddress()); }

QString UpdatesPageUrl()
{
    return QStringLiteral("%1/modules.php?name=Downloads&d_op=viewdownload&cid=3").arg(ProjectSiteUrl());
}

}  // namespace mc
