#include "PbTextureBox.h"

#include <QPainter>

namespace mc {

QSize HalvedToFit(QSize level, QSize area)
{
    int w = level.width(), h = level.height();
    while ((w > area.width() || h > area.height()) && (w > 1 || h > 1)) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    return {w, h};
}

TPbTextureBox::TPbTextureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPbTextureBox::SetPicture(const QImage& picture, QSize size)
{
    picture_ = picture;
    size_ = size;
    update();
}

void TPbTextureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!picture_.isNull() && size_.isValid())
        p.drawImage(QRect(QPoint(0, 0), size_), picture_);
}

}  // namespace mc
