#include "AlphaColor_F.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ColorConvert.h"
#include "Core/AppServices.h"
#include "Core/Misc.h"
#include "Core/Strings.h"
#include "Core/ValueParsing.h"
#include "Dialogs.h"
#include "QtText.h"

namespace mc {

namespace {

constexpr int kExampleSize = 128;
constexpr int kForegroundSize = 96;

// The stored background: a checkerboard with a soft diagonal band, so that
// transparency is easy to see.
QImage DefaultBackground()
{
    QImage image(kExampleSize, kExampleSize, QImage::Format_RGB32);
    for (int y = 0; y < kExampleSize; ++y)
        for (int x = 0; x < kExampleSize; ++x) {
            const bool dark = ((x / 16) + (y / 16)) % 2 != 0;
            int r = dark ? 96 : 224, g = dark ? 96 : 224, b = dark ? 96 : 224;
            if (std::abs(x - y) < 12) r = std::min(255, r + 31), b = std::max(0, b - 60);
            image.setPixel(x, y, qRgb(r, g, b));
        }
    return image;
}

}  // namespace

int AlphaFromSliderX(int x, int width)
{
    if (x < 4) return 0;
    if (x >= width - 4) return 255;
    return std::clamp(x - 4, 0, 255);
}

QImage BlendAlphaPreview(const QImage& background, const QImage& foreground, int alpha)
{
    QImage result = background.convertToFormat(QImage::Format_RGB32);
    const QImage fg = foreground.convertToFormat(QImage::Format_RGB32);
    const double a = alpha / 255.0;
    const int w = std::min({kForegroundSize, result.width(), fg.width()});
    const int h = std::min({kForegroundSize, result.height(), fg.height()});
    auto blend = [a](int f, int b) { return std::min(255, static_cast<int>(f * a + b * (1 - a))); };
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(fg.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb f = in[x], b = out[x];
            out[x] = qRgb(blend(qRed(f), qRed(b)), blend(qGreen(f), qGreen(b)), blend(qBlue(f), qBlue(b)));
        }
    }
    return result;
}

TAlphaSlider::TAlphaSlider(TAlphaColorForm* form, QWidget* parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("PaintBox_Value"));
    setFixedSize(264, 48);
    setCursor(Qt::PointingHandCursor);
}

void TAlphaSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int w = width(), h = height();
    const QColor box = palette().color(QPalette::Window);
    p.fillRect(0, 0, 4, h, box);
    p.fillRect(w - 4, 0, 4, h, box);
    p.fillRect(4, h - 8, w - 8, 8, box);
    for (int i = 0; i < 256; ++i) {
        p.setPen(QColor(i, i, i));
        p.drawLine(i + 4, 0, i + 4, h - 8);
    }
    p.setPen(Qt::red);
    p.drawLine(form_->AlphaValue + 4, h - 8, form_->AlphaValue + 4, h);
}

void TAlphaSlider::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) form_->ApplyValue(AlphaFromSliderX(e->position().toPoint().x(), width()));
}

void TAlphaSlider::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) form_->ApplyValue(AlphaFromSliderX(e->position().toPoint().x(), width()));
}

TAlphaColorForm::TAlphaColorForm(QWidget* parent) : QDialog(parent)
{
    AlphaColorForm = this;
    setObjectName(QStringLiteral("AlphaColorForm"));
    setWindowTitle(QStringLiteral("Alpha Channel"));
    setFixedSize(280, 250);

    PaintBox_Value = new TAlphaSlider(this, this);
    PaintBox_Value->move(8, 8);

    auto* valueLabel = new QLabel(QStringLiteral("Value:"), this);
    valueLabel->setGeometry(8, 64, 40, 22);
    Edit_Value = new QLineEdit(this);
    Edit_Value->setObjectName(QStringLiteral("Edit_Value"));
    Edit_Value->setGeometry(50, 64, 48, 22);
    UpDown_Value = new QWidget(this);
    UpDown_Value->setObjectName(QStringLiteral("UpDown_Value"));
    UpDown_Value->setGeometry(98, 64, 16, 22);
    auto* up = new QToolButton(UpDown_Value);
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(0, 0, 16, 11);
    up->setAutoRepeat(true);
    auto* down = new QToolButton(UpDown_Value);
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(0, 11, 16, 11);
    down->setAutoRepeat(true);

    Image_Example = new QLabel(this);
    Image_Example->setObjectName(QStringLiteral("Image_Example"));
    Image_Example->setGeometry(8, 96, kExampleSize, kExampleSize);
    Image_Example->setFrameShape(QFrame::NoFrame);

    auto makeButton = [this](const char* name, const QString& text, int x, int y) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, 120, 26);
        b->setAutoDefault(false);
        return b;
    };
    Button_Background = makeButton("Button_Background", QStringLiteral("Backgr..."), 152, 96);
    Button_Foreground = makeButton("Button_Foreground", QStringLiteral("Foregr..."), 152, 126);
    Button_Default = makeButton("Button_Default", QStringLiteral("Default"), 152, 156);
    Button_OK = makeButton("Button_OK", QStringLiteral("OK"), 152, 192);
    Button_OK->setGeometry(152, 216, 58, 26);
    Button_OK->setDefault(true);
    Button_Cancel = makeButton("Button_Cancel", QStringLiteral("Cancel"), 214, 216);
    Button_Cancel->setGeometry(214, 216, 58, 26);

    Image_Background_Default = DefaultBackground();

    connect(up, &QToolButton::clicked, this, [this] { ApplyValue(std::min(255, AlphaValue + 1)); });
    connect(down, &QToolButton::clicked, this, [this] { ApplyValue(std::max(0, AlphaValue - 1)); });
    connect(Edit_Value, &QLineEdit::textEdited, this, [this] { CheckEditValue(); });
    connect(Edit_Value, &QLineEdit::editingFinished, this, [this] { CheckEditValue(); });
    connect(Button_Background, &QPushButton::clicked, this, &TAlphaColorForm::OnClick_Button_Background);
    connect(Button_Foreground, &QPushButton::clicked, this, &TAlphaColorForm::OnClick_Button_Foreground);
    connect(Button_Default, &QPushButton::clicked, this, &TAlphaColorForm::OnClick_Button_Default);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    OnClick_Button_Default();
    Refresh();
}

TAlphaColorForm::~TAlphaColorForm()
{
    if (AlphaColorForm == this) AlphaColorForm = nullptr;
}

void TAlphaColorForm::SetAlpha(uint32_t color) { AlphaValue = static_cast<int>(color & 0xFF); }

void TAlphaColorForm::SetForeground(uint32_t color)
{
    Image_Foreground = QImage(kForegroundSize, kForegroundSize, QImage::Format_RGB32);
    Image_Foreground.fill(QColor(FromColorWord(color)));
    QPainter p(&Image_Foreground);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QColor(FromColorWord(InvertColor(color))));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
    p.drawText(QRect(10, 10, 86, 30), flags, QStringLiteral("Use slider"));
    p.drawText(QRect(10, 40, 86, 30), flags, QStringLiteral("for adjusting"));
    p.drawText(QRect(10, 70, 86, 26), flags, QStringLiteral("alpha-channel"));
    p.end();
    UpdatePreview();
}

uint32_t TAlphaColorForm::AlphaColor() const
{
    const auto a = static_cast<uint32_t>(AlphaValue);
    return a | (a << 8) | (a << 16);
}

void TAlphaColorForm::Refresh()
{
    PaintBox_Value->update();
    Edit_Value->setText(QString::number(AlphaValue));
    UpdatePreview();
}

bool TAlphaColorForm::Execute()
{
    Refresh();
    return exec() == QDialog::Accepted;
}

void TAlphaColorForm::ApplyValue(int value)
{
    if (value == AlphaValue) return;
    AlphaValue = value;
    PaintBox_Value->update();
    Edit_Value->setText(QString::number(value));
    UpdatePreview();
}

bool TAlphaColorForm::CheckEditValue()
{
    if (checking_) return false;
    const std::string text = Trim(FromQString(Edit_Value->text()));
    if (text.empty()) return true;
    checking_ = true;
    int value = 0;
    bool ok = StrToIntCheck(text, value);
    if (!ok) Edit_Value->setFocus();
    if (ok) ok = CheckRange(value, 0, 255);
    if (ok) ApplyValue(value);
    checking_ = false;
    return ok;
}

void TAlphaColorForm::UpdatePreview()
{
    if (Image_Background.isNull() || Image_Foreground.isNull()) return;
    Image_Example->setPixmap(QPixmap::fromImage(BlendAlphaPreview(Image_Background, Image_Foreground, AlphaValue)));
}

bool TAlphaColorForm::LoadPicture(QImage& target, int size)
{
    const auto name = Dialogs().OpenFile(this, QStringLiteral("Select Image File"),
                                         QStringLiteral("Pictures (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|"
                                                        "All files (*.*)|*.*"),
                                         QString());
    if (!name) return false;
    QImage image;
    if (!image.load(*name)) {
        ShowMessage(TMessageKind::Error, Format("Cannot load picture \"%s\"", FromQString(*name).c_str()));
        return false;
    }
    target = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .convertToFormat(QImage::Format_RGB32);
    UpdatePreview();
    return true;
}

void TAlphaColorForm::OnClick_Button_Background() { LoadPicture(Image_Background, kExampleSize); }

void TAlphaColorForm::OnClick_Button_Foreground() { LoadPicture(Image_Foreground, kForegroundSize); }

void TAlphaColorForm::OnClick_Button_Default()
{
    Image_Background = Image_Background_Default;
    SetForeground(0xFFFFFF);
}

}  // namespace mc
