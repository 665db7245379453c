#include "Pb_F.h"

#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Archive/PbFile.h"
#include "Archive/PbList.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "PbFileTypes.h"
#include "PbHtmlBrowser.h"
#include "PbIcons.h"
#include "PbListModel.h"
#include "PbSoundPage.h"
#include "PbTextureBox.h"
#include "QtText.h"
#include "StringTableGridModel.h"
#include "Texture/Texture.h"

namespace mc {

namespace {

constexpr int kNodeFolderRole = Qt::UserRole + 1;
// The texture preview area.
constexpr int kTextureBoxSize = 256;

TPbDirectory* NodeFolder(const QTreeWidgetItem* node)
{
    return node ? reinterpret_cast<TPbDirectory*>(node->data(0, kNodeFolderRole).value<quintptr>()) : nullptr;
}

QToolButton* AddToolButton(QToolBar* bar, const char* caption, const char* hint, const char* name)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromLatin1(caption));
    b->setToolTip(QString::fromLatin1(hint));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(b);
    return b;
}

}  // namespace

TPbForm::TPbForm(TPbGameAccess game, QWidget* parent)
    : QDialog(parent), GameFolder(std::move(game.GameFolder)), archives_(game.Archives),
      icons_(std::make_unique<TPbIconList>())
{
    setObjectName("PbForm");
    setWindowTitle(QStringLiteral("Pb Manager"));
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    CreateControls();
    resize(900, 640);
}

TPbForm::~TPbForm()
{
    // The rows point into the archives and draw with the icons that go
    // before the widgets do.
    listModel_->SetFolder(nullptr);
    TabSheet_Sound_Page->Clear();
    // The HTML previews go with their temporary folder.
    htmlFolder_.reset();
}

void TPbForm::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    ToolBar_Main = new QToolBar(this);
    ToolBar_Main->setObjectName("ToolBar_Main");
    ToolButton_AddPb = AddToolButton(ToolBar_Main, "  &Add  ", "Add Pb-file", "ToolButton_AddPb");
    ToolButton_RemoveFile = AddToolButton(ToolBar_Main, "&Remove", "Remove Pb-File", "ToolButton_RemoveFile");
    ToolButton_UpFolder = AddToolButton(ToolBar_Main, "&Up", "Folder Up", "ToolButton_UpFolder");
    ToolButton_Refresh = AddToolButton(ToolBar_Main, "&Refresh", "Refresh Folders List", "ToolButton_Refresh");
    ToolButton_RemoveFile->setEnabled(false);
    ToolButton_UpFolder->setEnabled(false);
    layout->addWidget(ToolBar_Main);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* left = new QSplitter(Qt::Vertical, splitter);

    TreeView = new QTreeWidget(left);
    TreeView->setObjectName("TreeView");
    TreeView->setHeaderHidden(true);
    TreeView->setColumnCount(1);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);

    PageControl_Left = new QTabWidget(left);
    PageControl_Left->setObjectName("PageControl_Left");
    const auto addPage = [&](QWidget* page, const char* name, const char* caption) {
        page->setObjectName(QString::fromLatin1(name));
        PageControl_Left->addTab(page, QString::fromLatin1(caption));
        return page;
    };
    TabSheet_Unknown = addPage(new QWidget, "TabSheet_Unknown", "");
    TabSheet_Texture = addPage(CreateTexturePage(), "TabSheet_Texture", "Texture");

    TabSheet_HTML = new QWidget;
    {
        auto* l = new QVBoxLayout(TabSheet_HTML);
        l->setContentsMargins(0, 0, 0, 0);
        auto* browser = new TPbHtmlBrowser(TabSheet_HTML);
        browser->SetResourceSource([this](int type, const QUrl& url) { return HtmlResource(type, url); });
        WebBrowser_HTML = browser;
        WebBrowser_HTML->setObjectName("WebBrowser_HTML");
        l->addWidget(WebBrowser_HTML);
    }
    addPage(TabSheet_HTML, "TabSheet_HTML", "HTML");

    TabSheet_Sound_Page = new TPbSoundPage;
    TabSheet_Sound = addPage(TabSheet_Sound_Page, "TabSheet_Sound", "Sound");

    TabSheet_Script = new QWidget;
    {
        auto* l = new QVBoxLayout(TabSheet_Script);
        l->setContentsMargins(0, 0, 0, 0);
        Memo_Script = new QPlainTextEdit(TabSheet_Script);
        Memo_Script->setObjectName("Memo_Script");
        Memo_Script->setReadOnly(true);
        Memo_Script->setLineWrapMode(QPlainTextEdit::NoWrap);
        Memo_Script->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        l->addWidget(Memo_Script);
    }
    addPage(TabSheet_Script, "TabSheet_Script", "Script");

    TabSheet_StringTable = new QWidget;
    {
        auto* l = new QVBoxLayout(TabSheet_StringTable);
        l->setContentsMargins(0, 0, 0, 0);
        StringGrid_StringTable = new QTableView(TabSheet_StringTable);
        StringGrid_StringTable->setObjectName("StringGrid_StringTable");
        stringTable_ = new TStringTableGridModel(this);
        StringGrid_StringTable->setModel(stringTable_);
        StringGrid_StringTable->horizontalHeader()->hide();
        StringGrid_StringTable->verticalHeader()->hide();
        StringGrid_StringTable->verticalHeader()->setDefaultSectionSize(
            StringGrid_StringTable->fontMetrics().height() + 6);
        StringGrid_StringTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        l->addWidget(StringGrid_StringTable);
    }
    addPage(TabSheet_StringTable, "TabSheet_StringTable", "String Table");
    ShowPage(0);

    left->addWidget(TreeView);
    left->addWidget(PageControl_Left);
    left->setStretchFactor(0, 1);
    left->setStretchFactor(1, 1);

    ListView = new QTreeView(splitter);
    ListView->setObjectName("ListView");
    ListView->setRootIsDecorated(false);
    ListView->setItemsExpandable(false);
    ListView->setUniformRowHeights(true);
    ListView->setAllColumnsShowFocus(true);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setContextMenuPolicy(Qt::CustomContextMenu);
    listModel_ = new TPbListModel(*icons_, this);
    ListView->setModel(listModel_);
    for (int c = 0; c < PbColumnCount; ++c) ListView->setColumnWidth(c, PbColumnWidth(c));
    ListView->installEventFilter(this);

    splitter->addWidget(left);
    splitter->addWidget(ListView);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 600});
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    Button_Ok = new QPushButton(QStringLiteral("Ok"), this);
    Button_Ok->setObjectName("Button_Ok");
    Button_Ok->setDefault(true);
    bottom->addWidget(Button_Ok);
    layout->addLayout(bottom);

    PopupMenu_Right = new QMenu(this);
    PopupMenu_Right->setObjectName("PopupMenu_Right");
    MenuItem_Right_Open = PopupMenu_Right->addAction(QStringLiteral("&Open"));
    MenuItem_Right_Open->setObjectName("MenuItem_Right_Open");
    PopupMenu_Right->setDefaultAction(MenuItem_Right_Open);
    MenuItem_Right_Delete = PopupMenu_Right->addAction(QStringLiteral("&Delete"));
    MenuItem_Right_Delete->setObjectName("MenuItem_Right_Delete");
    MenuItem_Right_Delete->setEnabled(false);
    MenuItem_Right_Rename = PopupMenu_Right->addAction(QStringLiteral("Rena&me"));
    MenuItem_Right_Rename->setObjectName("MenuItem_Right_Rename");
    MenuItem_Right_Rename->setEnabled(false);

    PopupMenu_Left = new QMenu(this);
    PopupMenu_Left->setObjectName("PopupMenu_Left");
    MenuItem_Left_Add = PopupMenu_Left->addAction(QStringLiteral("&Add"));
    MenuItem_Left_Add->setObjectName("MenuItem_Left_Add");
    MenuItem_Left_Up = PopupMenu_Left->addAction(QStringLiteral("&Up"));
    MenuItem_Left_Up->setObjectName("MenuItem_Left_Up");
    MenuItem_Left_Up->setEnabled(false);

    connect(ToolButton_AddPb, &QToolButton::clicked, this, [this] { OnClick_Add(); });
    connect(ToolButton_RemoveFile, &QToolButton::clicked, this, [this] { OnClick_Remove(); });
    connect(ToolButton_UpFolder, &QToolButton::clicked, this, [this] { OnClick_Up(); });
    connect(ToolButton_Refresh, &QToolButton::clicked, this, [this] { RefreshAll(); });
    connect(MenuItem_Left_Add, &QAction::triggered, this, [this] { OnClick_Add(); });
    connect(MenuItem_Left_Up, &QAction::triggered, this, [this] { OnClick_Up(); });
    connect(MenuItem_Right_Open, &QAction::triggered, this, [this] { OpenListItem(SelectedRow()); });
    connect(Button_Ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(TreeView, &QTreeWidget::currentItemChanged, this, [this] {
        if (!filling_) FillList();
    });
    connect(TreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { OnTreeContextMenu(p); });
    connect(ListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { OnListContextMenu(p); });
    connect(ListView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) { OpenListItem(i.row()); });
    connect(ListView, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { SelectListRow(i.row()); });
    connect(ListView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) SelectListRow(current.row());
            });
}

QWidget* TPbForm::CreateTexturePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    const auto addLabel = [&](int row, const char* caption, const char* name) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), page), row, 0);
        auto* value = new QLabel(page);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, row, 1);
        return value;
    };
    Label_Texture_Name = addLabel(0, "Name:", "Label_Texture_Name");
    Label_Texture_Type = addLabel(1, "Type:", "Label_Texture_Type");
    Label_Texture_Palette = addLabel(2, "Palette:", "Label_Texture_Palette");
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    ComboBox_Texture_MipMaps = new QComboBox(page);
    ComboBox_Texture_MipMaps->setObjectName("ComboBox_Texture_MipMaps");
    ComboBox_Texture_MipMaps->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ComboBox_Texture_Data = new QComboBox(page);
    ComboBox_Texture_Data->setObjectName("ComboBox_Texture_Data");
    ComboBox_Texture_Data->addItems({QStringLiteral("RGB"), QStringLiteral("Alpha")});
    ComboBox_Texture_MipMaps->setEnabled(false);
    ComboBox_Texture_Data->setEnabled(false);
    row->addWidget(ComboBox_Texture_MipMaps);
    row->addWidget(ComboBox_Texture_Data);
    row->addStretch(1);
    layout->addLayout(row);

    PaintBox_Texture = new TPbTextureBox(page);
    PaintBox_Texture->setObjectName("PaintBox_Texture");
    PaintBox_Texture->setFixedSize(kTextureBoxSize, kTextureBoxSize);
    layout->addWidget(PaintBox_Texture);
    layout->addStretch(1);

    connect(ComboBox_Texture_MipMaps, &QComboBox::currentIndexChanged, this, [this] { RefreshTextureControls(); });
    connect(ComboBox_Texture_Data, &QComboBox::currentIndexChanged, this, [this] { RefreshTextureControls(); });
    return page;
}

// Tree and list ---------------------------------------------------------------

void TPbForm::showEvent(QShowEvent* e)
{
    if (NeedsRefresh) RefreshAll();
    QDialog::showEvent(e);
}

void TPbForm::RefreshAll()
{
    filling_ = true;
    listModel_->SetFolder(nullptr);
    TreeView->clear();
    currentNode_ = nullptr;
    if (archives_) {
        for (int i = 0; i < archives_->Count(); ++i) {
            TPbFile* archive = archives_->Archive(i);
            const bool addOn = StartsWithBackslash(archive->Name);
            archive->BuildTree();
            auto* node = new QTreeWidgetItem(TreeView);
            node->setText(0, ToQString(addOn ? std::string_view(archive->Name).substr(1) : archive->Name));
            node->setIcon(0, icons_->FolderPair(addOn));
            node->setData(0, kNodeFolderRole, QVariant::fromValue(reinterpret_cast<quintptr>(&archive->Root)));
            AddFolderNodes(node, archive->Root, addOn);
        }
    }
    if (TreeView->topLevelItemCount() > 0) TreeView->setCurrentItem(TreeView->topLevelItem(0));
    filling_ = false;
    FillList();
    NeedsRefresh = false;
}

void TPbForm::AddFolderNodes(QTreeWidgetItem* node, const TPbDirectory& folder, bool addOn)
{
    for (int i = 0; i < folder.Items.Count(); ++i) {
        TPbItem* item = folder.Items.Object(i);
        if (!item->IsDirectory()) continue;
        auto* child = new QTreeWidgetItem(node);
        child->setText(0, ToQString(item->Name));
        child->setIcon(0, icons_->FolderPair(addOn));
        child->setData(0, kNodeFolderRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
        AddFolderNodes(child, *static_cast<TPbDirectory*>(item), addOn);
    }
}

void TPbForm::FillList()
{
    currentNode_ = TreeView->currentItem();
    UpdateButtons();
    const TPbDirectory* folder = NodeFolder(currentNode_);
    if (folder && folder->Items.Count() > 100) {
        TWaitCursor wait;
        listModel_->SetFolder(folder);
    } else {
        listModel_->SetFolder(folder);
    }
}

void TPbForm::UpdateButtons()
{
    const bool hasParent = currentNode_ && currentNode_->parent();
    ToolButton_UpFolder->setEnabled(hasParent);
    MenuItem_Left_Up->setEnabled(hasParent);
    ToolButton_RemoveFile->setEnabled(currentNode_ && !currentNode_->parent());
}

void TPbForm::SetCurrentNode(QTreeWidgetItem* node)
{
    if (!node) return;
    if (TreeView->currentItem() == node) {
        FillList();
    } else {
        TreeView->setCurrentItem(node);  // fills the list
    }
}

int TPbForm::SelectedRow() const
{
    const QModelIndexList rows = ListView->selectionModel()->selectedRows();
    if (!rows.isEmpty()) return rows.first().row();
    const QModelIndex current = ListView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TPbForm::OpenListItem(int row)
{
    TPbItem* item = listModel_->Item(row);
    if (!item) return;
    if (item->IsDirectory()) {
        if (!currentNode_) return;
        const QString name = ToQString(item->Name);
        for (int i = 0; i < currentNode_->childCount(); ++i) {
            if (currentNode_->child(i)->text(0) == name) {
                QTreeWidgetItem* child = currentNode_->child(i);
                currentNode_->setExpanded(true);
                SetCurrentNode(child);
                return;
            }
        }
        return;
    }
    if (picking_) accept();
}

void TPbForm::OnClick_Up()
{
    if (currentNode_ && currentNode_->parent()) SetCurrentNode(currentNode_->parent());
}

void TPbForm::OnClick_Add()
{
    QString start;
    if (!GameFolder.empty()) start = ToQString(PathToUtf8(PathFromUtf8(GameFolder) / "AddOns"));
    const auto name = Dialogs().OpenFile(this, QStringLiteral("Add Pb-file"), QString::fromLatin1(kPbArchiveFilter),
                                         QString(), start);
    if (name) AddArchiveFile(FromQString(*name));
}

void TPbForm::AddArchiveFile(const std::string& fileName)
{
    if (!archives_) return;
    try {
        TWaitCursor wait;
        archives_->AddArchive(fileName, true);
    } catch (const std::exception& e) {
        ShowMessage(TMessageKind::Error, e.what());
    }
    RefreshAll();
}

void TPbForm::OnClick_Remove()
{
    if (!archives_ || !currentNode_ || currentNode_->parent()) return;
    const TPbDirectory* root = NodeFolder(currentNode_);
    if (!root || !root->Owner) return;
    TPbFile* archive = root->Owner;
    // Nothing shown may point into the archive once it is gone.
    if (currentItem_ && currentItem_->Owner == archive) ClearPreview();
    listModel_->SetFolder(nullptr);
    filling_ = true;
    delete currentNode_;
    currentNode_ = nullptr;
    filling_ = false;
    std::unique_ptr<TPbFile> removed = archives_->RemoveArchive(archive->FileName);
    removed.reset();
    FillList();
}

std::string TPbForm::PickModel()
{
    picking_ = true;
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    if (NeedsRefresh) RefreshAll();
    if (isVisible()) hide();
    const int result = exec();
    picking_ = false;
    std::string path;
    if (result == QDialog::Accepted) {
        const QModelIndexList rows = ListView->selectionModel()->selectedRows();
        if (const TPbItem* item = rows.isEmpty() ? nullptr : listModel_->Item(rows.first().row()))
            path = PickedGamePath(item->FullName());
    }
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return path;
}

bool TPbForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ListView && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OpenListItem(SelectedRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TPbForm::OnListContextMenu(const QPoint& pos)
{
    const QModelIndex index = ListView->indexAt(pos);
    if (index.isValid()) ListView->setCurrentIndex(index);
    MenuItem_Right_Open->setEnabled(listModel_->Item(SelectedRow()) != nullptr);
    PopupMenu_Right->popup(ListView->viewport()->mapToGlobal(pos));
}

void TPbForm::OnTreeContextMenu(const QPoint& pos)
{
    UpdateButtons();
    PopupMenu_Left->popup(TreeView->viewport()->mapToGlobal(pos));
}

}  // namespace mc
