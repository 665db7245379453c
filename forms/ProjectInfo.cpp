#include "ProjectInfo.h"

#include <QtGlobal>

namespace mc {

QString ProjectSiteUrl()
{
    QString site = qEnvironmentVariable("MESHCRAFT_SITE_URL");
    if (site.isEmpty()) site = QStringLiteral("https://meshcraft.example.org");
    while (site.endsWith(QLatin1Char('/'))) site.chop(1);
    return site;
}

QString UpdatesPageUrl()
{
    return QStringLiteral("%1/modules.php?name=Downloads&d_op=viewdownload&cid=3").arg(ProjectSiteUrl());
}

}  // namespace mc
