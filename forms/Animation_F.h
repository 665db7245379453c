// The animation window: edits RTM animations frame by frame and bone by
// bone, plays them on the open model, plays the model's own stored frames,
// and walks the game's move states. Every pose goes through the model
// document, so the model view and the preview show it at once.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Animation/MoveStates.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class QTimer;

namespace mc {

class TAnimation;
class TGameData;
class TModel;
class TModelDocument;
struct TViewAnimationCommands;

// The filter of the open and save dialogs.
inline constexpr const char* kRtmFilter = "Animation files (*.rtm)|*.rtm|All files (*.*)|*.*";

class TAnimationForm : public QDialog {
    Q_OBJECT
public:
    explicit TAnimationForm(TModelDocument& document, QWidget* parent = nullptr);
    ~TAnimationForm() override;

    // Chooses a file inside the game's archives (the archive manager's
    // picker); nothing when the user cancels.
    void SetArchivePicker(std::function<std::optional<std::string>()> pick) { pickArchiveFile_ = std::move(pick); }
    // Receives the operations of the model view's animation buttons after
    // every change, with only those set whose buttons are enabled.
    void SetToolBar(std::function<void(TViewAnimationCommands)> show);

    // The operations the model view's tool bar calls.
    void Play();
    void Pause();
    void Stop();
    void Reset();  // "Restore"
    void First();
    void Previous();
    void Next();
    void Last();

    // Replaces the animation (nullptr for none): the rest pose comes back,
    // the lists are refilled and frame 0 is shown.
    void Attach(std::unique_ptr<TAnimation> animation);
    TAnimation* Animation() const { return animation_.get(); }
    bool IsPlaying() const;
    int CurrentFrame() const;
    void SelectFrame(int index);  // and show it
    void SelectBone(int index);

    // The buttons of the "External" page, each asking first about a modified
    // animation. Load and Browse take a name instead of asking for one when
    // it is given. SaveAs returns whether the file was written.
    void CreateAnimation();
    void LoadAnimation(const std::string& fileName = {});
    void BrowseAnimation(const std::string& gamePath = {});
    bool SaveAnimationAs(const std::string& fileName = {});
    // The question about a modified animation: true when it may be dropped
    // (saved, or the user said No).
    bool QueryDropAnimation();

    // Playback: one frame's time in seconds from the track bar (0.01 .. 1),
    // or a whole pass of the animation.
    void SetAnimationDuration(float seconds);
    int TimerInterval() const;

    // Model document notifications.
    void LODChanged();
    void ModelClearedNotify();

    // "In-Game": plays a move state, with the history recorded or not.
    void PlayMoveState(const std::string& name, bool record = true);
    void ActionForward();
    void ActionBack();
    void ActionReset();
    const TMoveStateWalker& Walker() const { return walker_; }

    // Matrix grid: commits text typed into a cell of the four rows and
    // first three columns (as if the user typed it and pressed Enter).
    void EditMatrixCell(int row, int column, const QString& text);

    // The pop-up menus as they are when they open.
    QMenu* KeyFramesMenu();
    QMenu* ComponentsMenu();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePages();
    QWidget* CreateExternalPage();
    QWidget* CreateInternalPage();
    QWidget* CreateControlPage();
    QWidget* CreateInGamePage();
    void CreateMenus();

    TModel* Model() const;
    void ShowFrame();
    void RestorePose();
    void RefillFrames();
    void RefillBones();
    void FillMatrix();
    void FillInternalFrames();
    void UpdateButtons();
    void UpdateStateLabels();
    void ReadTrackBar();
    void OnTimer();
    void OnMatrixItemChanged(QTableWidgetItem* item);
    void OnComponentClicked(int row);
    void OnInternalFrameClicked(int row);
    void AfterFrameEdit(bool refill);
    void UpdateKeyFramesMenu();
    void UpdateComponentsMenu();
    void SetCaption(const std::string& name);
    std::string CurrentBoneName() const;
    void PlayQueuedState();
    void ShowMoveState();

    TModelDocument& document_;
    std::unique_ptr<TAnimation> animation_;
    TMoveStateWalker walker_;
    std::function<std::optional<std::string>()> pickArchiveFile_;
    std::function<void(TViewAnimationCommands)> showToolBar_;
    unsigned toolBarMask_ = ~0u;
    bool restoreEnabled_ = false;
    int filling_ = 0;  // > 0 while the window fills its own controls

    QTabWidget* PageControl1 = nullptr;
    QListWidget* ListBox_Frames = nullptr;
    QListWidget* ListBox_Components = nullptr;
    QLabel* StaticText_Transform = nullptr;
    QTableWidget* StringGrid_Matrix = nullptr;
    QCheckBox* CheckBox_TotalMove = nullptr;
    QLabel* Label_TotalMove = nullptr;
    QPushButton* Button_Load = nullptr;
    QPushButton* Button_Browse = nullptr;
    QPushButton* Button_Create = nullptr;
    QPushButton* Button_SaveAs = nullptr;
    QListWidget* ListBox_Animation = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Label_Time = nullptr;
    QCheckBox* CheckBox_Looped = nullptr;
    QCheckBox* CheckBox_BackDirection = nullptr;
    QPushButton* Button_Play = nullptr;
    QPushButton* Button_Stop = nullptr;
    QPushButton* Button_Pause = nullptr;
    QLabel* Label_State = nullptr;
    QLabel* Label_File = nullptr;
    QLabel* Label_Actions = nullptr;
    QListWidget* ListBox_Actions = nullptr;
    QPushButton* Button_ActionBack = nullptr;
    QPushButton* Button_ActionForward = nullptr;
    QPushButton* Button_Reset = nullptr;
    QPushButton* Button_Close = nullptr;
    QPushButton* Button_Restore = nullptr;
    QTimer* Timer_Animation = nullptr;
    QMenu* PopupMenu_KeyFrames = nullptr;
    QMenu* PopupMenu_Components = nullptr;
};

}  // namespace mc
