// The archive manager's texture preview area: the window colour, and a
// picture drawn from the top-left corner at a given size.
#pragma once

#include <QImage>
#include <QWidget>

namespace mc {

class TPbTextureBox : public QWidget {
public:
    explicit TPbTextureBox(QWidget* parent = nullptr);

    // The picture and the size it is drawn at (a null picture: nothing).
    void SetPicture(const QImage& picture, QSize size);
    const QImage& Picture() const { return picture_; }
    QSize DrawSize() const { return size_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
    QSize size_;
};

// The size a level of w x h is drawn at to fit an area: halved in both
// directions as often as needed.
QSize HalvedToFit(QSize level, QSize area);

}  // namespace mc
