// The archive manager's HTML page: a text browser whose external links open
// in the system's browser and whose pictures and style sheets may come from
// the archive the page is in.
#pragma once

#include <QTextBrowser>
#include <functional>

namespace mc {

class TPbHtmlBrowser : public QTextBrowser {
public:
    explicit TPbHtmlBrowser(QWidget* parent = nullptr);

    // Asked for every resource the page names; an invalid answer lets the
    // browser load it the usual way.
    void SetResourceSource(std::function<QVariant(int type, const QUrl& url)> source) { source_ = std::move(source); }

    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::function<QVariant(int, const QUrl&)> source_;
};

}  // namespace mc
