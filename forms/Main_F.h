// The main window: the current model's tree and grids, the menus, opening and
// saving models, property editing, and the program's start-up work at the
// first activation.
#pragma once

#include <QMainWindow>
#include <QRgb>
#include <functional>
#include <memory>
#include <string>

#include "Core/CustomStringList.h"

class QAction;
class QByteArray;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QNetworkAccessManager;
class QNetworkReply;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace mc {

class TGeneralGridModel;
class TLOD;
class TModel;
class TModelComponent;
class TPolygonsGridModel;
class TPropertiesGridModel;
class TProxy;
class TTexture;
class TTexturesGridModel;
class TVerticesGridModel;

// Kinds of the tree's nodes (stored as each node's kind and icon).
enum TNodeKind : int {
    NodeNone = 0,
    NodeLODs = 1,
    NodeLOD = 2,
    NodeVertices = 3,
    NodePolygons = 4,
    NodeTextures = 5,
    NodeProxies = 6,
    NodeProxy = 7,
    NodeProxyVertices = 8,
    NodeProxyPolygons = 9,
    NodeComponents = 10,
    NodeComponent = 11,
    NodeComponentVertices = 12,
    NodeComponentPolygons = 13,
    NodeAnimation = 14,
    NodeProperties = 15,
    NodeGeneral = 16,
};

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

// Pages of PageControl_General.
enum TGeneralPage : int { GeneralPageColor = 0, GeneralPageLOD = 1, GeneralPageMapIcon = 2 };

enum class TModelSource { File, Archive };

// The filters of the model dialogs.
inline constexpr const char* kOpenModelFilter = "3D Models (*.p3d)|*.p3d|All files (*.*)|*.*";
inline constexpr const char* kSaveModelFilter =
    "3D Model - format ODOL (*.p3d)|*.p3d|3D Model - format MLOD (*.p3d)|*.p3d|All files (*.*)|*.*";

inline constexpr const char* kExportFilter = "Wavefront obj (*.obj)|*.obj|All files (*.*)|*.*";

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // State read by the other windows.
    bool Started = false;
    std::string GamePath;
    std::string FileName;
    std::unique_ptr<TModel> Model;
    int CurrentLODIndex = -1;
    int CurrentFaceIndex = -1;
    int CurrentProxyIndex = -1;
    int GeneralRow = -1;
    // Lower-case texture name -> texture shown from the grids (nullptr when
    // it did not load); owns the textures.
    TCustomStringList<std::unique_ptr<TTexture>> TextureCache;

    // The LOD at CurrentLODIndex; nullptr without a model or LOD.
    TLOD* CurrentLOD() const;

    // Model operations.
    bool OpenModel(const std::string& name, TModelSource source);
    void SaveModelAs();
    // SaveModelAs after its dialog: filterIndex 0 writes ODOL, any other MLOD.
    // True when the file was written.
    bool SaveModelTo(const std::string& fileName, int filterIndex);
    void CloseModel();
    void ClearModel();
    void UpdateCaption();
    void SelectLOD(int index);
    void ShowPage(int index);
    int ActivePage() const { return activePage_; }
    void SelectPolygon(int index);
    void SelectProxy(const TProxy* proxy);
    void SelectComponent(TModelComponent* component);
    void ShowFaceTexture(int textureIndex);
    int TextureIndexOf(const TTexture* texture) const;
    // The converter options of the Options menu as the model's bit set.
    uint32_t ConverterFlags() const;

    // The tree: the node's kind and the click rules.
    void RebuildTree();
    static int NodeKind(const QTreeWidgetItem* node);
    void ClickNode(QTreeWidgetItem* node);
    // Ends the edit of a LOD node's label with the typed text.
    void EndEditLODLabel(QTreeWidgetItem* node, const QString& text);

    // The start-up work of the first activation (once).
    void FirstActivation();

    // General page (grid rows 1..16, -1 none).
    void SelectGeneralRow(int row);
    void FillGeneralGrid();
    QRgb RGBSwatch() const { return rgbSwatch_; }
    QRgb AlphaSwatch() const { return alphaSwatch_; }
    void SetRGBSwatch(QRgb color);
    void SetAlphaSwatch(QRgb color);
    void OnClick_Button_General_Color_RGB();
    void OnClick_Button_General_Color_Alpha();
    void OnClick_Button_General_Color_Change();
    void OnClick_Button_General_LOD_Change();
    void OnClick_Button_General_MapIcon_Change();

    // Named properties page.
    void SelectPropertyRow(int row);
    void OnChange_Edit_NamedProperty_Name();
    void OnClick_Button_NamedProperty_Add();
    void OnClick_Button_NamedProperty_Change();
    void OnClick_Button_NamedProperty_Delete();
    void OnClick_Button_NamedProperty_Rename();

    // Help > "Check Updates from Web".
    void CheckUpdates();
    // Menu commands.
    void OnClick_MenuItem_File_Open_FromFile();
    void OnClick_MenuItem_File_Export();
    void OnClick_MenuItem_File_MakeAddOn();
    void OnClick_MenuItem_View_AddOnOptions();
    void OnClick_MenuItem_View_Log();
    void OnClick_MenuItem_Help_About();

    // Controls, named as in the window description.
    QTreeWidget* TreeView_Main = nullptr;
    QSplitter* Splitter_Main = nullptr;
    QTabWidget* PageControl_Main = nullptr;
    QWidget* TabSheet_LODResolution = nullptr;
    QWidget* TabSheet_Vertices = nullptr;
    QWidget* TabSheet_Polygons = nullptr;
    QWidget* TabSheet_Textures = nullptr;
    QWidget* TabSheet_Properties = nullptr;
    QWidget* TabSheet_General = nullptr;
    QWidget* TabSheet_Browser = nullptr;
    QWidget* PaintBox_LODResolution = nullptr;
    QTableView* StringGrid_Vertices = nullptr;
    QTableView* StringGrid_Polygons = nullptr;
    QTableView* StringGrid_Textures = nullptr;
    QTableView* StringGrid_Properties = nullptr;
    QTableView* StringGrid_General = nullptr;
    QLineEdit* Edit_NamedProperty_Name = nullptr;
    QLineEdit* Edit_NamedProperty_Value = nullptr;
    QPushButton* Button_NamedProperty_Add = nullptr;
    QPushButton* Button_NamedProperty_Change = nullptr;
    QPushButton* Button_NamedProperty_Delete = nullptr;
    QPushButton* Button_NamedProperty_Rename = nullptr;
    QTabWidget* PageControl_General = nullptr;
    QFrame* Shape_General_Color_RGB = nullptr;
    QFrame* Shape_General_Color_Alpha = nullptr;
    QPushButton* Button_General_Color_RGB = nullptr;
    QPushButton* Button_General_Color_Alpha = nullptr;
    QPushButton* Button_General_Color_Change = nullptr;
    QComboBox* ComboBox_General_LOD = nullptr;
    QPushButton* Button_General_LOD_Change = nullptr;
    QComboBox* ComboBox_General_MapIcon = nullptr;
    QPushButton* Button_General_MapIcon_Change = nullptr;
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

    TVerticesGridModel* VerticesModel() const { return vertices_; }
    TPolygonsGridModel* PolygonsModel() const { return polygons_; }
    TTexturesGridModel* TexturesModel() const { return textures_; }
    TPropertiesGridModel* PropertiesModel() const { return properties_; }
    TGeneralGridModel* GeneralModel() const { return general_; }

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    void CreateMenus();
    QWidget* CreatePropertiesPage();
    QWidget* CreateGeneralPage();
    void SetModelMenusEnabled(bool enabled);
    void FillLODGrids();
    void ShowGeneralPage(int page);
    void LoadStartupData();
    QString ChooseModFolder();
    void OnPolygonRowChanged(int row);
    void OnTextureRowChanged(int row);
    void OnTreeItemChanged(QTreeWidgetItem* item, int column);
    void OnUpdatesFinished(QNetworkReply* reply, const QByteArray& body, bool tooLarge);

    TVerticesGridModel* vertices_ = nullptr;
    TPolygonsGridModel* polygons_ = nullptr;
    TTexturesGridModel* textures_ = nullptr;
    TPropertiesGridModel* properties_ = nullptr;
    TGeneralGridModel* general_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
    QRgb rgbSwatch_ = 0xFF000000;
    QRgb alphaSwatch_ = 0xFF000000;
    int activePage_ = -1;
    int activeGeneralPage_ = -1;
    bool starting_ = false;
    bool treeUpdating_ = false;
};

// The program's main window while it exists.
inline TMainForm* MainForm = nullptr;

}  // namespace mc
