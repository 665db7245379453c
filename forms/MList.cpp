#include "MList.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "CatalogClasses.h"
#include "CatalogTree.h"
#include "Config/Resources.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "Game/GameData.h"
#include "MapIconScan.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/Model.h"
#include "PreviewCamera.h"
#include "PreviewSurface.h"
#include "QtText.h"
#include "sysinfo/SysInfo.h"

namespace mc {

namespace {

constexpr int kTickMs = 10;
constexpr int kSurfaceSize = 240;
constexpr uint32_t kBackground = 0xFFF08080;  // (240, 128, 128)
constexpr float kLookCloseStep = std::numbers::pi_v<float> / 2000;
constexpr int kImageRole = Qt::UserRole + 1;
const char* const kTemplatesFilter = "Templates (*.cpp)|*.cpp|All files (*.*)|*.*";
const char* const kModifiedQuestion = "Model Groups tree were modified. Do you want so save changes?";

// The five tree pictures, drawn once.
const QIcon& Image(int index)
{
    static const std::vector<QIcon> images = [] {
        auto picture = [](auto draw) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing, false);
            draw(p);
            return pixmap;
        };
        auto folder = [](QPainter& p, bool open) {
            p.setPen(QColor(120, 90, 10));
            p.setBrush(QColor(230, 190, 70));
            p.drawRect(1, 3, 6, 2);
            p.drawRect(1, 4, 13, 9);
            if (open) {
                p.setBrush(QColor(250, 225, 130));
                p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
            }
        };
        auto page = [](QPainter& p, QColor cube) {
            p.setPen(QColor(90, 90, 90));
            p.setBrush(Qt::white);
            p.drawRect(2, 1, 11, 14);
            p.setBrush(cube);
            p.drawRect(5, 6, 5, 5);
            p.drawLine(5, 6, 7, 4);
            p.drawLine(10, 6, 12, 4);
            p.drawLine(7, 4, 12, 4);
        };
        std::vector<QIcon> list(5);
        const QPixmap closed = picture([&](QPainter& p) { folder(p, false); });
        const QPixmap open = picture([&](QPainter& p) { folder(p, true); });
        list[0].addPixmap(closed, QIcon::Normal);
        list[0].addPixmap(open, QIcon::Selected);
        list[1].addPixmap(open);
        list[2].addPixmap(picture([&](QPainter& p) { page(p, QColor(200, 200, 200)); }));
        list[3].addPixmap(picture([&](QPainter& p) { page(p, QColor(60, 180, 60)); }));
        list[4].addPixmap(picture([&](QPainter& p) {
            page(p, QColor(200, 200, 200));
            p.setPen(QPen(QColor(220, 30, 30), 2));
            p.drawLine(4, 4, 12, 12);
            p.drawLine(12, 4, 4, 12);
        }));
        return list;
    }();
    return images[size_t(index)];
}

QCheckBox* MakeCheckBox(const char* name, const char* caption, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QAction* MakeAction(QWidget* owner, QMenu* menu, const char* name, const char* caption, QKeySequence key = {})
{
    auto* action = new QAction(QString::fromLatin1(caption), owner);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner->addAction(action);
    }
    menu->addAction(action);
    return action;
}

// Whether node lies inside (or is) the subtree of top.
bool IsWithin(const QTreeWidgetItem* node, const QTreeWidgetItem* top)
{
    for (; node; node = node->parent())
        if (node == top) return true;
    return false;
}

bool IsClassWithin(const TRClass* node, const TRClass* top)
{
    for (; node; node = node->Owner)
        if (node == top) return true;
    return false;
}

// The root of a document counts as a group.
bool IsGroupClass(const TRClass* node) { return node && (!node->Owner || IsCatalogGroup(*node)); }

std::string DefaultTemplateFile()
{
    const std::filesystem::path file =
        PathFromUtf8(GetProgramFolder()) / ".." / "CommonFiles" / "Templates" / "ModelGroups.cpp";
    return PathToUtf8(file.lexically_normal());
}

}  // namespace

TMListForm::TMListForm(const TGameData& game, QWidget* parent)
    : QDialog(parent),
      game_(game),
      builtInDocument_(std::make_unique<TResources>()),
      templatesDocument_(std::make_unique<TResources>()),
      templateFile_(DefaultTemplateFile())
{
    setObjectName(QStringLiteral("MListForm"));
    setWindowTitle(QStringLiteral("Model List"));
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    BuildPages();
    layout->addWidget(PageControl_Main, 1);
    BuildPanel();
    BuildMenus();
    resize(620, 420);

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &TMListForm::Tick);
}

TMListForm::~TMListForm()
{
    timer_.stop();
    TreeView_MapIcons->disconnect(this);
    TreeView_UserTemplates->disconnect(this);
    // The picture's buffers go while the GL context is still there.
    ReleaseShownModel();
}

void TMListForm::BuildPages()
{
    PageControl_Main = new QTabWidget(this);
    PageControl_Main->setObjectName(QStringLiteral("PageControl_Main"));

    TreeView_MapIcons = new TCatalogTree(PageControl_Main);
    TreeView_MapIcons->setObjectName(QStringLiteral("TreeView_MapIcons"));
    TreeView_MapIcons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PageControl_Main->addTab(TreeView_MapIcons, QStringLiteral("Map Icons"));

    TreeView_UserTemplates = new TCatalogTree(PageControl_Main);
    TreeView_UserTemplates->setObjectName(QStringLiteral("TreeView_UserTemplates"));
    TreeView_UserTemplates->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    TreeView_UserTemplates->setDragEnabled(true);
    TreeView_UserTemplates->setAcceptDrops(true);
    TreeView_UserTemplates->setDropIndicatorShown(true);
    TreeView_UserTemplates->setDragDropMode(QAbstractItemView::DragDrop);
    TreeView_UserTemplates->CanDrop = [this](QTreeWidgetItem* s, QTreeWidgetItem* t) { return CanDropNode(s, t); };
    TreeView_UserTemplates->Drop = [this](QTreeWidgetItem* s, QTreeWidgetItem* t) { DropNode(s, t); };
    PageControl_Main->addTab(TreeView_UserTemplates, QStringLiteral("User Templates"));

    for (TCatalogTree* tree : {TreeView_MapIcons, TreeView_UserTemplates}) {
        connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
            if (!updatingTree_) SelectNode(node);
        });
        // A click on the highlighted node shows its model again after a refresh released it.
        connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { SelectNode(node); });
        connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) { OnDblClick_TreeView(node); });
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    connect(TreeView_UserTemplates, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* node) { OnChange_TreeView_UserTemplates(node); });
}

void TMListForm::BuildPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel_Right"));
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(4, 0, 0, 0);
    DXDraw = new TPreviewSurface(panel);
    DXDraw->setObjectName(QStringLiteral("DXDraw"));
    DXDraw->setFixedSize(kSurfaceSize, kSurfaceSize);
    DXDraw->setFocusPolicy(Qt::NoFocus);
    DXDraw->setToolTip({});
    DXDraw->SetTextureSource([this](const std::string& name) { return game_.PbList.Extract(name); });
    // The preview's planes and field of view; the catalog's camera starts in
    // front of and above the origin and moves slower.
    TCamera& camera = DXDraw->Camera();
    ApplyPreviewCameraSettings(camera);
    camera.SetSpeed(0.1f);
    camera.SetPosition({0, 1, -5});
    camera.LockTarget({0, 0, 0});
    TPreviewFrame& frame = DXDraw->Frame();
    frame.Background = kBackground;
    frame.ShowInfo = false;
    frame.Banner = false;
    frame.LODIndex = 0;
    v->addWidget(DXDraw);

    Label_ModelName = new QLabel(panel);
    Label_ModelName->setObjectName(QStringLiteral("Label_ModelName"));
    Label_ModelName->setFixedWidth(kSurfaceSize);
    Label_ModelName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(Label_ModelName);
    CheckBox_LookClose = MakeCheckBox("CheckBox_LookClose", "Look Close", false, panel);
    CheckBox_Light = MakeCheckBox("CheckBox_Light", "Light", true, panel);
    CheckBox_Rotate = MakeCheckBox("CheckBox_Rotate", "Rotate", true, panel);
    CheckBox_CullNone = MakeCheckBox("CheckBox_CullNone", "Cull None", false, panel);
    for (QCheckBox* box : {CheckBox_LookClose, CheckBox_Light, CheckBox_Rotate, CheckBox_CullNone}) v->addWidget(box);
    v->addStretch(1);
    layout()->addWidget(panel);
}

void TMListForm::BuildMenus()
{
    PopupMenu_BuildIn = new QMenu(this);
    PopupMenu_BuildIn->setObjectName(QStringLiteral("PopupMenu_BuildIn"));
    PopupMenuItem_BuildIn_Export = MakeAction(TreeView_MapIcons, PopupMenu_BuildIn, "PopupMenuItem_BuildIn_Export", "&Export...");
    PopupMenuItem_BuildIn_Refresh =
        MakeAction(TreeView_MapIcons, PopupMenu_BuildIn, "PopupMenuItem_BuildIn_Refresh", "&Refresh", QKeySequence(Qt::Key_F5));
    connect(PopupMenuItem_BuildIn_Export, &QAction::triggered, this, [this] { ExportMapIcons(); });
    connect(PopupMenuItem_BuildIn_Refresh, &QAction::triggered, this, [this] { RefreshMapIcons(); });

    TCatalogTree* t = TreeView_UserTemplates;
    PopupMenu_UserTemplates = new QMenu(this);
    PopupMenu_UserTemplates->setObjectName(QStringLiteral("PopupMenu_UserTemplates"));
    PopupMenuItem_UserTemplates_SaveAs =
        MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_SaveAs", "Save &As...");
    PopupMenuItem_UserTemplates_Refresh = MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_Refresh",
                                                     "&Refresh", QKeySequence(Qt::Key_F5));
    PopupMenu_UserTemplates->addSeparator();
    PopupMenuItem_UserTemplates_AddGroup =
        MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_AddGroup", "Add &Group");
    PopupMenuItem_UserTemplates_AddItems =
        MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_AddItems", "Add &Item(s)...");
    PopupMenu_UserTemplates->addSeparator();
    PopupMenuItem_UserTemplates_Rename = MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_Rename",
                                                    "Re&name", QKeySequence(Qt::Key_F2));
    PopupMenuItem_UserTemplates_Delete = MakeAction(t, PopupMenu_UserTemplates, "PopupMenuItem_UserTemplates_Delete",
                                                    "&Delete", QKeySequence(QKeySequence::Delete));
    connect(PopupMenuItem_UserTemplates_SaveAs, &QAction::triggered, this, [this] { SaveTemplatesAs(); });
    connect(PopupMenuItem_UserTemplates_Refresh, &QAction::triggered, this, [this] { RefreshTemplates(); });
    connect(PopupMenuItem_UserTemplates_Rename, &QAction::triggered, this,
            &TMListForm::OnClick_PopupMenuItem_UserTemplates_Rename);
    connect(PopupMenuItem_UserTemplates_Delete, &QAction::triggered, this,
            [this] { DeleteNode(TreeView_UserTemplates->currentItem()); });

    connect(TreeView_MapIcons, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_BuildIn->popup(TreeView_MapIcons->viewport()->mapToGlobal(at)); });
    connect(TreeView_UserTemplates, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const bool node = TreeView_UserTemplates->currentItem() != nullptr;
        PopupMenuItem_UserTemplates_Rename->setEnabled(node);
        PopupMenuItem_UserTemplates_Delete->setEnabled(node);
        PopupMenu_UserTemplates->popup(TreeView_UserTemplates->viewport()->mapToGlobal(at));
    });
}

TCamera& TMListForm::Camera() const { return DXDraw->Camera(); }

float TMListForm::FitAngle() const { return Camera().FieldOfView() + float(lookCloseSteps_) * kLookCloseStep; }

int TMListForm::ImageOf(const QTreeWidgetItem* node) { return node ? node->data(0, kImageRole).toInt() : -1; }

void TMListForm::SetImage(QTreeWidgetItem* node, int image)
{
    ++updatingTree_;
    node->setData(0, kImageRole, image);
    node->setIcon(0, Image(image));
    --updatingTree_;
}

QTreeWidgetItem* TMListForm::AddNode(TCatalogTree* tree, QTreeWidgetItem* parent, TRClass* nodeClass, bool editable)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    node->setText(0, ToQString(CatalogCaption(*nodeClass)));
    TCatalogTree::Link(node, nodeClass);
    SetImage(node, IsCatalogGroup(*nodeClass) ? kImageGroup : kImageItem);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    node->setFlags(flags);
    return node;
}

void TMListForm::AddNodes(TCatalogTree* tree, QTreeWidgetItem* parent, TRClass& parentClass, bool editable)
{
    for (int i = 0; i < parentClass.MemberCount(); ++i) {
        TRMember* member = parentClass.MemberAt(i);
        if (!member->IsClass()) continue;
        auto* nodeClass = static_cast<TRClass*>(member);
        QTreeWidgetItem* node = AddNode(tree, parent, nodeClass, editable);
        AddNodes(tree, node, *nodeClass, editable);
        if (node->childCount()) node->setExpanded(true);
    }
}

void TMListForm::ReleaseShownModel()
{
    DXDraw->Frame().Model = nullptr;
    DXDraw->ReleaseModel();
    shownModel_.reset();
}

void TMListForm::RefreshMapIcons()
{
    ++updatingTree_;
    selectedNode_ = nullptr;
    ReleaseShownModel();
    Label_ModelName->clear();
    TreeView_MapIcons->clear();
    builtInDocument_->RootClass->Clear();
    --updatingTree_;
    {
        TWaitCursor wait;
        TMapIconScan scan(game_);
        scan.Run([](int done, int total) { ShowStatus(Format("%d of %d models", done, total)); });
        scan.BuildDocument(*builtInDocument_);
    }
    ++updatingTree_;
    TreeView_MapIcons->setUpdatesEnabled(false);
    AddNodes(TreeView_MapIcons, nullptr, *builtInDocument_->RootClass, false);
    TreeView_MapIcons->setUpdatesEnabled(true);
    TreeView_MapIcons->setCurrentItem(nullptr);
    --updatingTree_;
    mapIconsBuilt_ = true;
}

void TMListForm::RefreshTemplates()
{
    EndEditing(false);
    if (templatesModified_) {
        const TAnswer answer = Dialogs().Question(this, QString::fromLatin1(kModifiedQuestion));
        if (answer == TAnswer::Cancel) return;
        if (answer == TAnswer::Yes) SaveTemplatesAs();  // the reload goes on even when it is cancelled
    }
    ++updatingTree_;
    selectedNode_ = nullptr;
    ReleaseShownModel();
    Label_ModelName->clear();
    TreeView_UserTemplates->clear();
    templatesDocument_ = std::make_unique<TResources>();
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(templateFile_), ec)) {
        if (templatesDocument_->LoadFromFile(templateFile_) && !templatesDocument_->HasError) {
            AddNodes(TreeView_UserTemplates, nullptr, *templatesDocument_->RootClass, true);
        } else {
            AddLog(Format("Cannot load \"%s\": %s", templateFile_.c_str(), templatesDocument_->ErrorMessage.c_str()));
            templatesDocument_ = std::make_unique<TResources>();
        }
    } else {
        AddLog(Format("Template file \"%s\" not found.", templateFile_.c_str()));
    }
    TreeView_UserTemplates->setCurrentItem(nullptr);
    --updatingTree_;
    templatesModified_ = false;
    templatesLoaded_ = true;
}

std::string TMListForm::TemplatesFolder() const
{
    return PathToUtf8(PathFromUtf8(templateFile_).parent_path());
}

bool TMListForm::ExportMapIcons()
{
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Export"), QString::fromLatin1(kTemplatesFilter),
                                           QStringLiteral("cpp"), ToQString(TemplatesFolder()));
    if (!choice) return false;
    const std::string name = FromQString(WithDefaultExt(choice->FileName, QStringLiteral("cpp")));
    if (!builtInDocument_->SaveToFile(name, kConfigText)) {
        Dialogs().Message(this, TMessageKind::Error, ToQString(builtInDocument_->ErrorMessage));
        return false;
    }
    return true;
}

bool TMListForm::SaveTemplatesAs()
{
    EndEditing(false);
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Save As"), QString::fromLatin1(kTemplatesFilter),
                                           QStringLiteral("cpp"), ToQString(TemplatesFolder()));
    if (!choice) return false;
    const std::string name = FromQString(WithDefaultExt(choice->FileName, QStringLiteral("cpp")));
    if (!templatesDocument_->SaveToFile(name, kConfigText)) {
        Dialogs().Message(this, TMessageKind::Error, ToQString(templatesDocument_->ErrorMessage));
        return false;
    }
    templatesModified_ = false;
    return true;
}

void TMListForm::OnChange_TreeView_UserTemplates(QTreeWidgetItem* node)
{
    if (updatingTree_) return;
    TRClass* nodeClass = TCatalogTree::ClassOf(node);
    if (!nodeClass) return;
    const std::string caption = CatalogCaption(*nodeClass);
    const std::string typed = FromQString(node->text(0));
    if (typed == caption) return;
    if (Trim(typed).empty()) {
        // An empty caption is refused: the old one comes back.
        ++updatingTree_;
        node->setText(0, ToQString(caption));
        --updatingTree_;
        return;
    }
    SetCatalogName(*nodeClass, typed);
    templatesModified_ = true;
}

void TMListForm::OnClick_PopupMenuItem_UserTemplates_Rename()
{
    if (QTreeWidgetItem* node = TreeView_UserTemplates->currentItem()) TreeView_UserTemplates->editItem(node);
}

void TMListForm::DeleteNode(QTreeWidgetItem* node)
{
    TRClass* nodeClass = TCatalogTree::ClassOf(node);
    if (!nodeClass || !nodeClass->Owner) return;
    if (IsCatalogGroup(*nodeClass) && nodeClass->HasClassMembers()) {
        const QString question =
            QStringLiteral("Group \"%1\" is not empty. Are sure to delete this group?").arg(ToQString(nodeClass->Name));
        if (Dialogs().Question(this, question) != TAnswer::Yes) return;
    }
    if (IsWithin(selectedNode_, node)) {
        selectedNode_ = nullptr;
        ReleaseShownModel();
        Label_ModelName->clear();
    }
    ++updatingTree_;
    delete node;
    nodeClass->Owner->RemoveAndFree(nodeClass);
    --updatingTree_;
    templatesModified_ = true;
    SelectNode(TreeView_UserTemplates->currentItem());
}

bool TMListForm::CanDropNode(QTreeWidgetItem* source, QTreeWidgetItem* target) const
{
    if (!source || !target || source == target) return false;
    if (source->treeWidget() != TreeView_UserTemplates || target->treeWidget() != TreeView_UserTemplates) return false;
    TRClass* sourceClass = TCatalogTree::ClassOf(source);
    TRClass* targetClass = TCatalogTree::ClassOf(target);
    if (!sourceClass || !targetClass || !IsGroupClass(sourceClass->Owner)) return false;
    TRClass* destination =
        IsCatalogGroup(*targetClass) && target->isExpanded() ? targetClass : targetClass->Owner;
    // A group never goes into itself or its own members.
    return IsGroupClass(destination) && !IsClassWithin(destination, sourceClass);
}

void TMListForm::DropNode(QTreeWidgetItem* source, QTreeWidgetItem* target)
{
    if (!CanDropNode(source, target)) return;
    TRClass* sourceClass = TCatalogTree::ClassOf(source);
    TRClass* targetClass = TCatalogTree::ClassOf(target);
    const bool intoGroup = IsCatalogGroup(*targetClass) && target->isExpanded();
    TRClass* destination = intoGroup ? targetClass : targetClass->Owner;
    TCatalogTree* tree = TreeView_UserTemplates;

    ++updatingTree_;
    const bool expanded = source->isExpanded();
    if (QTreeWidgetItem* parent = source->parent()) parent->takeChild(parent->indexOfChild(source));
    else tree->takeTopLevelItem(tree->indexOfTopLevelItem(source));
    std::unique_ptr<TRMember> moved = sourceClass->Owner->RemoveMember(sourceClass);
    if (intoGroup) {
        destination->InsertMember(FirstClassPosition(*destination), std::move(moved));
        target->insertChild(0, source);
    } else {
        destination->InsertMember(destination->IndexOfMember(targetClass), std::move(moved));
        if (QTreeWidgetItem* parent = target->parent()) parent->insertChild(parent->indexOfChild(target), source);
        else tree->insertTopLevelItem(tree->indexOfTopLevelItem(target), source);
    }
    source->setExpanded(expanded);
    --updatingTree_;
    templatesModified_ = true;
    tree->setCurrentItem(source);
    tree->scrollToItem(source);
}

void TMListForm::SelectNode(QTreeWidgetItem* node)
{
    if (node == selectedNode_) return;
    ReleaseShownModel();
    Label_ModelName->clear();
    selectedNode_ = node;
    TRClass* nodeClass = TCatalogTree::ClassOf(node);
    if (!nodeClass || IsCatalogGroup(*nodeClass)) return;
    const std::string file = CatalogFile(*nodeClass);
    if (file.empty()) return;
    {
        TWaitCursor wait;
        shownModel_ = LoadModelFromArchives(game_, file);
    }
    if (!shownModel_) {
        SetImage(node, kImageFailed);
        Label_ModelName->setText(QStringLiteral("(not loaded) ") + ToQString(file));
        return;
    }
    SetImage(node, kImageLoaded);
    Label_ModelName->setText(ToQString(shownModel_->FileName));
    shownModel_->ViewFraming(sphereCentre_, sphereRadius_);
    TCamera& camera = Camera();
    camera.SetPosition({sphereCentre_.x, sphereCentre_.y + 1, sphereCentre_.z - 5});
    // Framed as Look Close has it now, so that a new model does not jump
    // back to the far picture while the box stays checked.
    camera.FitSphere(sphereCentre_, FitAngle(), sphereRadius_);
    DXDraw->Frame().Model = shownModel_.get();
}

void TMListForm::Tick()
{
    if (busy_) return;
    busy_ = true;
    TCamera& camera = Camera();
    const float fov = camera.FieldOfView();
    if (CheckBox_LookClose->isChecked()) {
        if (FitAngle() < 2 * fov) {
            ++lookCloseSteps_;
            camera.FitSphere(sphereCentre_, FitAngle(), sphereRadius_);
        }
    } else if (lookCloseSteps_ > 0) {
        --lookCloseSteps_;
        camera.FitSphere(sphereCentre_, FitAngle(), sphereRadius_);
    }
    TPreviewFrame& frame = DXDraw->Frame();
    frame.World = TMatrix4::Identity();
    if (CheckBox_Rotate->isChecked()) {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        const float angle = float(double(std::chrono::duration_cast<std::chrono::milliseconds>(since).count() %
                                         (1000LL * 3600 * 24 * 7)) / 1000.0);
        frame.World = TMatrix4::Translation({-sphereCentre_.x, -sphereCentre_.y, -sphereCentre_.z}) * RotationAboutY(angle) *
                      TMatrix4::Translation(sphereCentre_);
    }
    frame.Model = shownModel_.get();
    frame.LODIndex = 0;
    frame.Light = CheckBox_Light->isChecked();
    frame.CullMode = CheckBox_CullNone->isChecked() ? 1 : 3;
    DXDraw->update();
    const std::string error = DXDraw->TakeError();
    if (!error.empty()) ShowFrameError(error);
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
    busy_ = false;
}

void TMListForm::ShowFrameError(const std::string& text)
{
    QString shown = ToQString("Error detected:\r" + text + "\rDo you want to close preview mode window?");
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (Dialogs().Question(this, shown) == TAnswer::Yes) closeRequested_ = true;
}

void TMListForm::OnDblClick_TreeView(QTreeWidgetItem* node)
{
    if (!choosing_ || !node || node->childCount() > 0) return;
    TRClass* nodeClass = TCatalogTree::ClassOf(node);
    if (!nodeClass || IsCatalogGroup(*nodeClass)) return;
    SelectNode(node);
    accept();
}

std::optional<std::string> TMListForm::Choose()
{
    if (isVisible()) hide();
    choosing_ = true;
    const int result = exec();
    choosing_ = false;
    if (result == QDialog::Accepted && shownModel_) return shownModel_->FileName;
    return std::nullopt;
}

bool TMListForm::AskSaveTemplates(bool closing)
{
    if (!templatesModified_) return true;
    const TAnswer answer = Dialogs().Question(this, QString::fromLatin1(kModifiedQuestion));
    if (answer == TAnswer::Cancel) return false;
    if (answer == TAnswer::Yes) return SaveTemplatesAs() || !closing;
    return true;
}

bool TMListForm::QueryClose()
{
    EndEditing(false);
    return AskSaveTemplates(true);
}

void TMListForm::EndEditing(bool cancel)
{
    for (TCatalogTree* tree : {TreeView_MapIcons, TreeView_UserTemplates}) tree->EndEdit(cancel);
}

void TMListForm::reject()
{
    // Closing while a caption is edited ends the edit instead.
    for (TCatalogTree* tree : {TreeView_MapIcons, TreeView_UserTemplates})
        if (tree->IsEditing()) {
            tree->EndEdit(choosing_);
            return;
        }
    QDialog::reject();
}

void TMListForm::closeEvent(QCloseEvent* event)
{
    for (TCatalogTree* tree : {TreeView_MapIcons, TreeView_UserTemplates})
        if (tree->IsEditing()) {
            tree->EndEdit(false);
            event->ignore();
            return;
        }
    timer_.stop();
    QDialog::closeEvent(event);
}

void TMListForm::FirstShown()
{
    if (!templatesLoaded_) RefreshTemplates();
    if (!mapIconsBuilt_ && game_.PbList.Count() > 0) RefreshMapIcons();
}

void TMListForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    timer_.start();
    if (!templatesLoaded_ || !mapIconsBuilt_) QTimer::singleShot(0, this, &TMListForm::FirstShown);
}

void TMListForm::hideEvent(QHideEvent* event)
{
    timer_.stop();
    DXDraw->ClearInput();
    QDialog::hideEvent(event);
}

void TMListForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            if (isVisible()) timer_.start();
        } else {
            Camera().ClearMotion();
            timer_.stop();
        }
    }
    QDialog::changeEvent(event);
}

}  // namespace mc
