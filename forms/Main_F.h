// The main window: the open model's tree and grids, the menus, opening and
// saving models, and the program's start-up work at the first activation.
// It is one view of the model document; the windows around it register
// their menu commands, pickers and close queries with it.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ModelDocument.h"

class QAction;
class QByteArray;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTableView;
class QTextBrowser;

namespace mc {

class TGameData;
class TGeneralPageWidget;
class TMainTree;
class TNamedPropertiesPage;
class TPolygonsGridModel;
class TTexturesGridModel;
class TVerticesGridModel;

// Pages of PageControl_Main.
enum TMainPage : int {
    PageLODResolution = 0,
    PageVertices = 1,
    PagePolygons = 2,
    PageTextures = 3,
    PageProperties = 4,
    PageGeneral = 5,
    PageBrowser = 6,
    MainPageCount = 7,
};

// The windows whose View-menu entries the main window offers.
enum class TProgramWindow { Animation, Texture, Model, Preview, PbManager, Catalog };
// Where File > Open from picks a game path.
enum class TModelPicker { Archives, Catalog };

// The filters of the model dialogs.
inline constexpr const char* kOpenModelFilter = "3D Models (*.p3d)|*.p3d|All files (*.*)|*.*";
inline constexpr const char* kSaveModelFilter =
    "3D Model - format ODOL (*.p3d)|*.p3d|3D Model - format MLOD (*.p3d)|*.p3d|All files (*.*)|*.*";
inline constexpr const char* kExportFilter = "Wavefront obj (*.obj)|*.obj|All files (*.*)|*.*";

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(TModelDocument& document, QWidget* parent = nullptr);
    ~TMainForm() override;

    TModelDocument& Document() const { return document_; }
    TGameData& Game() const { return document_.Game(); }
    bool Started() const { return started_; }
    const std::string& GamePath() const;

    // The windows around the main window hook in here. A View entry with a
    // command is enabled; a picker returns a game path, or nothing when the
    // user cancels; close queries are asked in the order added.
    void SetWindowCommand(TProgramWindow window, std::function<void()> command);
    void SetModelPicker(TModelPicker picker, std::function<std::optional<std::string>()> pick);
    void AddCloseQuery(std::function<bool()> query);
    // An entry of the File menu below "Export...", enabled while a model is
    // open (exports of the model).
    QAction* AddExportCommand(const char* name, const QString& text, std::function<void()> command);
    // A model to open once the start-up work is done (the command line).
    void SetStartupFile(const std::string& name) { startupFile_ = name; }

    // Model operations, each asking first about unsaved edits where the
    // model would be replaced or closed.
    bool OpenModel(const std::string& name, TModelSource source);
    // A file on disk opens as a file, anything else as a game path.
    bool OpenModelByName(const std::string& name);
    // True when the model was written.
    bool SaveModelAs();
    // SaveModelAs after its dialog: filterIndex 0 writes ODOL, any other MLOD.
    bool SaveModelTo(const std::string& fileName, int filterIndex);
    void CloseModel();
    // "Model "%s" was modified. Save changes?": true when the edits were
    // saved or may be dropped, false when the user keeps them (Cancel, or a
    // save that did not happen).
    bool QuerySaveModified();
    void UpdateCaption();
    void ShowPage(int index);
    int ActivePage() const { return activePage_; }
    // The converter options of the Options menu as the model's bit set.
    uint32_t ConverterFlags() const;

    // The start-up work of the first activation (once).
    void FirstActivation();

    // Help > "Check Updates from Web".
    void CheckUpdates();
    void OnClick_MenuItem_File_Open_FromFile();
    void OnClick_MenuItem_File_Open_FromPicker(TModelPicker picker);
    void OnClick_MenuItem_File_Export();
    void OnClick_MenuItem_File_MakeAddOn();
    void OnClick_MenuItem_View_AddOnOptions();
    void OnClick_MenuItem_View_Log();
    void OnClick_MenuItem_Help_About();

    // Parts of the window, for tests (the widgets carry their names).
    TMainTree* Tree() const { return tree_; }
    TNamedPropertiesPage* PropertiesPage() const { return propertiesPage_; }
    TGeneralPageWidget* GeneralPage() const { return generalPage_; }
    TVerticesGridModel* VerticesModel() const { return vertices_; }
    TPolygonsGridModel* PolygonsModel() const { return polygons_; }
    TTexturesGridModel* TexturesModel() const { return textures_; }
    QAction* Action(const char* name) const;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void CreateControls();
    void CreateMenus();
    void ConnectDocument();
    void SetModelMenusEnabled(bool enabled);
    void OnModelOpened();
    void OnModelCleared();
    void OnLODSelected();
    void LoadStartupData();
    // Opens without asking about unsaved edits; the error box on failure.
    bool LoadModel(const std::string& name, TModelSource source);
    QString ChooseModFolder();
    void OnPolygonRowChanged(int row);
    void OnTextureRowChanged(int row);
    void OnUpdatesFinished(QNetworkReply* reply, const QByteArray& body, bool tooLarge);

    TModelDocument& document_;
    std::string gamePath_;
    std::string startupFile_;
    bool started_ = false;
    bool starting_ = false;
    int activePage_ = -1;

    TMainTree* tree_ = nullptr;
    TNamedPropertiesPage* propertiesPage_ = nullptr;
    TGeneralPageWidget* generalPage_ = nullptr;
    TVerticesGridModel* vertices_ = nullptr;
    TPolygonsGridModel* polygons_ = nullptr;
    TTexturesGridModel* textures_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
    std::vector<std::function<bool()>> closeQueries_;
    std::function<std::optional<std::string>()> pickers_[2];

    QSplitter* Splitter_Main = nullptr;
    QTabWidget* PageControl_Main = nullptr;
    QWidget* PaintBox_LODResolution = nullptr;
    QTableView* StringGrid_Vertices = nullptr;
    QTableView* StringGrid_Polygons = nullptr;
    QTableView* StringGrid_Textures = nullptr;
    QTextBrowser* WebBrowser1 = nullptr;
    QLabel* StatusBar_Main_Panel0 = nullptr;
    QLabel* StatusBar_Main_Panel1 = nullptr;
    QPlainTextEdit* Memo_StartupLog = nullptr;

    QAction* MenuItem_File_Open_FromFile = nullptr;
    QAction* MenuItem_File_Open_FromPb = nullptr;
    QAction* MenuItem_File_Open_FromCatalog = nullptr;
    QAction* MenuItem_File_Save = nullptr;
    QAction* MenuItem_File_SaveAs = nullptr;
    QAction* MenuItem_File_Close = nullptr;
    QAction* MenuItem_File_Import = nullptr;
    QAction* MenuItem_File_Export = nullptr;
    QAction* MenuItem_File_MakeAddOn = nullptr;
    QAction* MenuItem_File_Exit = nullptr;
    QAction* MenuItem_View_Animation = nullptr;
    QAction* MenuItem_View_Texture = nullptr;
    QAction* MenuItem_View_Model = nullptr;
    QAction* MenuItem_View_Preview = nullptr;
    QAction* MenuItem_View_PbManager = nullptr;
    QAction* MenuItem_View_Catalog = nullptr;
    QAction* MenuItem_View_Log = nullptr;
    QAction* MenuItem_View_AddOnOptions = nullptr;
    QAction* MenuItem_Options_Converter_SaveGroupedVertices = nullptr;
    QAction* MenuItem_Options_Converter_SaveSharpEdges = nullptr;
    QAction* MenuItem_Options_Converter_SaveAnimation = nullptr;
    QAction* MenuItem_Options_Converter_CorrectShining = nullptr;
    QAction* MenuItem_Options_Converter_CorrectShadow = nullptr;
    QAction* MenuItem_Tools_CheckMass = nullptr;
    QAction* MenuItem_Tools_CheckNormals = nullptr;
    QAction* MenuItem_Tools_CheckUV = nullptr;
    QAction* MenuItem_Help_About = nullptr;
    QAction* MenuItem_Help_CheckUpdates = nullptr;
    std::vector<QAction*> exportCommands_;
    QMenu* fileMenu_ = nullptr;
};

}  // namespace mc
