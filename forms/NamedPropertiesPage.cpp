#include "NamedPropertiesPage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Core/Strings.h"
#include "GridWidgets.h"
#include "MainGridModels.h"
#include "Model/Model.h"
#include "ModelDocument.h"
#include "QtText.h"

namespace mc {

TNamedPropertiesPage::TNamedPropertiesPage(TModelDocument& document, QWidget* parent)
    : QWidget(parent), document_(document)
{
    setObjectName(QStringLiteral("TabSheet_Properties"));
    properties_ = new TPropertiesGridModel(this);
    StringGrid_Properties = MakeGrid("StringGrid_Properties", properties_, this);
    StringGrid_Properties->setColumnWidth(0, 30);
    StringGrid_Properties->setColumnWidth(1, 150);
    StringGrid_Properties->horizontalHeader()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(StringGrid_Properties, 1);

    auto* edits = new QFormLayout;
    Edit_NamedProperty_Name = new QLineEdit(this);
    Edit_NamedProperty_Name->setObjectName(QStringLiteral("Edit_NamedProperty_Name"));
    Edit_NamedProperty_Value = new QLineEdit(this);
    Edit_NamedProperty_Value->setObjectName(QStringLiteral("Edit_NamedProperty_Value"));
    edits->addRow(QStringLiteral("Name:"), Edit_NamedProperty_Name);
    edits->addRow(QStringLiteral("Value:"), Edit_NamedProperty_Value);
    layout->addLayout(edits);

    auto* buttons = new QHBoxLayout;
    Button_NamedProperty_Add = MakeButton("Button_NamedProperty_Add", QStringLiteral("Add"), this);
    Button_NamedProperty_Change = MakeButton("Button_NamedProperty_Change", QStringLiteral("Change"), this);
    Button_NamedProperty_Delete = MakeButton("Button_NamedProperty_Delete", QStringLiteral("Delete"), this);
    Button_NamedProperty_Rename = MakeButton("Button_NamedProperty_Rename", QStringLiteral("Rename"), this);
    for (QPushButton* b :
         {Button_NamedProperty_Add, Button_NamedProperty_Change, Button_NamedProperty_Delete, Button_NamedProperty_Rename})
        buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    Button_NamedProperty_Add->setEnabled(false);
    Button_NamedProperty_Change->setEnabled(false);

    connect(Edit_NamedProperty_Name, &QLineEdit::textChanged, this,
            &TNamedPropertiesPage::OnChange_Edit_NamedProperty_Name);
    connect(Button_NamedProperty_Add, &QPushButton::clicked, this,
            &TNamedPropertiesPage::OnClick_Button_NamedProperty_Add);
    connect(Button_NamedProperty_Change, &QPushButton::clicked, this,
            &TNamedPropertiesPage::OnClick_Button_NamedProperty_Change);
    connect(Button_NamedProperty_Delete, &QPushButton::clicked, this,
            &TNamedPropertiesPage::OnClick_Button_NamedProperty_Delete);
    connect(Button_NamedProperty_Rename, &QPushButton::clicked, this,
            &TNamedPropertiesPage::OnClick_Button_NamedProperty_Rename);
    connect(StringGrid_Properties->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectPropertyRow(current.row()); });
    connect(StringGrid_Properties, &QTableView::clicked, this,
            [this](const QModelIndex& index) { SelectPropertyRow(index.row()); });

    connect(&document_, &TModelDocument::LODSelected, this, &TNamedPropertiesPage::Refill);
    connect(&document_, &TModelDocument::ModelCleared, this, &TNamedPropertiesPage::Refill);
}

void TNamedPropertiesPage::Refill() { properties_->SetLOD(document_.CurrentLOD()); }

void TNamedPropertiesPage::Edited()
{
    document_.SetModified();
    RefreshKeepingRow(StringGrid_Properties, [this] { properties_->Refresh(); });
}

void TNamedPropertiesPage::SelectPropertyRow(int row)
{
    const TLOD* lod = document_.CurrentLOD();
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

void TNamedPropertiesPage::OnChange_Edit_NamedProperty_Name()
{
    const bool named = !Edit_NamedProperty_Name->text().trimmed().isEmpty();
    Button_NamedProperty_Add->setEnabled(named);
    Button_NamedProperty_Change->setEnabled(named);
    Button_NamedProperty_Rename->setEnabled(named);
}

void TNamedPropertiesPage::OnClick_Button_NamedProperty_Add()
{
    TLOD* lod = document_.CurrentLOD();
    if (!lod) return;
    lod->AddProperty(Trim(FromQString(Edit_NamedProperty_Name->text())),
                     Trim(FromQString(Edit_NamedProperty_Value->text())));
    Edited();
}

void TNamedPropertiesPage::OnClick_Button_NamedProperty_Change()
{
    TLOD* lod = document_.CurrentLOD();
    if (!lod) return;
    const std::string name = Trim(FromQString(Edit_NamedProperty_Name->text()));
    if (lod->FindProperty(name) < 0) return;
    lod->ChangeProperty(name, Trim(FromQString(Edit_NamedProperty_Value->text())));
    Edited();
}

void TNamedPropertiesPage::OnClick_Button_NamedProperty_Delete()
{
    TLOD* lod = document_.CurrentLOD();
    const int row = StringGrid_Properties->currentIndex().row();
    if (!lod || row < 0 || row >= properties_->ItemCount()) return;
    lod->DeleteProperty(std::string(lod->PropertyNames[static_cast<size_t>(row)]));
    Edited();
}

void TNamedPropertiesPage::OnClick_Button_NamedProperty_Rename()
{
    TLOD* lod = document_.CurrentLOD();
    const int row = StringGrid_Properties->currentIndex().row();
    if (!lod || row < 0 || row >= properties_->ItemCount()) return;
    const std::string oldName = lod->PropertyNames[static_cast<size_t>(row)];
    if (lod->FindProperty(oldName) < 0) return;
    lod->RenameProperty(oldName, Trim(FromQString(Edit_NamedProperty_Name->text())));
    Edited();
}

}  // namespace mc
