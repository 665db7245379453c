#include "AOptions_F.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Archive/NativePath.h"
#include "Game/GameData.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "QtText.h"
#include "sysinfo/SysInfo.h"

namespace mc {

namespace {

QLineEdit* MakeEdit(const char* name, QWidget* parent, bool readOnly = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

}  // namespace

TAOptionsForm::TAOptionsForm(const TGameData& game, QWidget* parent) : QDialog(parent), game_(game)
{
    AOptionsForm = this;
    setObjectName(QStringLiteral("AOptionsForm"));
    setWindowTitle(QStringLiteral("AddOn Options"));

    Edit_AddOnName = MakeEdit("Edit_AddOnName", this);
    Edit_SrcFolder = MakeEdit("Edit_SrcFolder", this);
    Edit_SrcFiles = MakeEdit("Edit_SrcFiles", this, true);
    Edit_DstFile = MakeEdit("Edit_DstFile", this, true);
    Button_BrowseSrcFlder = new QPushButton(QStringLiteral("..."), this);
    Button_BrowseSrcFlder->setObjectName(QStringLiteral("Button_BrowseSrcFlder"));
    Button_BrowseSrcFlder->setFixedWidth(32);
    Button_BrowseSrcFlder->setAutoDefault(false);
    CheckBox_Recursive = new QCheckBox(QStringLiteral("Include Subfolders"), this);
    CheckBox_Recursive->setObjectName(QStringLiteral("CheckBox_Recursive"));
    CheckBox_Recursive->setChecked(true);
    CheckBox_AddToPbManager = new QCheckBox(QStringLiteral("Add to Pb-manager after creating"), this);
    CheckBox_AddToPbManager->setObjectName(QStringLiteral("CheckBox_AddToPbManager"));
    CheckBox_AddToPbManager->setChecked(true);
    Button_OK = new QPushButton(QStringLiteral("OK"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setDefault(true);
    Button_OK->setEnabled(false);
    Button_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
    Button_Cancel->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("AddOn Name:"), this), 0, 0);
    grid->addWidget(Edit_AddOnName, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Source Folder:"), this), 1, 0);
    grid->addWidget(Edit_SrcFolder, 1, 1);
    grid->addWidget(Button_BrowseSrcFlder, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Source Files:"), this), 2, 0);
    grid->addWidget(Edit_SrcFiles, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Dest. File:"), this), 3, 0);
    grid->addWidget(Edit_DstFile, 3, 1, 1, 2);
    grid->addWidget(CheckBox_Recursive, 4, 1, 1, 2);
    grid->addWidget(CheckBox_AddToPbManager, 5, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    buttons->addWidget(Button_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(Edit_AddOnName, &QLineEdit::textChanged, this, &TAOptionsForm::OnChange_Edits);
    connect(Edit_SrcFolder, &QLineEdit::textChanged, this, &TAOptionsForm::OnChange_Edits);
    connect(Button_BrowseSrcFlder, &QPushButton::clicked, this, &TAOptionsForm::OnClick_Button_BrowseSrcFlder);
    connect(Button_OK, &QPushButton::clicked, this, &TAOptionsForm::OnClick_Button_OK);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TAOptionsForm::~TAOptionsForm()
{
    if (AOptionsForm == this) AOptionsForm = nullptr;
}

std::string TAOptionsForm::SourceFolderText() const
{
    std::string folder = AddOnSourceFolder(FromQString(Edit_SrcFolder->text()));
#ifndef _WIN32
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
#endif
    return folder;
}

void TAOptionsForm::OnChange_Edits()
{
    const std::string name = Trim(FromQString(Edit_AddOnName->text()));
    const std::string folder = SourceFolderText();
    Button_OK->setEnabled(!name.empty() && !folder.empty());
    Edit_SrcFiles->setText(folder.empty() ? QString() : ToQString(NativePath(folder + "\\*.*")));
    Edit_DstFile->setText(ToQString(AddOnDestFile(game_.DataRoot(), name)));
}

void TAOptionsForm::OnClick_Button_BrowseSrcFlder()
{
    const auto folder =
        Dialogs().PickFolder(this, QStringLiteral("Select source files folder:"), ToQString(GetProgramFolder()));
    if (folder) Edit_SrcFolder->setText(*folder);
}

void TAOptionsForm::OnClick_Button_OK()
{
    options_.SourceFolder = SourceFolderText();
    options_.DestFile = FromQString(Edit_DstFile->text());
    options_.Recursive = CheckBox_Recursive->isChecked();
    options_.AddToPbManager = CheckBox_AddToPbManager->isChecked();
    accept();
}

}  // namespace mc
