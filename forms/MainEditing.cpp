// Property editing in the main window: the named properties of the current
// LOD and the model-wide values of the "General" page.
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "AlphaColor_F.h"
#include "ColorConvert.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "Main_F.h"
#include "MainGridModels.h"
#include "Model/Model.h"
#include "QtText.h"

namespace mc {

namespace {

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QFrame* MakeSwatch(const char* name, QWidget* parent)
{
    auto* swatch = new QFrame(parent);
    swatch->setObjectName(QString::fromLatin1(name));
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(64, 22);
    swatch->setAutoFillBackground(true);
    return swatch;
}

// Refills a grid keeping its current row, without the row's selection
// handlers running again.
void RefreshKeepingRow(QTableView* grid, const std::function<void()>& refresh)
{
    const int row = grid->currentIndex().row();
    refresh();
    if (row < 0) return;
    const QModelIndex index = grid->model()->index(std::min(row, grid->model()->rowCount() - 1), 0);
    QSignalBlocker block(grid->selectionModel());
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->viewport()->update();
}

void PaintSwatch(QFrame* swatch, QRgb color)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(color));
    swatch->setPalette(palette);
}

}  // namespace

QWidget* TMainForm::CreatePropertiesPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet_Properties"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(StringGrid_Properties, 1);

    auto* edits = new QFormLayout;
    Edit_NamedProperty_Name = new QLineEdit(page);
    Edit_NamedProperty_Name->setObjectName(QStringLiteral("Edit_NamedProperty_Name"));
    Edit_NamedProperty_Value = new QLineEdit(page);
    Edit_NamedProperty_Value->setObjectName(QStringLiteral("Edit_NamedProperty_Value"));
    edits->addRow(QStringLiteral("Name:"), Edit_NamedProperty_Name);
    edits->addRow(QStringLiteral("Value:"), Edit_NamedProperty_Value);
    layout->addLayout(edits);

    auto* buttons = new QHBoxLayout;
    Button_NamedProperty_Add = MakeButton("Button_NamedProperty_Add", QStringLiteral("Add"), page);
    Button_NamedProperty_Change = MakeButton("Button_NamedProperty_Change", QStringLiteral("Change"), page);
    Button_NamedProperty_Delete = MakeButton("Button_NamedProperty_Delete", QStringLiteral("Delete"), page);
    Button_NamedProperty_Rename = MakeButton("Button_NamedProperty_Rename", QStringLiteral("Rename"), page);
    for (QPushButton* b :
         {Button_NamedProperty_Add, Button_NamedProperty_Change, Button_NamedProperty_Delete, Button_NamedProperty_Rename})
        buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    Button_NamedProperty_Add->setEnabled(false);
    Button_NamedProperty_Change->setEnabled(false);

    connect(Edit_NamedProperty_Name, &QLineEdit::textChanged, this, &TMainForm::OnChange_Edit_NamedProperty_Name);
    connect(Button_NamedProperty_Add, &QPushButton::clicked, this, &TMainForm::OnClick_Button_NamedProperty_Add);
    connect(Button_NamedProperty_Change, &QPushButton::clicked, this, &TMainForm::OnClick_Button_NamedProperty_Change);
    connect(Button_NamedProperty_Delete, &QPushButton::clicked, this, &TMainForm::OnClick_Button_NamedProperty_Delete);
    connect(Button_NamedProperty_Rename, &QPushButton::clicked, this, &TMainForm::OnClick_Button_NamedProperty_Rename);
    return page;
}

QWidget* TMainForm::CreateGeneralPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet_General"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(StringGrid_General, 1);

    PageControl_General = new QTabWidget(page);
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
    ShowGeneralPage(-1);

    connect(Button_General_Color_RGB, &QPushButton::clicked, this, &TMainForm::OnClick_Button_General_Color_RGB);
    connect(Button_General_Color_Alpha, &QPushButton::clicked, this, &TMainForm::OnClick_Button_General_Color_Alpha);
    connect(Button_General_Color_Change, &QPushButton::clicked, this, &TMainForm::OnClick_Button_General_Color_Change);
    connect(Button_General_LOD_Change, &QPushButton::clicked, this, &TMainForm::OnClick_Button_General_LOD_Change);
    connect(Button_General_MapIcon_Change, &QPushButton::clicked, this,
            &TMainForm::OnClick_Button_General_MapIcon_Change);
    return page;
}

void TMainForm::ShowGeneralPage(int page)
{
    // Without a page the whole control goes: a tab widget with every tab
    // hidden would still show its current page.
    if (page < 0) {
        PageControl_General->hide();
        activeGeneralPage_ = -1;
        return;
    }
    if (page == activeGeneralPage_ && PageControl_General->isVisibleTo(PageControl_General->parentWidget())) return;
    PageControl_General->setTabVisible(page, true);
    PageControl_General->setCurrentIndex(page);
    for (int i = 0; i < PageControl_General->count(); ++i)
        if (i != page) PageControl_General->setTabVisible(i, false);
    PageControl_General->show();
    activeGeneralPage_ = page;
}

void TMainForm::FillGeneralGrid() { general_->SetModel(Model.get()); }

void TMainForm::SetRGBSwatch(QRgb color)
{
    rgbSwatch_ = color | 0xFF000000u;
    PaintSwatch(Shape_General_Color_RGB, rgbSwatch_);
}

void TMainForm::SetAlphaSwatch(QRgb color)
{
    alphaSwatch_ = color | 0xFF000000u;
    PaintSwatch(Shape_General_Color_Alpha, alphaSwatch_);
}

void TMainForm::SelectGeneralRow(int row)
{
    if (!Model) return;
    GeneralRow = row;
    if (row == 2 || row == 3) {
        const bool selected = row == 3;
        ShowGeneralPage(GeneralPageColor);
        SetRGBSwatch(FromColorWord(Model->GetMapIconColor(selected)));
        SetAlphaSwatch(FromColorWord(Model->GetMapIconAlpha(selected)));
    } else if (row == 4) {
        ShowGeneralPage(GeneralPageMapIcon);
        ComboBox_General_MapIcon->clear();
        for (int i = 0; i < 24; ++i) ComboBox_General_MapIcon->addItem(ToQString(MapIconName(i)));
        ComboBox_General_MapIcon->setCurrentIndex(Model->MapIcon < 24 ? Model->MapIcon : -1);
    } else if (row >= TGeneralGridModel::kFirstSpecialRow && row <= TGeneralGridModel::kRows) {
        ShowGeneralPage(GeneralPageLOD);
        ComboBox_General_LOD->clear();
        ComboBox_General_LOD->addItem(QString());
        for (int i = 0; i < Model->LODCount(); ++i) ComboBox_General_LOD->addItem(LODEntryText(*Model, i));
        const QString value = general_->Cell(row, 2);
        ComboBox_General_LOD->setCurrentIndex(std::max(0, ComboBox_General_LOD->findText(value, Qt::MatchExactly)));
    } else {
        ShowGeneralPage(-1);
    }
}

void TMainForm::OnClick_Button_General_Color_RGB()
{
    if (const auto color = Dialogs().PickColor(this, QColor(rgbSwatch_))) SetRGBSwatch(color->rgb());
}

void TMainForm::OnClick_Button_General_Color_Alpha()
{
    if (!AlphaColorForm) return;
    AlphaColorForm->SetAlpha(ToColorWord(alphaSwatch_));
    AlphaColorForm->SetForeground(ToColorWord(rgbSwatch_));
    if (AlphaColorForm->Execute()) SetAlphaSwatch(FromColorWord(AlphaColorForm->AlphaColor()));
}

void TMainForm::OnClick_Button_General_Color_Change()
{
    if (!Model) return;
    const bool selected = GeneralRow != 2;
    Model->SetMapIconColor(selected, ToColorWord(rgbSwatch_));
    Model->SetMapIconAlpha(selected, static_cast<uint8_t>(ToColorWord(alphaSwatch_) & 0xFF));
    RefreshKeepingRow(StringGrid_General, [this] { general_->Refresh(); });
}

void TMainForm::OnClick_Button_General_LOD_Change()
{
    if (!Model) return;
    const int slot = GeneralRow - TGeneralGridModel::kFirstSpecialRow;
    const int index = ComboBox_General_LOD->currentIndex() - 1;
    // The last slot is not kept by the model.
    if (slot < 0 || slot >= TGeneralGridModel::kLastSpecialSlot) return;
    if (index != AssignedSpecialLOD(*Model, slot)) Model->SetSpecialLOD(slot, index);
    RefreshKeepingRow(StringGrid_General, [this] { general_->Refresh(); });
}

void TMainForm::OnClick_Button_General_MapIcon_Change()
{
    if (!Model) return;
    const int index = ComboBox_General_MapIcon->currentIndex();
    if (index < 0) return;
    Model->MapIcon = static_cast<uint8_t>(index);
    RefreshKeepingRow(StringGrid_General, [this] { general_->Refresh(); });
}

// Named properties ----------------------------------------------------------

void TMainForm::SelectPropertyRow(int row)
{
    const TLOD* lod = CurrentLOD();
    if (lod && row >= 0 && row < properties_->ItemCount()) {
        for (QPushButton* b : {Button_NamedProperty_Add, Button_NamedProperty_Change, Button_NamedProperty_Delete,
                               Button_NamedProperty_Rename})
            b->setEnabled(true);
        Edit_NamedProperty_Name->setText(ToQString(lod->PropertyNames[static_cast<size_t>(row)]));
        Edit_NamedProperty_Value->setText(ToQString(lod->PropertyValues[static_cast<size_t>(row)]));
    } else {
        Button_NamedProperty_Add->setEnabled(false);
        Button_NamedProperty_Change->setEnabled(false);
    }
}

void TMainForm::OnChange_Edit_NamedProperty_Name()
{
    const bool named = !Edit_NamedProperty_Name->text().trimmed().isEmpty();
    Button_NamedProperty_Add->setEnabled(named);
    Button_NamedProperty_Change->setEnabled(named);
    Button_NamedProperty_Rename->setEnabled(named);
}

void TMainForm::OnClick_Button_NamedProperty_Add()
{
    TLOD* lod = CurrentLOD();
    if (!lod) return;
    lod->AddProperty(Trim(FromQString(Edit_NamedProperty_Name->text())),
                     Trim(FromQString(Edit_NamedProperty_Value->text())));
    RefreshKeepingRow(StringGrid_Properties, [this] { properties_->Refresh(); });
}

void TMainForm::OnClick_Button_NamedProperty_Change()
{
    TLOD* lod = CurrentLOD();
    if (!lod) return;
    const std::string name = Trim(FromQString(Edit_NamedProperty_Name->text()));
    if (lod->FindProperty(name) < 0) return;
    lod->ChangeProperty(name, Trim(FromQString(Edit_NamedProperty_Value->text())));
    RefreshKeepingRow(StringGrid_Properties, [this] { properties_->Refresh(); });
}

void TMainForm::OnClick_Button_NamedProperty_Delete()
{
    TLOD* lod = CurrentLOD();
    const int row = StringGrid_Properties->currentIndex().row();
    if (!lod || row < 0 || row >= properties_->ItemCount()) return;
    lod->DeleteProperty(std::string(lod->PropertyNames[static_cast<size_t>(row)]));
    RefreshKeepingRow(StringGrid_Properties, [this] { properties_->Refresh(); });
}

void TMainForm::OnClick_Button_NamedProperty_Rename()
{
    TLOD* lod = CurrentLOD();
    const int row = StringGrid_Properties->currentIndex().row();
    if (!lod || row < 0 || row >= properties_->ItemCount()) return;
    const std::string oldName = lod->PropertyNames[static_cast<size_t>(row)];
    if (lod->FindProperty(oldName) < 0) return;
    lod->RenameProperty(oldName, Trim(FromQString(Edit_NamedProperty_Name->text())));
    RefreshKeepingRow(StringGrid_Properties, [this] { properties_->Refresh(); });
}

}  // namespace mc
