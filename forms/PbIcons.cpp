#include "PbIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "PbFileTypes.h"

namespace mc {

namespace {

constexpr int kSize = 16;

QPixmap Folder(QColor body, bool open)
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(body.darker(170));
    p.setBrush(body.darker(115));
    p.drawRect(1, 3, 6, 2);
    p.drawRect(1, 4, 13, 10);
    if (open) {
        QPolygon flap({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)});
        p.setBrush(body.lighter(125));
        p.drawPolygon(flap);
    } else {
        p.setBrush(body);
        p.drawRect(1, 6, 13, 8);
    }
    return pm;
}

// A sheet with a folded corner and a coloured mark with a letter.
QPixmap Sheet(QColor mark, const char* letter)
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(2, 0), QPoint(10, 0), QPoint(14, 4), QPoint(14, 15), QPoint(2, 15)}));
    p.drawLine(10, 0, 10, 4);
    p.drawLine(10, 4, 14, 4);
    if (letter && *letter) {
        p.setPen(Qt::NoPen);
        p.setBrush(mark);
        p.drawRect(3, 7, 10, 7);
        QFont f = p.font();
        f.setPixelSize(7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(3, 7, 10, 7), Qt::AlignCenter, QString::fromLatin1(letter));
    }
    return pm;
}

}  // namespace

TPbIconList::TPbIconList() : icons_(PbIconCount)
{
    auto& a = icons_;
    const QColor game(230, 190, 70), addOn(110, 160, 220);
    a[PbIconGameFolder] = QIcon(Folder(game, false));
    a[PbIconGameFolderOpen] = QIcon(Folder(game, true));
    a[PbIconAddOnFolder] = QIcon(Folder(addOn, false));
    a[PbIconAddOnFolderOpen] = QIcon(Folder(addOn, true));
    const QIcon blank(Sheet(QColor(), ""));
    a[PbIconConfig] = QIcon(Sheet(QColor(100, 100, 100), "C"));
    a[5] = blank;
    a[PbIconFont] = QIcon(Sheet(QColor(140, 60, 140), "F"));
    a[PbIconHtml] = QIcon(Sheet(QColor(40, 110, 200), "H"));
    a[PbIconScript] = QIcon(Sheet(QColor(40, 140, 60), "S"));
    a[PbIconSound] = QIcon(Sheet(QColor(200, 120, 0), "W"));
    a[PbIconTexture] = QIcon(Sheet(QColor(200, 40, 40), "T"));
    a[11] = blank;
    a[12] = blank;
    a[PbIconModel] = QIcon(Sheet(QColor(60, 60, 160), "3D"));
    a[PbIconFile] = blank;
    gamePair_ = QIcon(Folder(game, false));
    gamePair_.addPixmap(Folder(game, true), QIcon::Selected);
    addOnPair_ = QIcon(Folder(addOn, false));
    addOnPair_.addPixmap(Folder(addOn, true), QIcon::Selected);
}

QIcon TPbIconList::Icon(int index) const
{
    if (index < 0 || index >= static_cast<int>(icons_.size())) return {};
    return icons_[static_cast<size_t>(index)];
}

}  // namespace mc
