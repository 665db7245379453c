#include "Texture_F.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>

#include "Core/Strings.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "PixelImageQt.h"
#include "QtText.h"
#include "Texture/Texture.h"
#include "TextureView.h"

namespace mc {

TTextureForm::TTextureForm(ITextureFormSource& source, QWidget* parent) : QWidget(parent), source_(source)
{
    setObjectName("TextureForm");
    setWindowFlag(Qt::Tool);
    setWindowTitle(QStringLiteral("Texture"));
    setFixedSize(377, 259);

    PaintBox_Texture = new TTexturePaintBox(this, this);
    PaintBox_Texture->setObjectName("PaintBox_Texture");
    PaintBox_Texture->setGeometry(2, 2, kTextureBoxSize, kTextureBoxSize);
    Image_Buffer = QImage(kTextureBoxSize, kTextureBoxSize, QImage::Format_RGB32);

    const int x = 2 + kTextureBoxSize + 4, w = 377 - x - 3;
    ComboBox_Data = new QComboBox(this);
    ComboBox_Data->setObjectName("ComboBox_Data");
    ComboBox_Data->addItems({QStringLiteral("RGB"), QStringLiteral("Alpha")});
    ComboBox_Data->setGeometry(x, 2, w, 22);
    ComboBox_Size = new QComboBox(this);
    ComboBox_Size->setObjectName("ComboBox_Size");
    ComboBox_Size->addItems({QStringLiteral("Original"), QStringLiteral("Fit"), QStringLiteral("Stretch ")});
    ComboBox_Size->setGeometry(x, 28, w, 22);
    CheckBox_AllPolygons = new QCheckBox(QStringLiteral("All Polygons"), this);
    CheckBox_AllPolygons->setObjectName("CheckBox_AllPolygons");
    CheckBox_AllPolygons->setGeometry(x, 54, w, 20);
    CheckBox_ShowOrder = new QCheckBox(QStringLiteral("Show Order"), this);
    CheckBox_ShowOrder->setObjectName("CheckBox_ShowOrder");
    CheckBox_ShowOrder->setGeometry(x, 76, w, 20);

    StringGrid_UV = new QTableWidget(1, 2, this);
    StringGrid_UV->setObjectName("StringGrid_UV");
    StringGrid_UV->setHorizontalHeaderLabels({QStringLiteral("u"), QStringLiteral("v")});
    StringGrid_UV->verticalHeader()->hide();
    StringGrid_UV->verticalHeader()->setDefaultSectionSize(18);
    StringGrid_UV->horizontalHeader()->setStretchLastSection(true);
    StringGrid_UV->setColumnWidth(0, (w - 4) / 2);
    StringGrid_UV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid_UV->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid_UV->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid_UV->setGeometry(x, 100, w, 259 - 100 - 3);

    const auto repaint = [this] { Refresh(); };
    connect(ComboBox_Data, &QComboBox::currentIndexChanged, this, repaint);
    connect(ComboBox_Size, &QComboBox::currentIndexChanged, this, repaint);
    connect(CheckBox_AllPolygons, &QCheckBox::clicked, this, repaint);
    connect(CheckBox_ShowOrder, &QCheckBox::clicked, this, repaint);
    connect(StringGrid_UV, &QTableWidget::currentCellChanged, this, [this] {
        if (source_.CurrentFaceIndex() >= 0) Refresh();
    });
    SetTextureName({});
}

TTextureForm::~TTextureForm() = default;

void TTextureForm::SetOutlineColors(const TTextureOutlineColors& colors)
{
    colors_ = colors;
    Refresh();
}

void TTextureForm::SetTexture(const TTexture* texture)
{
    FillUVGrid();
    if (texture != CurrentTexture) {
        CurrentTexture = texture;
    }
    // The face may have changed even when the texture did not.
    Refresh();
}

void TTextureForm::SetTextureName(const std::string& name)
{
    TextureName = name;
    const TMipMap* level = CurrentTexture ? CurrentTexture->Level(0) : nullptr;
    QString caption;
    if (name.empty())
        caption = QStringLiteral("(none)");
    else if (level)
        caption = ToQString(Format("%s [%dx%d]", name.c_str(), level->Width, level->Height));
    else
        caption = ToQString(Format("%s (not loaded)", name.c_str()));
    setWindowTitle(caption);
}

void TTextureForm::FillUVGrid()
{
    const QSignalBlocker block(StringGrid_UV);
    const TLOD* lod = source_.CurrentLOD();
    const int face = source_.CurrentFaceIndex();
    StringGrid_UV->clearContents();
    if (!lod || face < 0 || face >= lod->FaceCount()) {
        StringGrid_UV->setRowCount(1);
        return;
    }
    const TFace& f = lod->Faces[static_cast<size_t>(face)];
    const int n = std::min<int>(f.Count, 4);
    StringGrid_UV->setRowCount(n);
    for (int k = 0; k < n; ++k) {
        const uint16_t vertex = f.Vertices[static_cast<size_t>(k)];
        const TUV uv = vertex < lod->UVs.size() ? lod->UVs[vertex] : TUV{};
        StringGrid_UV->setItem(k, 0, new QTableWidgetItem(QString::fromStdString(Format("%.3f", uv.u))));
        StringGrid_UV->setItem(k, 1, new QTableWidgetItem(QString::fromStdString(Format("%.3f", uv.v))));
    }
}

void TTextureForm::Refresh()
{
    ComposeBuffer();
    PaintBox_Texture->update();
}

QRect TTextureForm::Destination() const
{
    const TMipMap* level = CurrentTexture ? CurrentTexture->Level(0) : nullptr;
    const auto fit = static_cast<TTextureFit>(std::max(0, ComboBox_Size->currentIndex()));
    return level ? TextureDestination(fit, level->Width, level->Height) : TextureDestination(fit, 0, 0);
}

void TTextureForm::DrawFace(QPainter& p, const TLOD& lod, int face, const QRect& d) const
{
    const TFace& f = lod.Faces[static_cast<size_t>(face)];
    const int n = std::min<int>(f.Count, 4);
    QPoint points[4];
    for (int k = 0; k < n; ++k) {
        const uint16_t vertex = f.Vertices[static_cast<size_t>(k)];
        const TUV uv = vertex < lod.UVs.size() ? lod.UVs[vertex] : TUV{};
        points[k] = MapTextureUV(d, uv.u, uv.v);
    }
    p.drawPolygon(points, n);
}

bool TTextureForm::ComposeBuffer()
{
    Image_Buffer.fill(palette().color(QPalette::Window));
    const TLOD* lod = source_.CurrentLOD();
    if (!lod) return false;
    const QRect d = Destination();
    QPainter p(&Image_Buffer);
    if (const TMipMap* level = CurrentTexture ? CurrentTexture->Level(0) : nullptr) {
        const bool alpha = ComboBox_Data->currentIndex() == 1;
        const QImage picture = ToQImage(alpha ? level->AlphaImage : level->ColorImage);
        if (!picture.isNull()) p.drawImage(d, picture);
    }
    const int face = source_.CurrentFaceIndex();
    const bool faceSelected = face >= 0 && face < lod->FaceCount();
    p.setBrush(Qt::NoBrush);
    if (CheckBox_AllPolygons->isChecked()) {
        const int index = source_.TextureIndexOf(CurrentTexture);
        if (index >= 0) {
            p.setPen(QColor(faceSelected ? colors_.Face : colors_.SelectedFace));
            for (int i = 0; i < lod->FaceCount(); ++i)
                if (lod->Faces[static_cast<size_t>(i)].Texture == index) DrawFace(p, *lod, i, d);
        }
    }
    if (faceSelected) {
        p.setPen(QColor(colors_.SelectedFace));
        DrawFace(p, *lod, face, d);
        const int row = StringGrid_UV->currentRow();
        const TFace& f = lod->Faces[static_cast<size_t>(face)];
        if (CheckBox_ShowOrder->isChecked() && row >= 0 && row < std::min<int>(f.Count, 4)) {
            const uint16_t vertex = f.Vertices[static_cast<size_t>(row)];
            const TUV uv = vertex < lod->UVs.size() ? lod->UVs[vertex] : TUV{};
            const QPoint at = MapTextureUV(d, uv.u, uv.v);
            p.setPen(QColor(colors_.SelectedVertex));
            p.drawRect(QRect(at.x() - 3, at.y() - 3, 6, 6));  // outlines (x - 3, y - 3) to (x + 3, y + 3)
            p.drawText(QPoint(at.x() + 6, at.y() + 6 + p.fontMetrics().ascent()), QString::number(row + 1));
        }
    }
    return true;
}

TTexturePaintBox::TTexturePaintBox(TTextureForm* form, QWidget* parent) : QWidget(parent), form_(form)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTexturePaintBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, form_->Image_Buffer);
}

}  // namespace mc
