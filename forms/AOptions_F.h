// The add-on options dialog: which folder "Make AddOn" packs, and into which
// archive of the game's AddOns folder.
#pragma once

#include <QDialog>
#include <string>

#include "Archive/MakeAddOn.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mc {

class TGameData;

class TAOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TAOptionsForm(const TGameData& game, QWidget* parent = nullptr);
    ~TAOptionsForm() override;

    // The options kept since the dialog was last confirmed.
    const TAddOnOptions& Options() const { return options_; }

    // Name or source folder changed: OK, source files and destination.
    void OnChange_Edits();
    void OnClick_Button_BrowseSrcFlder();
    void OnClick_Button_OK();

    QLineEdit* Edit_AddOnName = nullptr;
    QLineEdit* Edit_SrcFolder = nullptr;
    QPushButton* Button_BrowseSrcFlder = nullptr;
    QLineEdit* Edit_SrcFiles = nullptr;
    QLineEdit* Edit_DstFile = nullptr;
    QCheckBox* CheckBox_Recursive = nullptr;
    QCheckBox* CheckBox_AddToPbManager = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;

private:
    std::string SourceFolderText() const;

    TAddOnOptions options_;
    // The game folder and MOD folder the add-on goes into.
    const TGameData& game_;
};

// The program's add-on options dialog while it exists.
inline TAOptionsForm* AOptionsForm = nullptr;

}  // namespace mc
