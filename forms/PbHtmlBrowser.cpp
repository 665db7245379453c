#include "PbHtmlBrowser.h"

namespace mc {

TPbHtmlBrowser::TPbHtmlBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(true);
    setOpenLinks(true);
}

QVariant TPbHtmlBrowser::loadResource(int type, const QUrl& name)
{
    if (source_) {
        QVariant found = source_(type, name);
        if (found.isValid()) return found;
    }
    return QTextBrowser::loadResource(type, name);
}

}  // namespace mc
