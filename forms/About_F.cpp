#include "About_F.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ProjectInfo.h"
#include "QtText.h"
#include "sysinfo/SysInfo.h"

namespace mc {

namespace {

// A crate in three shades: the program's emblem.
QPixmap CratePicture()
{
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF top[4] = {{32, 6}, {58, 18}, {32, 30}, {6, 18}};
    const QPointF left[4] = {{6, 18}, {32, 30}, {32, 58}, {6, 46}};
    const QPointF right[4] = {{32, 30}, {58, 18}, {58, 46}, {32, 58}};
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.setBrush(QColor(214, 170, 100));
    p.drawPolygon(top, 4);
    p.setBrush(QColor(170, 120, 60));
    p.drawPolygon(left, 4);
    p.setBrush(QColor(130, 90, 45));
    p.drawPolygon(right, 4);
    return picture;
}

// A wire-frame triangle mesh: models.
QPixmap MeshPicture()
{
    QPixmap picture(64, 64);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 90, 160), 1.5));
    const QPointF pts[6] = {{8, 52}, {32, 56}, {56, 48}, {20, 24}, {44, 20}, {32, 6}};
    const int lines[][2] = {{0, 1}, {1, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {3, 4}, {3, 5}, {4, 5}};
    for (const auto& l : lines) p.drawLine(pts[l[0]], pts[l[1]]);
    p.setBrush(QColor(40, 90, 160));
    for (const QPointF& q : pts) p.drawEllipse(q, 2.5, 2.5);
    return picture;
}

// A checkered swatch: textures.
QPixmap TexturePicture()
{
    QPixmap picture(64, 64);
    QPainter p(&picture);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p.fillRect(x * 8, y * 8, 8, 8, (x + y) % 2 ? QColor(90, 140, 70) : QColor(200, 220, 160));
    p.setPen(QColor(50, 50, 50));
    p.drawRect(0, 0, 63, 63);
    return picture;
}

QLabel* PictureLabel(const char* name, const QPixmap& picture, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(picture);
    label->setFixedSize(picture.size());
    return label;
}

}  // namespace

QString MemoryText(uint64_t totalBytes, uint64_t availableBytes, const QLocale& locale)
{
    return QStringLiteral("%1 / %2").arg(locale.toString(static_cast<qulonglong>(totalBytes / 1024)),
                                         locale.toString(static_cast<qulonglong>(availableBytes / 1024)));
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    AboutForm = this;
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About %1").arg(QString::fromLatin1(kProgramName)));

    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    Image_Logo = PictureLabel("Image_Logo", CratePicture(), this);
    head->addWidget(Image_Logo);
    auto* titles = new QVBoxLayout;
    auto* title = new QLabel(QString::fromLatin1(kProgramName), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    titles->addWidget(title);
    Label_Version = new QLabel(QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor), this);
    Label_Version->setObjectName(QStringLiteral("Label_Version"));
    titles->addWidget(Label_Version);
    head->addLayout(titles, 1);
    layout->addLayout(head);

    Label_Notice = new QLabel(QStringLiteral("Models, textures, archives and configs of Operation Flashpoint."), this);
    Label_Notice->setObjectName(QStringLiteral("Label_Notice"));
    Label_Notice->setWordWrap(true);
    layout->addWidget(Label_Notice);

    Label_URL = new QLabel(ProjectSiteUrl(), this);
    Label_URL->setObjectName(QStringLiteral("Label_URL"));
    QFont urlFont = Label_URL->font();
    urlFont.setUnderline(true);
    Label_URL->setFont(urlFont);
    QPalette urlPalette = Label_URL->palette();
    urlPalette.setColor(QPalette::WindowText, urlPalette.color(QPalette::Highlight));
    Label_URL->setPalette(urlPalette);
    Label_URL->setCursor(Qt::PointingHandCursor);
    Label_URL->installEventFilter(this);
    layout->addWidget(Label_URL);

    auto* pictures = new QHBoxLayout;
    Image_Model = PictureLabel("Image_Model", MeshPicture(), this);
    Image_Texture = PictureLabel("Image_Texture", TexturePicture(), this);
    pictures->addWidget(Image_Model);
    pictures->addWidget(Image_Texture);
    pictures->addStretch(1);
    layout->addLayout(pictures);

    Label_OS = new QLabel(MessageText(GetOSName()), this);
    Label_OS->setObjectName(QStringLiteral("Label_OS"));
    Label_OS->setWordWrap(true);
    layout->addWidget(Label_OS);

    auto* memory = new QHBoxLayout;
    Label_MemoryCaption = new QLabel(QStringLiteral("Phis.Mem. (Total/Avail.), Kb:"), this);
    Label_MemoryCaption->setObjectName(QStringLiteral("Label_MemoryCaption"));
    uint64_t total = 0, available = 0;
    Label_Memory = new QLabel(GetPhysicalMemory(total, available) ? MemoryText(total, available) : QString(), this);
    Label_Memory->setObjectName(QStringLiteral("Label_Memory"));
    Label_Memory->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    memory->addWidget(Label_MemoryCaption);
    memory->addWidget(Label_Memory, 1);
    layout->addLayout(memory);

    Button_OK = new QPushButton(QStringLiteral("OK"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setDefault(true);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(360);
}

TAboutForm::~TAboutForm()
{
    if (AboutForm == this) AboutForm = nullptr;
}

void TAboutForm::OnClick_Label_URL() { QDesktopServices::openUrl(QUrl(ProjectSiteUrl())); }

bool TAboutForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Label_URL && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        OnClick_Label_URL();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace mc
