#include "Main_F.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "AOptions_F.h"
#include "About_F.h"
#include "Archive/MakeAddOn.h"
#include "Archive/NativePath.h"
#include "Archive/PbList.h"
#include "Config/GameData.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/ModFolder.h"
#include "Core/SafeSave.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "MainGridModels.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ObjExport.h"
#include "ModelSaving.h"
#include "ProjectInfo.h"
#include "QtText.h"
#include "Texture/JpegDecoder.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"
#include "gamefolder/GameFolder.h"

namespace mc {

namespace {

QTableView* MakeGrid(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->verticalHeader()->hide();
    // Uniform rows: the view never measures the cells of a large LOD.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

QWidget* GridPage(QTableView* grid, const char* name)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid);
    return page;
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

std::string GameDataPath(const std::string& gamePath, const std::string& tail)
{
    return NativePath(gamePath + GetModFolder() + tail);
}

// The largest updates page shown.
constexpr qint64 kMaxUpdatesPageBytes = 2 * 1024 * 1024;

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(PathFromUtf8(path), ec);
}

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

// The folder itself or one below it, the case aside: "C:\OFP2" is not inside
// "C:\OFP".
bool IsInsideFolder(const QString& path, const QString& folder)
{
    if (!path.startsWith(folder, Qt::CaseInsensitive)) return false;
    return path.size() == folder.size() || folder.isEmpty() || IsSeparator(folder.back()) ||
           IsSeparator(path[folder.size()]);
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    MainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    resize(760, 640);
    TextureCache.SetSorted(true);
    TextureCache.SetDuplicates(TDuplicates::Error);

    CreateControls();
    CreateMenus();

    // Status panel and start-up log.
    TGuiServices& services = GuiServices();
    services.SetStatusPanel(StatusBar_Main_Panel0, StatusBar_Main_Panel1);
    services.SetLogLines(Memo_StartupLog);
    services.SetMessageParent(this);

    GamePath = GetGameFolder();
    if (!GamePath.empty())
        AddLog(Format("Flashpoint detected at \"%s\"", GamePath.c_str()));
    else
        AddLog("Flashpoint not detected.");

    ShowPage(-1);
    ClearModel();
    RebuildTree();
    FillGeneralGrid();
}

TMainForm::~TMainForm()
{
    ClearModel();
    TGuiServices& services = GuiServices();
    services.ClearStatusPanel();
    if (services.LogLines() == Memo_StartupLog) services.SetLogLines(nullptr);
    services.SetMessageParent(nullptr);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    Splitter_Main = new QSplitter(Qt::Vertical, central);
    Splitter_Main->setObjectName(QStringLiteral("Splitter_Main"));
    layout->addWidget(Splitter_Main);

    TreeView_Main = new QTreeWidget(Splitter_Main);
    TreeView_Main->setObjectName(QStringLiteral("TreeView_Main"));
    TreeView_Main->setHeaderHidden(true);
    TreeView_Main->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    TreeView_Main->installEventFilter(this);
    connect(TreeView_Main, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ClickNode(item); });
    connect(TreeView_Main, &QTreeWidget::itemChanged, this, &TMainForm::OnTreeItemChanged);

    PageControl_Main = new QTabWidget(Splitter_Main);
    PageControl_Main->setObjectName(QStringLiteral("PageControl_Main"));

    vertices_ = new TVerticesGridModel(this);
    polygons_ = new TPolygonsGridModel(this);
    textures_ = new TTexturesGridModel(this);
    properties_ = new TPropertiesGridModel(this);
    general_ = new TGeneralGridModel(this);

    PaintBox_LODResolution = new QWidget;
    PaintBox_LODResolution->setObjectName(QStringLiteral("PaintBox_LODResolution"));
    TabSheet_LODResolution = new QWidget;
    TabSheet_LODResolution->setObjectName(QStringLiteral("TabSheet_LODResolution"));
    (new QVBoxLayout(TabSheet_LODResolution))->addWidget(PaintBox_LODResolution);

    StringGrid_Vertices = MakeGrid("StringGrid_Vertices", vertices_, nullptr);
    StringGrid_Polygons = MakeGrid("StringGrid_Polygons", polygons_, nullptr);
    StringGrid_Textures = MakeGrid("StringGrid_Textures", textures_, nullptr);
    StringGrid_Properties = MakeGrid("StringGrid_Properties", properties_, nullptr);
    StringGrid_General = MakeGrid("StringGrid_General", general_, nullptr);
    StringGrid_Vertices->setColumnWidth(0, 30);
    StringGrid_Polygons->setColumnWidth(0, 30);
    StringGrid_Polygons->setColumnWidth(5, 80);
    StringGrid_Polygons->horizontalHeader()->setStretchLastSection(true);
    for (int c = 1; c <= 4; ++c) StringGrid_Polygons->setColumnWidth(c, 48);
    StringGrid_Textures->setColumnWidth(0, 30);
    StringGrid_Textures->setColumnWidth(1, 260);
    StringGrid_Properties->setColumnWidth(0, 30);
    StringGrid_Properties->setColumnWidth(1, 150);
    StringGrid_Properties->horizontalHeader()->setStretchLastSection(true);
    // Widths of the window description, widened where the font needs it.
    const QFontMetrics metrics = StringGrid_General->fontMetrics();
    StringGrid_General->setColumnWidth(0, std::max(150, metrics.horizontalAdvance(QStringLiteral("View - Commander - Geometry")) + 12));
    StringGrid_General->setColumnWidth(1, std::max(50, metrics.horizontalAdvance(QStringLiteral("color")) + 12));
    StringGrid_General->setColumnWidth(2, std::max(150, metrics.horizontalAdvance(QStringLiteral("ARGB(255, 255, 255, 255)")) + 12));
    StringGrid_General->horizontalHeader()->setStretchLastSection(true);

    TabSheet_Vertices = GridPage(StringGrid_Vertices, "TabSheet_Vertices");
    TabSheet_Polygons = GridPage(StringGrid_Polygons, "TabSheet_Polygons");
    TabSheet_Textures = GridPage(StringGrid_Textures, "TabSheet_Textures");
    TabSheet_Properties = CreatePropertiesPage();
    TabSheet_General = CreateGeneralPage();

    TabSheet_Browser = new QWidget;
    TabSheet_Browser->setObjectName(QStringLiteral("TabSheet_Browser"));
    WebBrowser1 = new QTextBrowser(TabSheet_Browser);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);
    auto* browserLayout = new QVBoxLayout(TabSheet_Browser);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    browserLayout->addWidget(WebBrowser1);

    PageControl_Main->addTab(TabSheet_LODResolution, QStringLiteral("LOD Resolution"));
    PageControl_Main->addTab(TabSheet_Vertices, QStringLiteral("Vertices"));
    PageControl_Main->addTab(TabSheet_Polygons, QStringLiteral("Polygons"));
    PageControl_Main->addTab(TabSheet_Textures, QStringLiteral("Textures"));
    PageControl_Main->addTab(TabSheet_Properties, QStringLiteral("Named Properties"));
    PageControl_Main->addTab(TabSheet_General, QStringLiteral("General"));
    PageControl_Main->addTab(TabSheet_Browser, QStringLiteral("Updates"));

    Splitter_Main->setStretchFactor(0, 2);
    Splitter_Main->setStretchFactor(1, 3);
    Splitter_Main->setSizes({260, 390});

    Memo_StartupLog = new QPlainTextEdit(central);
    Memo_StartupLog->setObjectName(QStringLiteral("Memo_StartupLog"));
    Memo_StartupLog->setReadOnly(true);
    Memo_StartupLog->hide();

    setCentralWidget(central);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar_Main"));
    StatusBar_Main_Panel0 = new QLabel(bar);
    StatusBar_Main_Panel0->setObjectName(QStringLiteral("StatusBar_Main_Panel0"));
    StatusBar_Main_Panel0->setFixedWidth(330);
    StatusBar_Main_Panel1 = new QLabel(bar);
    StatusBar_Main_Panel1->setObjectName(QStringLiteral("StatusBar_Main_Panel1"));
    StatusBar_Main_Panel1->setFixedWidth(50);
    bar->addWidget(StatusBar_Main_Panel0);
    bar->addWidget(StatusBar_Main_Panel1);

    connect(StringGrid_Polygons->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnPolygonRowChanged(current.row()); });
    connect(StringGrid_Polygons, &QTableView::clicked, this,
            [this](const QModelIndex& index) { OnPolygonRowChanged(index.row()); });
    connect(StringGrid_Textures->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnTextureRowChanged(current.row()); });
    connect(StringGrid_Properties->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { SelectPropertyRow(current.row()); });
    connect(StringGrid_Properties, &QTableView::clicked, this,
            [this](const QModelIndex& index) { SelectPropertyRow(index.row()); });
    connect(StringGrid_General->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) SelectGeneralRow(current.row() + 1);
            });
    connect(StringGrid_General, &QTableView::clicked, this,
            [this](const QModelIndex& index) { SelectGeneralRow(index.row() + 1); });
}

void TMainForm::CreateMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuItem_File"));
    QMenu* open = file->addMenu(QStringLiteral("&Open from"));
    open->setObjectName(QStringLiteral("MenuItem_File_Open"));
    MenuItem_File_Open_FromFile = MakeAction(open, "MenuItem_File_Open_FromFile", QStringLiteral("File..."),
                                             QKeySequence(Qt::CTRL | Qt::Key_F));
    MenuItem_File_Open_FromPb =
        MakeAction(open, "MenuItem_File_Open_FromPb", QStringLiteral("Pb..."), QKeySequence(Qt::CTRL | Qt::Key_B));
    MenuItem_File_Open_FromCatalog = MakeAction(open, "MenuItem_File_Open_FromCatalog", QStringLiteral("Catalog..."),
                                                QKeySequence(Qt::CTRL | Qt::Key_G));
    MenuItem_File_Save = MakeAction(file, "MenuItem_File_Save", QStringLiteral("&Save"));
    MenuItem_File_SaveAs = MakeAction(file, "MenuItem_File_SaveAs", QStringLiteral("Save &As..."),
                                      QKeySequence(Qt::CTRL | Qt::Key_S));
    MenuItem_File_Close = MakeAction(file, "MenuItem_File_Close", QStringLiteral("&Close"));
    file->addSeparator();
    MenuItem_File_Import = MakeAction(file, "MenuItem_File_Import", QStringLiteral("Import..."));
    MenuItem_File_Export =
        MakeAction(file, "MenuItem_File_Export", QStringLiteral("Export..."), QKeySequence(Qt::CTRL | Qt::Key_E));
    file->addSeparator();
    MenuItem_File_MakeAddOn = MakeAction(file, "MenuItem_File_MakeAddOn", QStringLiteral("&Make AddOn"),
                                         QKeySequence(Qt::CTRL | Qt::Key_M));
    file->addSeparator();
    MenuItem_File_Exit =
        MakeAction(file, "MenuItem_File_Exit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MenuItem_Edit"));

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MenuItem_View"));
    MenuItem_View_Animation =
        MakeAction(view, "MenuItem_View_Animation", QStringLiteral("&Animation"), QKeySequence(Qt::Key_F4));
    MenuItem_View_Texture =
        MakeAction(view, "MenuItem_View_Texture", QStringLiteral("&Texture"), QKeySequence(Qt::Key_F5));
    MenuItem_View_Model = MakeAction(view, "MenuItem_View_Model", QStringLiteral("&Model"), QKeySequence(Qt::Key_F6));
    MenuItem_View_Preview =
        MakeAction(view, "MenuItem_View_Preview", QStringLiteral("&Preview"), QKeySequence(Qt::Key_F9));
    MenuItem_View_PbManager = MakeAction(view, "MenuItem_View_PbManager", QStringLiteral("P&b Manager"),
                                         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
    MenuItem_View_Catalog = MakeAction(view, "MenuItem_View_Catalog", QStringLiteral("Model &Catalog"),
                                       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G));
    MenuItem_View_Log = MakeAction(view, "MenuItem_View_Log", QStringLiteral("&Log"));
    view->addSeparator();
    MenuItem_View_AddOnOptions = MakeAction(view, "MenuItem_View_AddOnOptions", QStringLiteral("Add&On Options..."),
                                            QKeySequence(Qt::CTRL | Qt::Key_A));

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("MenuItem_Options"));
    QMenu* converter = options->addMenu(QStringLiteral("&Converter"));
    converter->setObjectName(QStringLiteral("MenuItem_Options_Converter"));
    MenuItem_Options_Converter_SaveGroupedVertices = MakeAction(
        converter, "MenuItem_Options_Converter_SaveGroupedVertices", QStringLiteral("Save Grouped Vertices"));
    MenuItem_Options_Converter_SaveSharpEdges = MakeAction(
        converter, "MenuItem_Options_Converter_SaveSharpEdges", QStringLiteral("Save #SharpEdges# (MLOD only)"));
    MenuItem_Options_Converter_SaveAnimation =
        MakeAction(converter, "MenuItem_Options_Converter_SaveAnimation", QStringLiteral("Save Animation"));
    MenuItem_Options_Converter_CorrectShining = MakeAction(
        converter, "MenuItem_Options_Converter_CorrectShining", QStringLiteral("Correct Shining Flag (MLOD only)"));
    MenuItem_Options_Converter_CorrectShadow = MakeAction(
        converter, "MenuItem_Options_Converter_CorrectShadow", QStringLiteral("Correct Shadow Flag (MLOD only)"));
    for (QAction* a : {MenuItem_Options_Converter_SaveGroupedVertices, MenuItem_Options_Converter_SaveSharpEdges,
                       MenuItem_Options_Converter_SaveAnimation, MenuItem_Options_Converter_CorrectShining,
                       MenuItem_Options_Converter_CorrectShadow}) {
        a->setCheckable(true);
        a->setChecked(a != MenuItem_Options_Converter_SaveAnimation);
    }

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("MenuItem_Tools"));
    MenuItem_Tools_CheckMass = MakeAction(tools, "MenuItem_Tools_CheckMass", QStringLiteral("Check Mass"));
    MenuItem_Tools_CheckNormals = MakeAction(tools, "MenuItem_Tools_CheckNormals", QStringLiteral("Check Normals"));
    MenuItem_Tools_CheckUV = MakeAction(tools, "MenuItem_Tools_CheckUV", QStringLiteral("Check UV"));
    for (QAction* a : {MenuItem_Tools_CheckMass, MenuItem_Tools_CheckNormals, MenuItem_Tools_CheckUV})
        a->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuItem_Help"));
    MenuItem_Help_About =
        MakeAction(help, "MenuItem_Help_About", QStringLiteral("&About..."), QKeySequence(Qt::Key_F1));
    MenuItem_Help_CheckUpdates =
        MakeAction(help, "MenuItem_Help_CheckUpdates", QStringLiteral("Check &Updates from Web"));

    // Windows that are not part of this program yet keep their entries off.
    for (QAction* a : {MenuItem_File_Open_FromPb, MenuItem_File_Open_FromCatalog, MenuItem_File_Save,
                       MenuItem_File_Import, MenuItem_File_Export, MenuItem_View_Animation, MenuItem_View_Texture,
                       MenuItem_View_Model, MenuItem_View_Preview, MenuItem_View_PbManager, MenuItem_View_Catalog})
        a->setEnabled(false);
    MenuItem_File_MakeAddOn->setEnabled(false);

    connect(MenuItem_File_Open_FromFile, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_Open_FromFile);
    connect(MenuItem_File_SaveAs, &QAction::triggered, this, &TMainForm::SaveModelAs);
    connect(MenuItem_File_Close, &QAction::triggered, this, &TMainForm::CloseModel);
    connect(MenuItem_File_Export, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_Export);
    connect(MenuItem_File_MakeAddOn, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_MakeAddOn);
    connect(MenuItem_File_Exit, &QAction::triggered, this, &QWidget::close);
    connect(MenuItem_View_Log, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_View_Log);
    connect(MenuItem_View_AddOnOptions, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_View_AddOnOptions);
    connect(MenuItem_Help_About, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_Help_About);
    connect(MenuItem_Help_CheckUpdates, &QAction::triggered, this, &TMainForm::CheckUpdates);
}

TLOD* TMainForm::CurrentLOD() const { return Model ? Model->LOD(CurrentLODIndex) : nullptr; }

void TMainForm::SetModelMenusEnabled(bool enabled)
{
    MenuItem_File_SaveAs->setEnabled(enabled);
    MenuItem_File_Close->setEnabled(enabled);
    MenuItem_File_Export->setEnabled(enabled);
}

bool TMainForm::OpenModel(const std::string& name, TModelSource source)
{
    std::unique_ptr<TModel> loaded;
    {
        TWaitCursor wait;
        loaded = source == TModelSource::File ? LoadModelFromFile(name) : LoadModelFromArchives(name);
    }
    if (!loaded) {
        ShowMessage(TMessageKind::Error, Format("Model \"%s\" not loaded", name.c_str()));
        return false;
    }
    // The grids and the tree point into the model being replaced.
    vertices_->SetLOD(nullptr);
    polygons_->SetLOD(nullptr);
    textures_->SetLOD(nullptr);
    properties_->SetLOD(nullptr);
    general_->SetModel(nullptr);
    TreeView_Main->clear();
    // The general grid loses its row with the old model.
    GeneralRow = -1;
    ShowGeneralPage(-1);

    Model = std::move(loaded);
    FileName = name;
    UpdateCaption();
    ShowStatus("Model loaded");
    SetModelMenusEnabled(true);
    RebuildTree();
    FillGeneralGrid();
    CurrentLODIndex = -2;
    SelectLOD(0);
    return true;
}

uint32_t TMainForm::ConverterFlags() const
{
    uint32_t flags = 0;
    if (MenuItem_Options_Converter_SaveAnimation->isChecked()) flags |= SaveFlags::Animation;
    if (MenuItem_Options_Converter_SaveGroupedVertices->isChecked()) flags |= SaveFlags::GroupedVertices;
    if (MenuItem_Options_Converter_SaveSharpEdges->isChecked()) flags |= SaveFlags::SharpEdges;
    if (MenuItem_Options_Converter_CorrectShining->isChecked()) flags |= SaveFlags::CorrectShining;
    if (MenuItem_Options_Converter_CorrectShadow->isChecked()) flags |= SaveFlags::CorrectShadow;
    return flags;
}

void TMainForm::SaveModelAs()
{
    if (!Model) return;
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Save As"), QString::fromLatin1(kSaveModelFilter),
                                           QStringLiteral("p3d"));
    if (!choice) return;
    SaveModelTo(FromQString(WithDefaultExt(choice->FileName, QStringLiteral("p3d"))), choice->FilterIndex);
}

bool TMainForm::SaveModelTo(const std::string& fileName, int filterIndex)
{
    if (!Model) return false;
    bool created = false, saved = false;
    {
        TWaitCursor wait;
        Model->SaveFlags = ConverterFlags();
        const bool odol = filterIndex == 0;
        std::string error;
        try {
            // The user's file is replaced only by a complete new one.
            saved = SaveFileSafely(
                fileName,
                [&](TStream& stream) {
                    created = true;
                    return WriteModel(*Model, stream, odol ? TModelForm::Odol : TModelForm::Mlod);
                },
                &error);
        } catch (const std::exception& e) {
            saved = false;
            error = e.what();
        }
        if (!created) {
            // Nothing was written: the temporary file could not be made.
        } else if (!saved && !error.empty()) {
            AddLog(Format("Cannot save \"%s\": %s", fileName.c_str(), error.c_str()));
        }
    }
    if (!created) {
        ShowMessage(TMessageKind::Error, Format("Cannot create file \"%s\"", fileName.c_str()));
        return false;
    }
    UpdateCaption();
    if (saved)
        ShowMessage(TMessageKind::Information, "Ok Saved");
    else
        ShowMessage(TMessageKind::Error, "Error!");
    return saved;
}

void TMainForm::CloseModel()
{
    ClearModel();
    HideStatus();
    RebuildTree();
    FillGeneralGrid();
    SetModelMenusEnabled(false);
    ShowPage(-1);
}

void TMainForm::ClearModel()
{
    TextureCache.Clear();
    CurrentLODIndex = -1;
    CurrentFaceIndex = -1;
    CurrentProxyIndex = -1;
    GeneralRow = -1;
    ShowGeneralPage(-1);
    MenuItem_File_SaveAs->setEnabled(false);
    MenuItem_File_Close->setEnabled(false);
    vertices_->SetLOD(nullptr);
    polygons_->SetLOD(nullptr);
    textures_->SetLOD(nullptr);
    properties_->SetLOD(nullptr);
    general_->SetModel(nullptr);
    TreeView_Main->clear();
    Model.reset();
    UpdateCaption();
}

void TMainForm::UpdateCaption()
{
    if (!Model) {
        setWindowTitle(QString::fromLatin1(kProgramName));
        return;
    }
    const std::string name = PathToUtf8(PathFromUtf8(NativePath(FileName)).filename());
    QString caption = QStringLiteral("%1 - %2").arg(QString::fromLatin1(kProgramName), ToQString(name));
    if (Model->Signature == kSignatureMLOD)
        caption += QStringLiteral(" [MLOD]");
    else if (Model->Signature == kSignatureODOL)
        caption += QStringLiteral(" [ODOL]");
    setWindowTitle(caption);
}

void TMainForm::FillLODGrids()
{
    const TLOD* lod = CurrentLOD();
    vertices_->SetLOD(lod);
    polygons_->SetLOD(lod);
    textures_->SetLOD(lod);
    properties_->SetLOD(lod);
}

void TMainForm::SelectLOD(int index)
{
    CurrentFaceIndex = -1;
    CurrentProxyIndex = -1;
    if (index != CurrentLODIndex) {
        CurrentLODIndex = index;
        FillLODGrids();
        PaintBox_LODResolution->update();
    }
}

void TMainForm::ShowPage(int index)
{
    if (index < 0 || index >= MainPageCount) {
        for (int i = 0; i < MainPageCount; ++i) {
            PageControl_Main->setTabVisible(i, false);
            PageControl_Main->widget(i)->hide();
        }
        activePage_ = -1;
        return;
    }
    if (index == activePage_) return;
    PageControl_Main->setTabVisible(index, true);
    PageControl_Main->widget(index)->show();
    PageControl_Main->setCurrentIndex(index);
    for (int i = 0; i < MainPageCount; ++i)
        if (i != index) PageControl_Main->setTabVisible(i, false);
    activePage_ = index;
}

void TMainForm::OnPolygonRowChanged(int row)
{
    const TLOD* lod = CurrentLOD();
    if (!lod || row < 0 || row >= lod->FaceCount()) return;
    SelectPolygon(row);
}

void TMainForm::SelectPolygon(int index)
{
    const TLOD* lod = CurrentLOD();
    if (index != CurrentFaceIndex) CurrentFaceIndex = index;
    if (lod && index >= 0 && index < lod->FaceCount()) ShowFaceTexture(lod->Faces[static_cast<size_t>(index)].Texture);
}

void TMainForm::OnTextureRowChanged(int row)
{
    const TLOD* lod = CurrentLOD();
    if (!lod || row < 0 || row >= lod->TextureCount()) return;
    CurrentFaceIndex = -1;
    ShowFaceTexture(row);
}

void TMainForm::ShowFaceTexture(int textureIndex)
{
    const TLOD* lod = CurrentLOD();
    if (!lod || textureIndex < 0 || textureIndex >= lod->TextureCount()) return;
    const std::string name = LowerCase(lod->Textures[static_cast<size_t>(textureIndex)].Name);
    if (name.empty()) return;
    int index;
    if (!TextureCache.Find(name, index)) {
        std::unique_ptr<TTexture> texture;
        try {
            texture = LoadTexture(name, TextureLoad::Display);
        } catch (const std::exception& e) {
            AddLog(Format("Cannot load texture \"%s\": %s", name.c_str(), e.what()));
        }
        // Kept even when it did not load, so that it is not read again.
        TextureCache.Add(name, std::move(texture));
    }
}

int TMainForm::TextureIndexOf(const TTexture* texture) const
{
    const TLOD* lod = CurrentLOD();
    if (!lod || !texture) return -1;
    for (int i = 0; i < TextureCache.Count(); ++i) {
        if (TextureCache.Object(i).get() != texture) continue;
        const std::string& key = TextureCache.Key(i);
        for (int t = 0; t < lod->TextureCount(); ++t)
            if (SameText(lod->Textures[static_cast<size_t>(t)].Name, key)) return t;
        return -1;
    }
    return -1;
}

void TMainForm::SelectProxy(const TProxy* proxy)
{
    const TLOD* lod = CurrentLOD();
    if (!lod) return;
    int index = -1;
    for (int i = 0; i < lod->ProxyCount(); ++i)
        if (lod->Proxies[static_cast<size_t>(i)].get() == proxy) index = i;
    CurrentProxyIndex = index;
}

void TMainForm::SelectComponent(TModelComponent* component)
{
    TLOD* lod = CurrentLOD();
    if (!lod || !component) return;
    lod->ClearSelection();
    for (int s = 0; s < lod->SelectionCount(); ++s)
        if (lod->Selections[static_cast<size_t>(s)].get() == component) lod->SelectComponent(s);
}

// Start-up ---------------------------------------------------------------

bool TMainForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && !Started && !starting_)
        QTimer::singleShot(0, this, &TMainForm::FirstActivation);
    return QMainWindow::event(e);
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Without a window manager no activation may come: start all the same.
    if (!Started && !starting_) QTimer::singleShot(0, this, &TMainForm::FirstActivation);
}

void TMainForm::FirstActivation()
{
    if (Started || starting_) return;
    starting_ = true;
    ShowMessage(TMessageKind::Warning,
                Format("This is the confidential alpha-version (v%d.%d)! Please, replace it by beta-version.\rVisit %s "
                       "for more info.",
                       kVersionMajor, kVersionMinor, FromQString(ProjectSiteUrl()).c_str()));
    Started = true;
    repaint();

    if (LogForm) LogForm->TakeOverLog(Memo_StartupLog);

    std::string mod = FromQString(ChooseModFolder());
    for (char& c : mod)
        if (c == '/') c = '\\';
    SetModFolder(mod);
    LoadStartupData();
    ShowStatus("Ready");
    starting_ = false;
}

QString TMainForm::ChooseModFolder()
{
    const QString game = ToQString(GamePath);
    for (;;) {
        const auto chosen =
            Dialogs().PickFolder(this, QStringLiteral("Select MOD folder or cancel for default folder:"), game);
        if (!chosen) return {};
        if (IsInsideFolder(*chosen, game)) return chosen->mid(game.size());
        ShowMessage(TMessageKind::Warning, Format("MOD folder must be inside main \"%s\" folder", GamePath.c_str()));
    }
}

void TMainForm::LoadStartupData()
{
    const std::string bin = "\\Bin\\";

    const std::string tablePath = GameDataPath(GamePath, bin + "stringtable.csv");
    std::unique_ptr<TStringTable> table;
    try {
        table = LoadStringTableFromFile(tablePath);
    } catch (const std::exception& e) {
        AddLog(Format("Cannot load \"%s\": %s", tablePath.c_str(), e.what()));
    }
    if (!table) ShowMessage(TMessageKind::Warning, Format("File \"%s\" not loaded!", tablePath.c_str()));
    SetGameStringTable(std::move(table));

    {
        TWaitCursor wait;
        const std::string binPath = GameDataPath(GamePath, bin + "config.bin");
        const std::string cppPath = GameDataPath(GamePath, bin + "config.cpp");
        std::string path;
        if (FileExists(binPath))
            path = binPath;
        else if (FileExists(cppPath))
            path = cppPath;
        if (path.empty()) {
            ShowMessage(TMessageKind::Warning,
                        Format("Neither \"%s\" nor \"%s\" were found.", binPath.c_str(), cppPath.c_str()));
        } else {
            ShowStatus(Format("Loading \"%s\"...", path.c_str()));
            auto config = std::make_unique<TResources>();
            bool loaded = false;
            try {
                loaded = config->LoadFromFile(path);
            } catch (const std::exception& e) {
                if (config->ErrorMessage.empty()) config->SetError(e.what());
            }
            HideStatus();
            if (loaded) {
                SetGameConfig(std::move(config));
            } else {
                ShowMessage(TMessageKind::Error,
                            Format("File \"%s\" not loaded:\r%s", path.c_str(), config->ErrorMessage.c_str()));
                SetGameConfig(nullptr);
            }
        }
    }

    {
        TWaitCursor wait;
        try {
            PbList()->OpenGameArchives(GamePath);
        } catch (const std::exception& e) {
            ShowMessage(TMessageKind::Error, e.what());
        }
    }

    const std::string jpegFolder = GameDataPath(GamePath, bin);
    if (!LoadJpegLibrary(jpegFolder))
        ShowMessage(TMessageKind::Warning,
                    Format("Intel Jpeg Library \"%s\" not found. Jpeg images will not be displayed!",
                           (jpegFolder + "ijl15.dll").c_str()));
}

// Menu commands ------------------------------------------------------------

void TMainForm::OnClick_MenuItem_File_Open_FromFile()
{
    const auto name = Dialogs().OpenFile(this, QStringLiteral("Open"), QString::fromLatin1(kOpenModelFilter),
                                         QStringLiteral("p3d"));
    if (name) OpenModel(FromQString(*name), TModelSource::File);
}

void TMainForm::OnClick_MenuItem_File_Export()
{
    if (!Model) return;
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Export"), QString::fromLatin1(kExportFilter),
                                           QStringLiteral("obj"));
    if (!choice) return;
    if (MenuItem_Options_Converter_SaveGroupedVertices->isChecked()) Model->SaveFlags |= SaveFlags::GroupedVertices;
    RunObjExport(*Model, FromQString(WithDefaultExt(choice->FileName, QStringLiteral("obj"))));
}

void TMainForm::OnClick_MenuItem_File_MakeAddOn()
{
    if (!AOptionsForm) return;
    MakeAddOn(AOptionsForm->Options(), PbList());
}

void TMainForm::OnClick_MenuItem_View_AddOnOptions()
{
    if (!AOptionsForm) return;
    MenuItem_File_MakeAddOn->setEnabled(AOptionsForm->exec() == QDialog::Accepted);
}

void TMainForm::OnClick_MenuItem_View_Log()
{
    if (!LogForm) return;
    LogForm->show();
    LogForm->raise();
    LogForm->activateWindow();
}

void TMainForm::OnClick_MenuItem_Help_About()
{
    if (AboutForm) AboutForm->exec();
}

void TMainForm::CheckUpdates()
{
    ShowPage(PageBrowser);
    PageControl_Main->setTabText(PageBrowser, QStringLiteral("Updates"));
    if (!network_) network_ = new QNetworkAccessManager(this);
    const QUrl url(UpdatesPageUrl());
    WebBrowser1->setHtml(QStringLiteral("<p>Loading %1 ...</p>").arg(url.toString().toHtmlEscaped()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QNetworkRequest request(url);
    request.setTransferTimeout(15000);
    QNetworkReply* reply = network_->get(request);
    // A web page, not a download: the reply is read in small pieces and cut
    // off when it grows past the limit, so it never fills the memory.
    reply->setReadBufferSize(64 * 1024);
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::readyRead, this, [reply, body, tooLarge] {
        if (*tooLarge) return;
        *body += reply->read(kMaxUpdatesPageBytes + 1 - body->size());
        if (body->size() > kMaxUpdatesPageBytes) {
            *tooLarge = true;
            body->clear();
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, body, tooLarge] {
        if (!*tooLarge && reply->error() == QNetworkReply::NoError) {
            *body += reply->read(kMaxUpdatesPageBytes + 1 - body->size());
            if (body->size() > kMaxUpdatesPageBytes) *tooLarge = true;
        }
        OnUpdatesFinished(reply, *tooLarge ? QByteArray() : *body, *tooLarge);
    });
}

void TMainForm::OnUpdatesFinished(QNetworkReply* reply, const QByteArray& body, bool tooLarge)
{
    QApplication::restoreOverrideCursor();
    reply->deleteLater();
    const QUrl url = reply->url();
    if (tooLarge || reply->error() != QNetworkReply::NoError) {
        const QString reason =
            tooLarge ? QStringLiteral("The page is larger than %1 bytes.").arg(kMaxUpdatesPageBytes) : reply->errorString();
        WebBrowser1->setHtml(QStringLiteral("<h3>The page cannot be shown</h3><p>%1</p><p>%2</p>")
                                 .arg(url.toString().toHtmlEscaped(), reason.toHtmlEscaped()));
        return;
    }
    WebBrowser1->document()->setBaseUrl(url);
    WebBrowser1->setHtml(QString::fromUtf8(body));
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // The catalog and animation windows would be asked here about unsaved
    // work; neither is part of the program yet.
    e->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == TreeView_Main && e->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (!key->isAutoRepeat() && TreeView_Main->currentItem())
            ClickNode(TreeView_Main->currentItem());
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace mc
