#include "GeneralPage.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "AlphaColor_F.h"
#include "ColorConvert.h"
#include "Dialogs.h"
#include "GridWidgets.h"
#include "MainGridModels.h"
#include "Model/Model.h"
#include "ModelDocument.h"
#include "QtText.h"

namespace mc {

namespace {

QFrame* MakeSwatch(const char* name, QWidget* parent)
{
    auto* swatch = new QFrame(parent);
    swatch->setObjectName(QString::fromLatin1(name));
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(64, 22);
    swatch->setAutoFillBackground(true);
    return swatch;
}

void PaintSwatch(QFrame* swatch, QRgb color)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(color));
    swatch->setPalette(palette);
}

}  // namespace

TGeneralPageWidget::TGeneralPageWidget(TModelDocument& document, QWidget* parent)
    : QWidget(parent), document_(document)
{
    setObjectName(QStringLiteral("TabSheet_General"));
    general_ = new TGeneralGridModel(this);
    StringGrid_General = MakeGrid("StringGrid_General", general_, this);
    // Widths of the window description, widened where the font needs it.
    const QFontMetrics metrics = StringGrid_General->fontMetrics();
    StringGrid_General->setColumnWidth(
        0, std::max(150, metrics.horizontalAdvance(QStringLiteral("View - Commander - Geometry")) + 12));
    StringGrid_General->setColumnWidth(1, std::max(50, metrics.horizontalAdvance(QStringLiteral("color")) + 12));
    StringGrid_General->setColumnWidth(
        2, std::max(150, metrics.horizontalAdvance(QStringLiteral("ARGB(255, 255, 255, 255)")) + 12));
    StringGrid_General->horizontalHeader()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(StringGrid_General, 1);

    PageControl_General = new QTabWidget(this);
    PageControl_General->setObjectName(QStringLiteral("PageControl_General"));
    PageControl_General->setTabPosition(QTabWidget::South);
    PageControl_General->setMaximumHeight(110);
    layout->addWidget(PageControl_General);

    auto* color = new QWidget;
    color->setObjectName(QStringLiteral("TabSheet_General_Color"));
    auto* colorLayout = new QGridLayout(color);
    Shape_General_Color_RGB = MakeSwatch("Shape_General_Color_RGB", color);
    Shape_General_Color_Alpha = MakeSwatch("Shape_General_Color_Alpha", color);
    Button_General_Color_RGB = MakeButton("Button_General_Color_RGB", QStringLiteral("..."), color);
    Button_General_Color_Alpha = MakeButton("Button_General_Color_Alpha", QStringLiteral("..."), color);
    Button_General_Color_Change = MakeButton("Button_General_Color_Change", QStringLiteral("Change"), color);
    for (QPushButton* b : {Button_General_Color_RGB, Button_General_Color_Alpha}) b->setFixedWidth(32);
    colorLayout->addWidget(new QLabel(QStringLiteral("RGB:"), color), 0, 0);
    colorLayout->addWidget(Shape_General_Color_RGB, 0, 1);
    colorLayout->addWidget(Button_General_Color_RGB, 0, 2);
    colorLayout->addWidget(new QLabel(QStringLiteral("Alpha:"), color), 0, 3);
    colorLayout->addWidget(Shape_General_Color_Alpha, 0, 4);
    colorLayout->addWidget(Button_General_Color_Alpha, 0, 5);
    colorLayout->addWidget(Button_General_Color_Change, 0, 6);
    colorLayout->setColumnStretch(7, 1);

    auto* lodPage = new QWidget;
    lodPage->setObjectName(QStringLiteral("TabSheet_General_LOD"));
    auto* lodLayout = new QHBoxLayout(lodPage);
    ComboBox_General_LOD = new QComboBox(lodPage);
    ComboBox_General_LOD->setObjectName(QStringLiteral("ComboBox_General_LOD"));
    ComboBox_General_LOD->setMinimumWidth(260);
    Button_General_LOD_Change = MakeButton("Button_General_LOD_Change", QStringLiteral("Change"), lodPage);
    lodLayout->addWidget(ComboBox_General_LOD);
    lodLayout->addWidget(Button_General_LOD_Change);
    lodLayout->addStretch(1);

    auto* iconPage = new QWidget;
    iconPage->setObjectName(QStringLiteral("TabSheet_General_MapIcon"));
    auto* iconLayout = new QHBoxLayout(iconPage);
    ComboBox_General_MapIcon = new QComboBox(iconPage);
    ComboBox_General_MapIcon->setObjectName(QStringLiteral("ComboBox_General_MapIcon"));
    ComboBox_General_MapIcon->setMinimumWidth(200);
    Button_General_MapIcon_Change = MakeButton("Button_General_MapIcon_Change", QStringLiteral("Change"), iconPage);
    iconLayout->addWidget(ComboBox_General_MapIcon);
    iconLayout->addWidget(Button_General_MapIcon_Change);
    iconLayout->addStretch(1);

    PageControl_General->addTab(color, QStringLiteral("Color"));
    PageControl_General->addTab(lodPage, QStringLiteral("LOD"));
    PageControl_General->addTab(iconPage, QStringLiteral("Map Icon"));
    ShowEditor(-1);

    connect(Button_General_Color_RGB, &QPushButton::clicked, this,
            &TGeneralPageWidget::OnClick_Button_General_Color_RGB);
    connect(Button_General_Color_Alpha, &QPushButton::clicked, this,
            &TGeneralPageWidget::OnClick_Button_General_Color_Alpha);
    connect(Button_General_Color_Change, &QPushButton::clicked, this,
            &TGeneralPageWidget::OnClick_Button_General_Color_Change);
    connect(Button_General_LOD_Change, &QPushButton::clicked, this,
            &TGeneralPageWidget::OnClick_Button_General_LOD_Change);
    connect(Button_General_MapIcon_Change, &QPushButton::clicked, this,
            &TGeneralPageWidget::OnClick_Button_General_MapIcon_Change);
    connect(StringGrid_General->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) SelectGeneralRow(current.row() + 1);
            });
    connect(StringGrid_General, &QTableView::clicked, this,
            [this](const QModelIndex& index) { SelectGeneralRow(index.row() + 1); });

    connect(&document_, &TModelDocument::ModelOpened, this, &TGeneralPageWidget::Refill);
    connect(&document_, &TModelDocument::ModelCleared, this, &TGeneralPageWidget::Refill);
}

void TGeneralPageWidget::Refill()
{
    // The row being edited goes with the model it belonged to.
    generalRow_ = -1;
    ShowEditor(-1);
    general_->SetModel(document_.Model());
}

void TGeneralPageWidget::Edited()
{
    document_.SetModified();
    RefreshKeepingRow(StringGrid_General, [this] { general_->Refresh(); });
}

void TGeneralPageWidget::ShowEditor(int page)
{
    // Without a page the whole control goes: a tab widget with every tab
    // hidden would still show its current page.
    if (page < 0) {
        PageControl_General->hide();
        activeEditor_ = -1;
        return;
    }
    if (page == activeEditor_ && PageControl_General->isVisibleTo(this)) return;
    PageControl_General->setTabVisible(page, true);
    PageControl_General->setCurrentIndex(page);
    for (int i = 0; i < PageControl_General->count(); ++i)
        if (i != page) PageControl_General->setTabVisible(i, false);
    PageControl_General->show();
    activeEditor_ = page;
}

void TGeneralPageWidget::SetRGBSwatch(QRgb color)
{
    rgbSwatch_ = color | 0xFF000000u;
    PaintSwatch(Shape_General_Color_RGB, rgbSwatch_);
}

void TGeneralPageWidget::SetAlphaSwatch(QRgb color)
{
    alphaSwatch_ = color | 0xFF000000u;
    PaintSwatch(Shape_General_Color_Alpha, alphaSwatch_);
}

void TGeneralPageWidget::SelectGeneralRow(int row)
{
    const TModel* model = document_.Model();
    if (!model) return;
    generalRow_ = row;
    if (row == 2 || row == 3) {
        const bool selected = row == 3;
        ShowEditor(GeneralPageColor);
        SetRGBSwatch(FromColorWord(model->GetMapIconColor(selected)));
        SetAlphaSwatch(FromColorWord(model->GetMapIconAlpha(selected)));
    } else if (row == 4) {
        ShowEditor(GeneralPageMapIcon);
        ComboBox_General_MapIcon->clear();
        for (int i = 0; i < 24; ++i) ComboBox_General_MapIcon->addItem(ToQString(MapIconName(i)));
        ComboBox_General_MapIcon->setCurrentIndex(model->MapIcon < 24 ? model->MapIcon : -1);
    } else if (row >= TGeneralGridModel::kFirstSpecialRow && row <= TGeneralGridModel::kRows) {
        ShowEditor(GeneralPageLOD);
        ComboBox_General_LOD->clear();
        ComboBox_General_LOD->addItem(QString());
        for (int i = 0; i < model->LODCount(); ++i) ComboBox_General_LOD->addItem(LODEntryText(*model, i));
        const QString value = general_->Cell(row, 2);
        ComboBox_General_LOD->setCurrentIndex(std::max(0, ComboBox_General_LOD->findText(value, Qt::MatchExactly)));
    } else {
        ShowEditor(-1);
    }
}

void TGeneralPageWidget::OnClick_Button_General_Color_RGB()
{
    if (const auto color = Dialogs().PickColor(this, QColor(rgbSwatch_))) SetRGBSwatch(color->rgb());
}

void TGeneralPageWidget::OnClick_Button_General_Color_Alpha()
{
    if (!AlphaColorForm) return;
    AlphaColorForm->SetAlpha(ToColorWord(alphaSwatch_));
    AlphaColorForm->SetForeground(ToColorWord(rgbSwatch_));
    if (AlphaColorForm->Execute()) SetAlphaSwatch(FromColorWord(AlphaColorForm->AlphaColor()));
}

void TGeneralPageWidget::OnClick_Button_General_Color_Change()
{
    TModel* model = document_.Model();
    if (!model) return;
    const bool selected = generalRow_ != 2;
    model->SetMapIconColor(selected, ToColorWord(rgbSwatch_));
    model->SetMapIconAlpha(selected, static_cast<uint8_t>(ToColorWord(alphaSwatch_) & 0xFF));
    Edited();
}

void TGeneralPageWidget::OnClick_Button_General_LOD_Change()
{
    TModel* model = document_.Model();
    if (!model) return;
    const int slot = generalRow_ - TGeneralGridModel::kFirstSpecialRow;
    const int index = ComboBox_General_LOD->currentIndex() - 1;
    // The last slot is not kept by the model.
    if (slot < 0 || slot >= TGeneralGridModel::kLastSpecialSlot) return;
    if (index != AssignedSpecialLOD(*model, slot)) model->SetSpecialLOD(slot, index);
    Edited();
}

void TGeneralPageWidget::OnClick_Button_General_MapIcon_Change()
{
    TModel* model = document_.Model();
    if (!model) return;
    const int index = ComboBox_General_MapIcon->currentIndex();
    if (index < 0) return;
    model->MapIcon = static_cast<uint8_t>(index);
    Edited();
}

}  // namespace mc
