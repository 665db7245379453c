#include "Main_F.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "AOptions_F.h"
#include "About_F.h"
#include "Archive/MakeAddOn.h"
#include "Archive/NativePath.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "Game/GameData.h"
#include "GeneralPage.h"
#include "GridWidgets.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "MainGridModels.h"
#include "MainTree.h"
#include "Model/Model.h"
#include "Model/ObjExport.h"
#include "NamedPropertiesPage.h"
#include "ProjectInfo.h"
#include "QtText.h"
#include "Texture/JpegDecoder.h"
#include "gamefolder/GameFolder.h"

namespace mc {

namespace {

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

// The largest updates page shown.
constexpr qint64 kMaxUpdatesPageBytes = 2 * 1024 * 1024;

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

TMainForm::TMainForm(TModelDocument& document, QWidget* parent) : QMainWindow(parent), document_(document)
{
    setObjectName(QStringLiteral("MainForm"));
    resize(760, 640);
    setAcceptDrops(true);

    CreateControls();
    CreateMenus();
    ConnectDocument();

    // Status panel and start-up log.
    TGuiServices& services = GuiServices();
    services.SetStatusPanel(StatusBar_Main_Panel0, StatusBar_Main_Panel1);
    services.SetLogLines(Memo_StartupLog);
    services.SetMessageParent(this);

    Game().GameFolder = GetGameFolder();
    if (!GamePath().empty())
        AddLog(Format("Flashpoint detected at \"%s\"", GamePath().c_str()));
    else
        AddLog("Flashpoint not detected.");

    ShowPage(-1);
    OnModelCleared();
}

TMainForm::~TMainForm()
{
    TGuiServices& services = GuiServices();
    services.ClearStatusPanel();
    if (services.LogLines() == Memo_StartupLog) services.SetLogLines(nullptr);
    services.SetMessageParent(nullptr);
}

const std::string& TMainForm::GamePath() const { return Game().GameFolder; }

QAction* TMainForm::Action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

void TMainForm::CreateControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    Splitter_Main = new QSplitter(Qt::Vertical, central);
    Splitter_Main->setObjectName(QStringLiteral("Splitter_Main"));
    layout->addWidget(Splitter_Main);

    tree_ = new TMainTree(document_, Splitter_Main);
    connect(tree_, &TMainTree::PageRequested, this, &TMainForm::ShowPage);

    PageControl_Main = new QTabWidget(Splitter_Main);
    PageControl_Main->setObjectName(QStringLiteral("PageControl_Main"));

    vertices_ = new TVerticesGridModel(this);
    polygons_ = new TPolygonsGridModel(this);
    textures_ = new TTexturesGridModel(this);

    PaintBox_LODResolution = new QWidget;
    PaintBox_LODResolution->setObjectName(QStringLiteral("PaintBox_LODResolution"));
    auto* lodPage = new QWidget;
    lodPage->setObjectName(QStringLiteral("TabSheet_LODResolution"));
    (new QVBoxLayout(lodPage))->addWidget(PaintBox_LODResolution);

    StringGrid_Vertices = MakeGrid("StringGrid_Vertices", vertices_, nullptr);
    StringGrid_Polygons = MakeGrid("StringGrid_Polygons", polygons_, nullptr);
    StringGrid_Textures = MakeGrid("StringGrid_Textures", textures_, nullptr);
    StringGrid_Vertices->setColumnWidth(0, 30);
    StringGrid_Polygons->setColumnWidth(0, 30);
    StringGrid_Polygons->setColumnWidth(5, 80);
    StringGrid_Polygons->horizontalHeader()->setStretchLastSection(true);
    for (int c = 1; c <= 4; ++c) StringGrid_Polygons->setColumnWidth(c, 48);
    StringGrid_Textures->setColumnWidth(0, 30);
    StringGrid_Textures->setColumnWidth(1, 260);

    propertiesPage_ = new TNamedPropertiesPage(document_);
    generalPage_ = new TGeneralPageWidget(document_);

    auto* browserPage = new QWidget;
    browserPage->setObjectName(QStringLiteral("TabSheet_Browser"));
    WebBrowser1 = new QTextBrowser(browserPage);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);
    auto* browserLayout = new QVBoxLayout(browserPage);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    browserLayout->addWidget(WebBrowser1);

    PageControl_Main->addTab(lodPage, QStringLiteral("LOD Resolution"));
    PageControl_Main->addTab(GridPage(StringGrid_Vertices, "TabSheet_Vertices"), QStringLiteral("Vertices"));
    PageControl_Main->addTab(GridPage(StringGrid_Polygons, "TabSheet_Polygons"), QStringLiteral("Polygons"));
    PageControl_Main->addTab(GridPage(StringGrid_Textures, "TabSheet_Textures"), QStringLiteral("Textures"));
    PageControl_Main->addTab(propertiesPage_, QStringLiteral("Named Properties"));
    PageControl_Main->addTab(generalPage_, QStringLiteral("General"));
    PageControl_Main->addTab(browserPage, QStringLiteral("Updates"));

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
    connect(StringGrid_Polygons, &QTableView::clicked, this, [this](const QModelIndex& index) {
        // A click that changes the row is handled by currentRowChanged.
        if (index.row() != document_.CurrentFaceIndex()) OnPolygonRowChanged(index.row());
    });
    connect(StringGrid_Textures->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { OnTextureRowChanged(current.row()); });
}

void TMainForm::CreateMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* file = fileMenu_ = bar->addMenu(QStringLiteral("&File"));
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

    // Entries of windows stay off until the window registers its command.
    for (QAction* a : {MenuItem_File_Open_FromPb, MenuItem_File_Open_FromCatalog, MenuItem_File_Save,
                       MenuItem_File_Import, MenuItem_File_Export, MenuItem_View_Animation, MenuItem_View_Texture,
                       MenuItem_View_Model, MenuItem_View_Preview, MenuItem_View_PbManager, MenuItem_View_Catalog})
        a->setEnabled(false);
    MenuItem_File_MakeAddOn->setEnabled(false);

    connect(MenuItem_File_Open_FromFile, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_Open_FromFile);
    connect(MenuItem_File_Open_FromPb, &QAction::triggered, this,
            [this] { OnClick_MenuItem_File_Open_FromPicker(TModelPicker::Archives); });
    connect(MenuItem_File_Open_FromCatalog, &QAction::triggered, this,
            [this] { OnClick_MenuItem_File_Open_FromPicker(TModelPicker::Catalog); });
    connect(MenuItem_File_SaveAs, &QAction::triggered, this, [this] { SaveModelAs(); });
    connect(MenuItem_File_Close, &QAction::triggered, this, [this] {
        if (QuerySaveModified()) CloseModel();
    });
    connect(MenuItem_File_Export, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_Export);
    connect(MenuItem_File_MakeAddOn, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_File_MakeAddOn);
    connect(MenuItem_File_Exit, &QAction::triggered, this, &QWidget::close);
    connect(MenuItem_View_Log, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_View_Log);
    connect(MenuItem_View_AddOnOptions, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_View_AddOnOptions);
    connect(MenuItem_Help_About, &QAction::triggered, this, &TMainForm::OnClick_MenuItem_Help_About);
    connect(MenuItem_Help_CheckUpdates, &QAction::triggered, this, &TMainForm::CheckUpdates);
}

void TMainForm::ConnectDocument()
{
    connect(&document_, &TModelDocument::ModelOpened, this, &TMainForm::OnModelOpened);
    connect(&document_, &TModelDocument::ModelCleared, this, &TMainForm::OnModelCleared);
    connect(&document_, &TModelDocument::LODSelected, this, &TMainForm::OnLODSelected);
    connect(&document_, &TModelDocument::FileNameChanged, this, &TMainForm::UpdateCaption);
    // The selection made in the model view (or by choosing a named
    // selection) marks the rows of the vertex and polygon grids.
    const auto marks = [this] {
        vertices_->RefreshMarks();
        polygons_->RefreshMarks();
    };
    connect(&document_, &TModelDocument::SelectionChanged, this, marks);
    connect(&document_, &TModelDocument::ComponentSelected, this, marks);
}

void TMainForm::SetWindowCommand(TProgramWindow window, std::function<void()> command)
{
    QAction* action = nullptr;
    switch (window) {
    case TProgramWindow::Animation: action = MenuItem_View_Animation; break;
    case TProgramWindow::Texture: action = MenuItem_View_Texture; break;
    case TProgramWindow::Model: action = MenuItem_View_Model; break;
    case TProgramWindow::Preview: action = MenuItem_View_Preview; break;
    case TProgramWindow::PbManager: action = MenuItem_View_PbManager; break;
    case TProgramWindow::Catalog: action = MenuItem_View_Catalog; break;
    }
    disconnect(action, &QAction::triggered, nullptr, nullptr);
    action->setEnabled(static_cast<bool>(command));
    if (command) connect(action, &QAction::triggered, this, [command] { command(); });
}

void TMainForm::SetModelPicker(TModelPicker picker, std::function<std::optional<std::string>()> pick)
{
    QAction* action = picker == TModelPicker::Archives ? MenuItem_File_Open_FromPb : MenuItem_File_Open_FromCatalog;
    action->setEnabled(static_cast<bool>(pick));
    pickers_[picker == TModelPicker::Archives ? 0 : 1] = std::move(pick);
}

void TMainForm::AddCloseQuery(std::function<bool()> query) { closeQueries_.push_back(std::move(query)); }

QAction* TMainForm::AddExportCommand(const char* name, const QString& text, std::function<void()> command)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    QAction* before = exportCommands_.empty() ? MenuItem_File_Export : exportCommands_.back();
    const QList<QAction*> actions = fileMenu_->actions();
    const qsizetype at = actions.indexOf(before);
    fileMenu_->insertAction(at + 1 < actions.size() ? actions[at + 1] : nullptr, action);
    action->setEnabled(document_.Model() != nullptr);
    connect(action, &QAction::triggered, this, [command] { command(); });
    exportCommands_.push_back(action);
    return action;
}

void TMainForm::SetModelMenusEnabled(bool enabled)
{
    MenuItem_File_SaveAs->setEnabled(enabled);
    MenuItem_File_Close->setEnabled(enabled);
    MenuItem_File_Export->setEnabled(enabled);
    for (QAction* a : exportCommands_) a->setEnabled(enabled);
}

bool TMainForm::QuerySaveModified()
{
    if (!document_.IsModified() || !document_.Model()) return true;
    const QString text = ToQString(Format("Model \"%s\" was modified. Save changes?", document_.FileName().c_str()));
    switch (Dialogs().Question(this, text)) {
    case TAnswer::Yes: return SaveModelAs();
    case TAnswer::No: return true;
    case TAnswer::Cancel: break;
    }
    return false;
}

bool TMainForm::OpenModel(const std::string& name, TModelSource source)
{
    if (!QuerySaveModified()) return false;
    return LoadModel(name, source);
}

bool TMainForm::LoadModel(const std::string& name, TModelSource source)
{
    std::string reason;
    if (!document_.OpenModel(name, source, &reason)) {
        Dialogs().Message(this, TMessageKind::Error, ToQString(Format("Model \"%s\" not loaded", name.c_str())),
                          ToQString(reason));
        return false;
    }
    return true;
}

bool TMainForm::OpenModelByName(const std::string& name)
{
    // Anything on disk opens as a file (a folder is then refused as one);
    // only a name that is nothing on disk is a game path.
    std::error_code ec;
    const bool onDisk = std::filesystem::exists(PathFromUtf8(name), ec);
    return OpenModel(name, onDisk ? TModelSource::File : TModelSource::Archive);
}

void TMainForm::OnModelOpened()
{
    ShowStatus("Model loaded");
    SetModelMenusEnabled(true);
    UpdateCaption();
}

void TMainForm::OnModelCleared()
{
    SetModelMenusEnabled(false);
    vertices_->SetLOD(nullptr);
    polygons_->SetLOD(nullptr);
    textures_->SetLOD(nullptr);
    UpdateCaption();
}

void TMainForm::OnLODSelected()
{
    const TLOD* lod = document_.CurrentLOD();
    vertices_->SetLOD(lod);
    polygons_->SetLOD(lod);
    textures_->SetLOD(lod);
    PaintBox_LODResolution->update();
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

bool TMainForm::SaveModelAs()
{
    if (!document_.Model()) return false;
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Save As"), QString::fromLatin1(kSaveModelFilter),
                                           QStringLiteral("p3d"));
    if (!choice) return false;
    return SaveModelTo(FromQString(WithDefaultExt(choice->FileName, QStringLiteral("p3d"))), choice->FilterIndex);
}

bool TMainForm::SaveModelTo(const std::string& fileName, int filterIndex)
{
    if (!document_.Model()) return false;
    bool created = false;
    const bool saved =
        document_.SaveModel(fileName, filterIndex == 0 ? TModelForm::Odol : TModelForm::Mlod, ConverterFlags(), &created);
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
    document_.ClearModel();
    HideStatus();
    ShowPage(-1);
}

void TMainForm::UpdateCaption()
{
    const TModel* model = document_.Model();
    if (!model) {
        setWindowTitle(QString::fromLatin1(kProgramName));
        return;
    }
    const std::string name = PathToUtf8(PathFromUtf8(NativePath(document_.FileName())).filename());
    QString caption = QStringLiteral("%1 - %2").arg(QString::fromLatin1(kProgramName), ToQString(name));
    if (model->Signature == kSignatureMLOD)
        caption += QStringLiteral(" [MLOD]");
    else if (model->Signature == kSignatureODOL)
        caption += QStringLiteral(" [ODOL]");
    setWindowTitle(caption);
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

void TMainForm::OnPolygonRowChanged(int row) { document_.SelectPolygon(row); }

void TMainForm::OnTextureRowChanged(int row) { document_.SelectTextureRow(row); }

// Start-up ---------------------------------------------------------------

bool TMainForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && !started_ && !starting_)
        QTimer::singleShot(0, this, &TMainForm::FirstActivation);
    return QMainWindow::event(e);
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Without a window manager no activation may come: start all the same.
    if (!started_ && !starting_) QTimer::singleShot(0, this, &TMainForm::FirstActivation);
}

void TMainForm::FirstActivation()
{
    if (started_ || starting_) return;
    starting_ = true;
    ShowMessage(TMessageKind::Warning,
                Format("This is the confidential alpha-version (v%d.%d)! Please, replace it by beta-version.\rVisit %s "
                       "for more info.",
                       kVersionMajor, kVersionMinor, FromQString(ProjectSiteUrl()).c_str()));
    started_ = true;
    repaint();

    if (LogForm) LogForm->TakeOverLog(Memo_StartupLog);

    std::string mod = FromQString(ChooseModFolder());
    for (char& c : mod)
        if (c == '/') c = '\\';
    Game().SetModFolder(mod);
    LoadStartupData();
    ShowStatus("Ready");
    starting_ = false;

    if (!startupFile_.empty()) {
        const std::string name = std::exchange(startupFile_, std::string());
        OpenModelByName(name);
    }
}

QString TMainForm::ChooseModFolder()
{
    const QString game = ToQString(GamePath());
    for (;;) {
        const auto chosen =
            Dialogs().PickFolder(this, QStringLiteral("Select MOD folder or cancel for default folder:"), game);
        if (!chosen) return {};
        if (IsInsideFolder(*chosen, game)) return chosen->mid(game.size());
        ShowMessage(TMessageKind::Warning, Format("MOD folder must be inside main \"%s\" folder", GamePath().c_str()));
    }
}

void TMainForm::LoadStartupData()
{
    OpenGameData(Game());
    const std::string jpegFolder = Game().DataPath("\\Bin\\");
    if (!LoadJpegLibrary(jpegFolder))
        ShowMessage(TMessageKind::Warning,
                    Format("Intel Jpeg Library \"%s\" not found. Jpeg images will not be displayed!",
                           (jpegFolder + "ijl15.dll").c_str()));
}

// Menu commands ------------------------------------------------------------

// The question about unsaved edits comes before the pick, so that a user
// who keeps them is not made to pick first.
void TMainForm::OnClick_MenuItem_File_Open_FromFile()
{
    if (!QuerySaveModified()) return;
    const auto name = Dialogs().OpenFile(this, QStringLiteral("Open"), QString::fromLatin1(kOpenModelFilter),
                                         QStringLiteral("p3d"));
    if (name) LoadModel(FromQString(*name), TModelSource::File);
}

void TMainForm::OnClick_MenuItem_File_Open_FromPicker(TModelPicker picker)
{
    const auto& pick = pickers_[picker == TModelPicker::Archives ? 0 : 1];
    if (!pick || !QuerySaveModified()) return;
    if (const auto gamePath = pick()) LoadModel(*gamePath, TModelSource::Archive);
}

void TMainForm::OnClick_MenuItem_File_Export()
{
    TModel* model = document_.Model();
    if (!model) return;
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Export"), QString::fromLatin1(kExportFilter),
                                           QStringLiteral("obj"));
    if (!choice) return;
    if (MenuItem_Options_Converter_SaveGroupedVertices->isChecked()) model->SaveFlags |= SaveFlags::GroupedVertices;
    RunObjExport(*model, FromQString(WithDefaultExt(choice->FileName, QStringLiteral("obj"))));
}

void TMainForm::OnClick_MenuItem_File_MakeAddOn()
{
    if (!AOptionsForm) return;
    MakeAddOn(AOptionsForm->Options(), &Game().PbList);
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
    if (!QuerySaveModified()) {
        e->ignore();
        return;
    }
    for (const auto& query : closeQueries_)
        if (!query()) {
            e->ignore();
            return;
        }
    e->accept();
}

namespace {

// The first local .p3d file among the dragged ones; empty when none.
QString DroppedModel(const QMimeData* data)
{
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).suffix().compare(QStringLiteral("p3d"), Qt::CaseInsensitive) == 0)
            return url.toLocalFile();
    return {};
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* e)
{
    if (!DroppedModel(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e)
{
    const QString file = DroppedModel(e->mimeData());
    if (file.isEmpty()) return;
    e->acceptProposedAction();
    // The drop ends before the model loads: a question box may come up.
    QTimer::singleShot(0, this, [this, file] { OpenModel(FromQString(QDir::toNativeSeparators(file)), TModelSource::File); });
}

}  // namespace mc
