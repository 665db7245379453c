// The archive manager: every open archive browsed like a file system, with
// previews of textures, HTML pages, scripts, string tables and sounds, adding
// and removing archives; shown modally it is the main window's model picker.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "sound/SoundOutput.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTemporaryDir;
class QTextBrowser;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;
class QVariant;

namespace mc {

class TPbDirectory;
class TPbFile;
class TPbIconList;
class TPbItem;
class TPbList;
class TPbListModel;
class TPbSoundPage;
class TPbTextureBox;
class TStringTableGridModel;
class TTexture;

// The filter of the open dialog of "&Add".
inline constexpr const char* kPbArchiveFilter = "Archive (*.pb?)|*.pb?|All files (*.*)|*.*";

// The game data the window works on: the archive list it browses, adds to
// and removes from, and the game folder its open dialog starts in.
struct TPbGameAccess {
    TPbList* Archives = nullptr;
    std::string GameFolder;
};

class TPbForm : public QDialog {
    Q_OBJECT
public:
    explicit TPbForm(TPbGameAccess game, QWidget* parent = nullptr);
    ~TPbForm() override;

    // The tree is rebuilt before the window is first shown or used as picker.
    bool NeedsRefresh = true;
    std::string GameFolder;

    // Rebuilds the tree from the archive list, selects the first node and
    // fills the list.
    void RefreshAll();
    // The list for the selected tree node (the busy cursor above 100 items).
    void FillList();
    // A folder row opens its node; a file row closes the picker with OK.
    void OpenListItem(int row);
    void OnClick_Up();
    void OnClick_Add();
    // Adds an archive file as an add-on archive, then rebuilds the tree.
    void AddArchiveFile(const std::string& fileName);
    void OnClick_Remove();
    // The model picker: the game path of the chosen row (an add-on model
    // without its leading backslash), or empty when cancelled.
    std::string PickModel();
    // Previews the row's item when it differs from the current one.
    void SelectListRow(int row);
    void ShowPreview(TPbItem* item);

    // The window's state.
    QTreeWidgetItem* CurrentNode() const { return currentNode_; }
    TPbItem* CurrentItem() const { return currentItem_; }
    const TTexture* PreviewTexture() const { return previewTexture_.get(); }
    bool PickerActive() const { return picking_; }
    // The list's model and the preview page shown (0 when none).
    TPbListModel* ListModel() const { return listModel_; }
    int PreviewPage() const;
    // The file the last HTML preview was written to (empty when none), and
    // the program's temporary folder it lies in.
    const QString& HtmlPreviewFile() const { return htmlFile_; }
    QString HtmlFolder() const;
    TStringTableGridModel* StringTableModel() const { return stringTable_; }
    TPbSoundPage* SoundPage() const { return TabSheet_Sound_Page; }
    void SetSoundOutputFactory(TSoundOutputFactory factory);
    const TPbIconList& Icons() const { return *icons_; }

    // Controls, named as in the window description.
    QToolBar* ToolBar_Main = nullptr;
    QToolButton* ToolButton_AddPb = nullptr;
    QToolButton* ToolButton_RemoveFile = nullptr;
    QToolButton* ToolButton_UpFolder = nullptr;
    QToolButton* ToolButton_Refresh = nullptr;
    QTreeWidget* TreeView = nullptr;
    QTreeView* ListView = nullptr;
    QTabWidget* PageControl_Left = nullptr;
    QWidget* TabSheet_Unknown = nullptr;
    QWidget* TabSheet_Texture = nullptr;
    QWidget* TabSheet_HTML = nullptr;
    QWidget* TabSheet_Sound = nullptr;
    QWidget* TabSheet_Script = nullptr;
    QWidget* TabSheet_StringTable = nullptr;
    QPushButton* Button_Ok = nullptr;
    QMenu* PopupMenu_Right = nullptr;
    QAction* MenuItem_Right_Open = nullptr;
    QAction* MenuItem_Right_Delete = nullptr;
    QAction* MenuItem_Right_Rename = nullptr;
    QMenu* PopupMenu_Left = nullptr;
    QAction* MenuItem_Left_Add = nullptr;
    QAction* MenuItem_Left_Up = nullptr;
    // Texture page.
    QLabel* Label_Texture_Name = nullptr;
    QLabel* Label_Texture_Type = nullptr;
    QLabel* Label_Texture_Palette = nullptr;
    QComboBox* ComboBox_Texture_MipMaps = nullptr;
    QComboBox* ComboBox_Texture_Data = nullptr;
    TPbTextureBox* PaintBox_Texture = nullptr;
    // HTML, script and string table pages.
    QTextBrowser* WebBrowser_HTML = nullptr;
    QPlainTextEdit* Memo_Script = nullptr;
    QTableView* StringGrid_StringTable = nullptr;
    TPbSoundPage* TabSheet_Sound_Page = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreateControls();
    QWidget* CreateTexturePage();
    void AddFolderNodes(QTreeWidgetItem* node, const TPbDirectory& folder, bool addOn);
    void SetCurrentNode(QTreeWidgetItem* node);
    void UpdateButtons();
    void ShowPage(int index);
    void ClearPreview();
    void ShowTexturePreview(const std::string& gamePath, std::unique_ptr<TTexture> texture);
    void ShowHtmlPreview(const TPbItem& item, const std::vector<uint8_t>& bytes);
    // A picture or style sheet the HTML page names, from its archive.
    QVariant HtmlResource(int type, const QUrl& url) const;
    void RefreshTextureControls();
    void OnListContextMenu(const QPoint& pos);
    void OnTreeContextMenu(const QPoint& pos);
    int SelectedRow() const;

    TPbList* archives_;
    std::unique_ptr<TPbIconList> icons_;
    TPbListModel* listModel_ = nullptr;
    TStringTableGridModel* stringTable_ = nullptr;
    QTreeWidgetItem* currentNode_ = nullptr;
    TPbItem* currentItem_ = nullptr;
    std::unique_ptr<TTexture> previewTexture_;
    std::unique_ptr<QTemporaryDir> htmlFolder_;
    QString htmlFile_;
    // The archive and entry folder of the HTML page shown.
    const TPbFile* htmlArchive_ = nullptr;
    std::string htmlEntryFolder_;
    bool picking_ = false;
    bool filling_ = false;
};


}  // namespace mc
