// The model catalog ("Model List"): every model of the open archives grouped
// by its map icon, the user's own tree of template groups kept in a config
// text, and a small spinning picture of the selected model drawn by the
// preview's renderer. The main window shows it, or asks it modally for a
// model to open (Choose).
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "Core/Vector3.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QTabWidget;
class QTreeWidgetItem;

namespace mc {

class TCamera;
class TCatalogTree;
class TGameData;
class TModel;
class TPreviewSurface;
class TRClass;
class TResources;

class TMListForm : public QDialog {
    Q_OBJECT
public:
    explicit TMListForm(const TGameData& game, QWidget* parent = nullptr);
    ~TMListForm() override;

    // The template file; by default ../CommonFiles/Templates/ModelGroups.cpp
    // beside the program's folder.
    void SetTemplateFile(const std::string& fileName) { templateFile_ = fileName; }
    const std::string& TemplateFile() const { return templateFile_; }

    // Shows the window modally; the game path of the model shown when it is
    // closed with OK (a double-clicked item), nothing otherwise.
    std::optional<std::string> Choose();
    // The main window's close query: the modified templates may be saved;
    // false when the user cancels.
    bool QueryClose();

    // "&Refresh" of the two pages.
    void RefreshMapIcons();
    void RefreshTemplates();
    // "&Export..." and "Save &As...": false when cancelled or not written.
    bool ExportMapIcons();
    bool SaveTemplatesAs();

    // Editing the template tree (the pop-up menu's entries and drag and drop).
    void DeleteNode(QTreeWidgetItem* node);
    bool CanDropNode(QTreeWidgetItem* source, QTreeWidgetItem* target) const;
    void DropNode(QTreeWidgetItem* source, QTreeWidgetItem* target);

    // The node whose model is shown: loads it (nothing when it is the shown one).
    void SelectNode(QTreeWidgetItem* node);
    // One frame: Look Close, the spin, the picture.
    void Tick();

    TCatalogTree* MapIconTree() const { return TreeView_MapIcons; }
    TCatalogTree* TemplateTree() const { return TreeView_UserTemplates; }
    TResources& BuiltInDocument() const { return *builtInDocument_; }
    TResources& TemplatesDocument() const { return *templatesDocument_; }
    bool TemplatesModified() const { return templatesModified_; }
    TModel* ShownModel() const { return shownModel_.get(); }
    QTreeWidgetItem* SelectedNode() const { return selectedNode_; }
    TCamera& Camera() const;
    TPreviewSurface* Surface() const { return DXDraw; }
    float FitAngle() const;

    // The tree images: group, open group, item, loaded item, failed item.
    enum : int { kImageGroup = 0, kImageGroupOpen = 1, kImageItem = 2, kImageLoaded = 3, kImageFailed = 4 };
    // The image a node shows (the group's open picture is its selected state).
    static int ImageOf(const QTreeWidgetItem* node);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildPages();
    void BuildPanel();
    void BuildMenus();
    void FirstShown();
    QTreeWidgetItem* AddNode(TCatalogTree* tree, QTreeWidgetItem* parent, TRClass* nodeClass, bool editable);
    void AddNodes(TCatalogTree* tree, QTreeWidgetItem* parent, TRClass& parentClass, bool editable);
    void SetImage(QTreeWidgetItem* node, int image);
    void ReleaseShownModel();
    void OnChange_TreeView_UserTemplates(QTreeWidgetItem* node);
    void OnDblClick_TreeView(QTreeWidgetItem* node);
    void OnClick_PopupMenuItem_UserTemplates_Rename();
    bool AskSaveTemplates(bool closing);
    void EndEditing(bool cancel);
    void ShowFrameError(const std::string& text);
    std::string TemplatesFolder() const;

    const TGameData& game_;
    std::unique_ptr<TResources> builtInDocument_;
    std::unique_ptr<TResources> templatesDocument_;
    std::unique_ptr<TModel> shownModel_;
    bool templatesModified_ = false;
    bool templatesLoaded_ = false;
    bool mapIconsBuilt_ = false;
    QTreeWidgetItem* selectedNode_ = nullptr;
    Vector3 sphereCentre_{};
    float sphereRadius_ = 0;
    int lookCloseSteps_ = 0;  // fitAngle = field of view + steps x pi/2000
    bool busy_ = false;
    bool closeRequested_ = false;
    bool choosing_ = false;
    int updatingTree_ = 0;
    std::string templateFile_;

    QTabWidget* PageControl_Main = nullptr;
    TCatalogTree* TreeView_MapIcons = nullptr;
    TCatalogTree* TreeView_UserTemplates = nullptr;
    QMenu* PopupMenu_BuildIn = nullptr;
    QAction* PopupMenuItem_BuildIn_Export = nullptr;
    QAction* PopupMenuItem_BuildIn_Refresh = nullptr;
    QMenu* PopupMenu_UserTemplates = nullptr;
    QAction* PopupMenuItem_UserTemplates_SaveAs = nullptr;
    QAction* PopupMenuItem_UserTemplates_Refresh = nullptr;
    QAction* PopupMenuItem_UserTemplates_AddGroup = nullptr;
    QAction* PopupMenuItem_UserTemplates_AddItems = nullptr;
    QAction* PopupMenuItem_UserTemplates_Rename = nullptr;
    QAction* PopupMenuItem_UserTemplates_Delete = nullptr;
    TPreviewSurface* DXDraw = nullptr;
    QLabel* Label_ModelName = nullptr;
    QCheckBox* CheckBox_LookClose = nullptr;
    QCheckBox* CheckBox_Light = nullptr;
    QCheckBox* CheckBox_Rotate = nullptr;
    QCheckBox* CheckBox_CullNone = nullptr;
    QTimer timer_;
};

}  // namespace mc
