// The animation window: playback rules (looping, direction, the queued move
// state), the button states of this window and the model view's tool bar,
// the matrix grid, the pop-up menus, files with the modified question, the
// move states of the demo game, real animations, and the whole window tried
// as a user would on the demo game (with screenshots).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeView>
#include <QTabWidget>
#include <QTimer>
#include <cmath>
#include <fstream>
#include <memory>

#include "Animation/Animation.h"
#include "Animation_F.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "DemoAnimation.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "GuiServices.h"
#include "MPreview_F.h"
#include "Main_F.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "ModelDocument.h"
#include "PbListModel.h"
#include "Pb_F.h"
#include "PreviewSurface.h"
#include "ProgramWindows.h"
#include "View_F.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

template <class T> T* Child(const QObject& form, const char* name) { return form.findChild<T*>(QLatin1String(name)); }

QAction* MenuAction(const QMenu* menu, const char* name) { return menu->findChild<QAction*>(QLatin1String(name)); }

// The tool bar's buttons as the model view would enable them.
struct TToolBarSpy {
    TViewAnimationCommands Commands;
    int Calls = 0;
    QString Enabled() const
    {
        QString s;
        for (const auto& [f, c] : {std::pair{&Commands.Reset, 'R'}, {&Commands.Play, 'P'}, {&Commands.Pause, 'p'},
                                   {&Commands.Stop, 'S'}, {&Commands.First, 'F'}, {&Commands.Previous, '<'},
                                   {&Commands.Next, '>'}, {&Commands.Last, 'L'}})
            if (*f) s += QLatin1Char(c);
        return s;
    }
};

std::string SaveToFile(const TAnimation& animation, const fs::path& path)
{
    TFileStream s;
    if (!s.Open(PathToUtf8(path), TFileStream::Mode::Create)) return {};
    animation.SaveToStream(s);
    return PathToUtf8(path);
}

}  // namespace

class AnimationFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> dialogs_;
    std::unique_ptr<TGameData> game_;
    std::unique_ptr<TModelDocument> document_;
    std::unique_ptr<TAnimationForm> form_;
    TToolBarSpy toolBar_;

    // A window on a document holding the two-bone arm, with the arm's
    // animation attached.
    TAnimationForm& ArmForm(bool attach = true)
    {
        game_ = std::make_unique<TGameData>();
        document_ = std::make_unique<TModelDocument>(*game_);
        document_->SetModel(demo::MakeTwoBoneModel(), "arm.p3d");
        form_ = std::make_unique<TAnimationForm>(*document_);
        toolBar_ = {};
        form_->SetToolBar([this](TViewAnimationCommands c) {
            toolBar_.Commands = std::move(c);
            ++toolBar_.Calls;
        });
        if (attach) form_->Attach(demo::MakeTwoBoneAnimation());
        return *form_;
    }

    // The window on the demo game's data, its configuration loaded.
    TAnimationForm& DemoGameForm()
    {
        game_ = std::make_unique<TGameData>();
        game_->GameFolder = PathToUtf8(DemoGameDir());
        OpenGameData(*game_);
        document_ = std::make_unique<TModelDocument>(*game_);
        document_->SetModel(demo::MakeTwoBoneModel(), "arm.p3d");
        form_ = std::make_unique<TAnimationForm>(*document_);
        return *form_;
    }

    Vector3 ArmPoint(int vertex) const { return document_->Model()->LOD(0)->Positions[size_t(vertex)]; }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<mc::TModelComponent*>();
        SetAppServices(&GuiServices());
        dialogs_ = std::make_unique<TScriptedDialogs>();
        SetDialogs(dialogs_.get());
    }

    void cleanup()
    {
        form_.reset();
        document_.reset();
        game_.reset();
        dialogs_->Calls.clear();
    }

    void cleanupTestCase()
    {
        SetDialogs(nullptr);
        dialogs_.reset();
        SetAppServices(nullptr);
    }

    void attachShowsFramesBonesAndFrameZero()
    {
        TAnimationForm& form = ArmForm();
        auto* frames = Child<QListWidget>(form, "ListBox_Frames");
        QCOMPARE(frames->count(), 3);
        QCOMPARE(frames->item(1)->text(), QStringLiteral("0.500000 (1)"));
        QCOMPARE(Child<QListWidget>(form, "ListBox_Components")->count(), 2);
        QCOMPARE(Child<QLabel>(form, "Label_TotalMove")->text(), QStringLiteral("0.000000 0.000000 4.000000"));
        QCOMPARE(form.CurrentFrame(), 0);
        QVERIFY(document_->Model()->AnimationActive);
        QVERIFY(Child<QPushButton>(form, "Button_Restore")->isEnabled());
        QCOMPARE(toolBar_.Enabled(), QStringLiteral("RPSF<>L"));
        // Without a bone the grid is empty and disabled.
        auto* grid = Child<QTableWidget>(form, "StringGrid_Matrix");
        QVERIFY(!grid->isEnabled());
        QCOMPARE(Child<QLabel>(form, "StaticText_Transform")->text(), QStringLiteral("Transformation matrix: "));
        // A bone shows its matrix with Total Move applied; the fourth column is fixed.
        form.SelectBone(1);
        form.Last();
        QVERIFY(grid->isEnabled());
        QCOMPARE(Child<QLabel>(form, "StaticText_Transform")->text(),
                 QStringLiteral("Transformation matrix: \"Bone2\""));
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("4.000"));
        QCOMPARE(grid->item(3, 3)->text(), QStringLiteral("1.000"));
        QCOMPARE(grid->item(0, 2)->text(), QStringLiteral("-1.000"));  // x turned to -z
        // The bone's pose: vertex 7, (0, 2, 0) of bone2 only, turned about +Y
        // stays on the axis, moved by the total move.
        QVERIFY(std::fabs(ArmPoint(7).z - 4) < 1e-5f);

        // Nothing attached: lists and label emptied, the rest pose back.
        form.Attach(nullptr);
        QCOMPARE(frames->count(), 0);
        QVERIFY(Child<QLabel>(form, "Label_TotalMove")->text().isEmpty());
        QVERIFY(!document_->Model()->AnimationActive);
        QCOMPARE(ArmPoint(7).z, 0.0f);
        QCOMPARE(toolBar_.Enabled(), QString());
        QVERIFY(!Child<QPushButton>(form, "Button_SaveAs")->isEnabled());
    }

    void steppingLoopsOrStops()
    {
        TAnimationForm& form = ArmForm();
        auto* looped = Child<QCheckBox>(form, "CheckBox_Looped");
        QVERIFY(looped->isChecked());
        form.Previous();  // from 0 with Looped: the last frame
        QCOMPARE(form.CurrentFrame(), 2);
        form.Next();  // and round again
        QCOMPARE(form.CurrentFrame(), 0);

        // "Back" with Looped off stops at frame 0.
        looped->setChecked(false);
        Child<QCheckBox>(form, "CheckBox_BackDirection")->setChecked(true);
        Child<QSlider>(form, "TrackBar1")->setValue(1);
        form.Last();
        form.Play();
        QVERIFY(form.IsPlaying());
        QCOMPARE(toolBar_.Enabled(), QStringLiteral("RpSF<>L"));
        QVERIFY(!Child<QPushButton>(form, "Button_Play")->isEnabled());
        QVERIFY(Child<QPushButton>(form, "Button_Pause")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!form.IsPlaying(), 3000);
        QCOMPARE(form.CurrentFrame(), 0);
        QCOMPARE(toolBar_.Enabled(), QStringLiteral("RPSF<>L"));
        // Forward without Looped stops at the end and shows frame 0 again.
        form.Last();
        form.Next();
        QVERIFY(!form.IsPlaying());
        QCOMPARE(form.CurrentFrame(), 0);

        // The list's keys wrap only with Looped.
        auto* frames = Child<QListWidget>(form, "ListBox_Frames");
        QTest::keyClick(frames, Qt::Key_Up);
        QCOMPARE(form.CurrentFrame(), 0);
        looped->setChecked(true);
        QTest::keyClick(frames, Qt::Key_Up);
        QCOMPARE(form.CurrentFrame(), 2);
        QTest::keyClick(frames, Qt::Key_Down);
        QCOMPARE(form.CurrentFrame(), 0);
        QVERIFY(document_->Model()->AnimationActive);

        // Restore: the rest pose exactly, frame 0 current, Reset disabled.
        form.Last();
        const Vector3 rest{0, 2, 0};
        QVERIFY(!(ArmPoint(7) == rest));
        form.Reset();
        QVERIFY(ArmPoint(7) == rest);
        QVERIFY(!document_->Model()->AnimationActive);
        QCOMPARE(form.Animation()->CurrentFrameIndex, 0);
        QVERIFY(!Child<QPushButton>(form, "Button_Restore")->isEnabled());
        QCOMPARE(toolBar_.Enabled(), QStringLiteral("PSF<>L"));
    }

    void trackBarAndDurationSetTheInterval()
    {
        TAnimationForm& form = ArmForm();
        auto* bar = Child<QSlider>(form, "TrackBar1");
        auto* label = Child<QLabel>(form, "Label_Time");
        QCOMPARE(bar->value(), 10);
        QCOMPARE(form.TimerInterval(), 100);
        QCOMPARE(label->text(), QStringLiteral("One frame duration: 0.10 (Sec)."));
        bar->setValue(37);
        QCOMPARE(form.TimerInterval(), 370);
        QCOMPARE(label->text(), QStringLiteral("One frame duration: 0.37 (Sec)."));
        // A whole pass of 1 s over the three frames.
        form.SetAnimationDuration(1.0f);
        QCOMPARE(bar->value(), 33);
        QCOMPARE(form.TimerInterval(), 333);
        QCOMPARE(label->text(), QStringLiteral("One frame duration: 0.33 (Sec)."));
    }

    void editedCellStoresTheShownMatrix()
    {
        TAnimationForm& form = ArmForm();
        form.SelectBone(0);
        form.Last();  // time 1: Total Move (0, 0, 4) shown in full
        auto* grid = Child<QTableWidget>(form, "StringGrid_Matrix");
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("4.000"));
        QSignalSpy poses(document_.get(), &TModelDocument::PoseChanged);
        form.Animation()->Modified = false;
        grid->item(0, 0)->setText(QStringLiteral("2"));  // as typed and committed
        const TMatrix4& stored = form.Animation()->Frame(2)->Matrices[0];
        QCOMPARE(stored.m[0][0], 2.0f);
        // The offset translation went into the frame with it.
        QCOMPARE(stored.m[3][2], 4.0f);
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("8.000"));
        QCOMPARE(poses.count(), 1);
        QVERIFY(form.Animation()->Modified);

        // Without Total Move the stored value is shown as it is.
        Child<QCheckBox>(form, "CheckBox_TotalMove")->setChecked(false);
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("4.000"));
        grid->item(3, 0)->setText(QStringLiteral("0.5"));
        QCOMPARE(form.Animation()->Frame(2)->Matrices[0].m[3][2], 4.0f);
        QCOMPARE(form.Animation()->Frame(2)->Matrices[0].m[3][0], 0.5f);

        // Not a number: the stored value comes back, nothing changes.
        grid->item(1, 1)->setText(QStringLiteral("one"));
        QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("1.000"));
        QCOMPARE(form.Animation()->Frame(2)->Matrices[0].m[1][1], 1.0f);
        QVERIFY(!(grid->item(0, 3)->flags() & Qt::ItemIsEditable));
    }

    void componentClickSelectsTheNamedSelection()
    {
        TAnimationForm& form = ArmForm();
        QSignalSpy selected(document_.get(), &TModelDocument::ComponentSelected);
        form.SelectBone(1);
        QCOMPARE(selected.count(), 1);
        const TLOD& lod = *document_->Model()->LOD(0);
        QCOMPARE(int(lod.ComponentSelected[1]), 1);
        QCOMPARE(int(lod.ComponentSelected[0]), 0);
    }

    void keyFrameMenuEditsFrames()
    {
        TAnimationForm& form = ArmForm(false);
        QMenu* menu = form.KeyFramesMenu();
        for (const char* name : {"MenuItem_Frames_Add", "MenuItem_Frames_Reset", "MenuItem_Frames_Delete",
                                 "MenuItem_Frames_Clear"})
            QVERIFY2(!MenuAction(menu, name)->isEnabled(), name);  // no animation
        form.Attach(demo::MakeTwoBoneAnimation());
        form.Play();
        form.KeyFramesMenu();
        QVERIFY(!MenuAction(menu, "MenuItem_Frames_Add")->isEnabled());  // playing
        form.Pause();
        form.KeyFramesMenu();
        QVERIFY(MenuAction(menu, "MenuItem_Frames_Add")->isEnabled());
        QVERIFY(!MenuAction(menu, "MenuItem_Frames_CopyPrev")->isEnabled());  // frame 0

        auto* frames = Child<QListWidget>(form, "ListBox_Frames");
        MenuAction(menu, "MenuItem_Frames_Add")->trigger();
        QCOMPARE(frames->count(), 4);
        QCOMPARE(frames->item(1)->text(), QStringLiteral("0.333333 (1)"));
        QVERIFY(form.Animation()->Modified);

        // Copy the previous frame over frame 2, then reset it.
        form.SelectFrame(2);
        form.KeyFramesMenu();
        MenuAction(menu, "MenuItem_Frames_CopyPrev")->trigger();
        QVERIFY(form.Animation()->Frame(2)->Matrices[1].m[3][2] == 3.0f);
        QCOMPARE(form.CurrentFrame(), 2);
        MenuAction(menu, "MenuItem_Frames_Reset")->trigger();
        QCOMPARE(form.Animation()->Frame(2)->Matrices[1].m[3][2], 0.0f);

        MenuAction(menu, "MenuItem_Frames_Delete")->trigger();
        QCOMPARE(frames->count(), 3);
        QCOMPARE(form.CurrentFrame(), 2);
        QCOMPARE(frames->item(2)->text(), QStringLiteral("1.000000 (2)"));
        MenuAction(menu, "MenuItem_Frames_Clear")->trigger();
        QCOMPARE(frames->count(), 0);
        form.KeyFramesMenu();
        QVERIFY(!MenuAction(menu, "MenuItem_Frames_Clear")->isEnabled());
        QVERIFY(!MenuAction(menu, "MenuItem_Frames_Delete")->isEnabled());
        QCOMPARE(toolBar_.Enabled().contains(QLatin1Char('F')), false);
    }

    void componentMenuAddsPerLODAndEditsBones()
    {
        TAnimationForm& form = ArmForm(false);
        form.CreateAnimation();
        QMenu* menu = form.ComponentsMenu();
        auto* add = menu->findChild<QMenu*>(QStringLiteral("MenuItem_Components_Add"));
        QVERIFY(add->isEnabled());
        QMenu* lod0 = add->findChild<QMenu*>(QStringLiteral("MenuItem_Components_Add_0"));
        QVERIFY(lod0);
        QCOMPARE(lod0->title(), QString::fromStdString(LODName(1.0f)));
        QCOMPARE(lod0->actions().size(), 2);
        QCOMPARE(lod0->actions()[0]->text(), QStringLiteral("&bone1"));
        QVERIFY(!MenuAction(menu, "MenuItem_Components_Delete")->isEnabled());  // no bone selected

        lod0->actions()[1]->trigger();
        QCOMPARE(form.Animation()->BoneNames(), std::vector<std::string>{"bone2"});
        form.ComponentsMenu();
        lod0 = add->findChild<QMenu*>(QStringLiteral("MenuItem_Components_Add_0"));
        QCOMPARE(lod0->actions().size(), 1);  // only the bone not yet added
        lod0->actions()[0]->trigger();
        form.ComponentsMenu();
        // Every selection is a bone: the LOD's sub-menu is there, disabled.
        QVERIFY(add->isEnabled());
        QVERIFY(!add->findChild<QMenu*>(QStringLiteral("MenuItem_Components_Add_0"))->isEnabled());

        // Two frames; bone2 of frame 1 edited, then copied back from frame 0.
        form.KeyFramesMenu();
        MenuAction(form.KeyFramesMenu(), "MenuItem_Frames_Add")->trigger();
        MenuAction(form.KeyFramesMenu(), "MenuItem_Frames_Add")->trigger();
        form.SelectFrame(1);
        form.SelectBone(0);
        QCOMPARE(form.Animation()->BoneName(0), std::string("bone2"));
        Child<QCheckBox>(form, "CheckBox_TotalMove")->setChecked(false);
        Child<QTableWidget>(form, "StringGrid_Matrix")->item(3, 1)->setText(QStringLiteral("1.5"));
        QCOMPARE(form.Animation()->Frame(1)->Matrices[0].m[3][1], 1.5f);
        form.ComponentsMenu();
        QVERIFY(MenuAction(menu, "MenuItem_Components_CopyPrev")->isEnabled());
        MenuAction(menu, "MenuItem_Components_CopyPrev")->trigger();
        QCOMPARE(form.Animation()->Frame(1)->Matrices[0].m[3][1], 0.0f);
        MenuAction(menu, "MenuItem_Components_Delete")->trigger();
        QCOMPARE(form.Animation()->BoneNames(), std::vector<std::string>{"bone1"});
        QCOMPARE(Child<QListWidget>(form, "ListBox_Components")->count(), 1);
        form.SelectBone(0);
        form.ComponentsMenu();
        MenuAction(menu, "MenuItem_Components_Clear")->trigger();
        QCOMPARE(form.Animation()->BoneCount(), 0);
        QCOMPARE(form.Animation()->FrameCount(), 2);
    }

    void internalPagePlaysStoredFrames()
    {
        TAnimationForm& form = ArmForm(false);
        auto* list = Child<QListWidget>(form, "ListBox_Animation");
        form.LODChanged();
        QVERIFY(!list->isEnabled());
        TLOD& lod = *document_->Model()->LOD(0);
        auto frame = std::make_unique<TFrame>(&lod);
        frame->Time = 0.25f;
        frame->Positions.assign(lod.Positions.size(), Vector3{0, 0, 7});
        lod.Frames.push_back(std::move(frame));
        form.LODChanged();
        QVERIFY(list->isEnabled());
        QCOMPARE(list->item(0)->text(), QStringLiteral("0.250000"));
        QSignalSpy poses(document_.get(), &TModelDocument::PoseChanged);
        emit list->itemClicked(list->item(0));
        QCOMPARE(ArmPoint(0).z, 7.0f);
        QCOMPARE(poses.count(), 1);
        QVERIFY(Child<QPushButton>(form, "Button_Restore")->isEnabled());
        QCOMPARE(toolBar_.Enabled(), QStringLiteral("R"));
        // Another LOD chosen: the stored frame's pose still wants Restore.
        form.LODChanged();
        QVERIFY(Child<QPushButton>(form, "Button_Restore")->isEnabled());
        form.Reset();
        QCOMPARE(ArmPoint(0).z, 0.0f);
        QCOMPARE(toolBar_.Enabled(), QString());
        // A model opened in place of a posed one has nothing to restore.
        emit list->itemClicked(list->item(0));
        document_->SetModel(demo::MakeTwoBoneModel(), "other.p3d");
        form.LODChanged();
        QVERIFY(!Child<QPushButton>(form, "Button_Restore")->isEnabled());
        // The model goes: nothing stays to restore.
        document_->ClearModel();
        form.ModelClearedNotify();
        QVERIFY(!list->isEnabled());
    }

    void filesAskBeforeDroppingAnEdit()
    {
        TAnimationForm& form = ArmForm(false);
        const fs::path dir = TempDir("files");
        const std::string arm = SaveToFile(*demo::MakeTwoBoneAnimation(), dir / "arm.rtm");
        dialogs_->OpenFiles.push_back(QString::fromStdString(arm));
        Child<QPushButton>(form, "Button_Load")->click();
        QCOMPARE(form.windowTitle(), QStringLiteral("Animation - %1").arg(QString::fromStdString(arm)));
        QVERIFY(form.Animation() && !form.Animation()->Modified);
        QCOMPARE(form.Animation()->FrameCount(), 3);

        // Create over an unmodified animation asks nothing.
        Child<QPushButton>(form, "Button_Create")->click();
        QVERIFY(dialogs_->Calls.filter(QStringLiteral("question")).isEmpty());
        QCOMPARE(form.Animation()->FrameCount(), 0);
        QCOMPARE(form.windowTitle(), QStringLiteral("Animation"));

        // A new animation counts as modified: Cancel keeps it, No drops it.
        TAnimation* created = form.Animation();
        dialogs_->Answers.push_back(TAnswer::Cancel);
        form.LoadAnimation(arm);
        QCOMPARE(form.Animation(), created);
        QCOMPARE(dialogs_->Calls.last(),
                 QStringLiteral("question: Animation was modified. Do you want so save changes?"));
        dialogs_->Answers.push_back(TAnswer::No);
        form.LoadAnimation(arm);
        QCOMPARE(form.Animation()->FrameCount(), 3);

        // Yes saves through the save dialog first; a cancelled save keeps it.
        MenuAction(form.KeyFramesMenu(), "MenuItem_Frames_Add")->trigger();
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(std::nullopt);
        QVERIFY(!form.QueryDropAnimation());
        const std::string saved = PathToUtf8(dir / "four.rtm");
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        form.CreateAnimation();
        QCOMPARE(form.Animation()->FrameCount(), 0);
        dialogs_->Answers.push_back(TAnswer::No);  // the new one counts as modified
        form.LoadAnimation(saved);
        QCOMPARE(form.Animation()->FrameCount(), 4);
        QVERIFY(std::fabs(form.Animation()->Frame(1)->Time - 1.0f / 3.0f) < 1e-6f);

        // A file that does not load leaves nothing attached.
        std::ofstream(dir / "bad.rtm") << "RTM_0102";
        form.LoadAnimation(PathToUtf8(dir / "bad.rtm"));
        QVERIFY(!form.Animation());
        QCOMPARE(form.windowTitle(), QStringLiteral("Animation"));
        // Truncated: the read error reaches the user.
        std::ofstream(dir / "short.rtm") << "RTM_0101";
        form.LoadAnimation(PathToUtf8(dir / "short.rtm"));
        QVERIFY(!form.Animation());
        QVERIFY(dialogs_->Calls.last().startsWith(QLatin1String("error: ")));

        // A file that cannot be made: "Error.", the target left alone.
        form.LoadAnimation(arm);
        QVERIFY(!form.SaveAnimationAs(PathToUtf8(dir / "no" / "such" / "x.rtm")));
        QCOMPARE(dialogs_->Calls.last(), QStringLiteral("error: Error."));
    }

    void moveStatesOfTheDemoGame()
    {
        if (!fs::exists(DemoGameDir() / "Dta" / "anim.pbo")) QSKIP("demo game not built");
        TAnimationForm& form = DemoGameForm();
        auto* state = Child<QLabel>(form, "Label_State");
        auto* actions = Child<QListWidget>(form, "ListBox_Actions");
        auto* back = Child<QPushButton>(form, "Button_ActionBack");
        auto* forward = Child<QPushButton>(form, "Button_ActionForward");
        const auto selectAction = [&](const QString& name) {
            const auto found = actions->findItems(name, Qt::MatchExactly);
            QVERIFY2(!found.isEmpty(), qPrintable(name));
            actions->setCurrentItem(found.first());
        };
        Child<QPushButton>(form, "Button_Reset")->click();
        QCOMPARE(state->text(), QStringLiteral("State: \"Combat\""));
        QCOMPARE(Child<QLabel>(form, "Label_File")->text(), QStringLiteral("File: \"armrest.rtm\""));
        QCOMPARE(Child<QLabel>(form, "Label_Actions")->text(), QStringLiteral("Actions: \"CombatActions\""));
        QCOMPARE(form.windowTitle(), QStringLiteral("Animation - anim\\armrest.rtm"));
        QVERIFY(!form.IsPlaying());  // held still (1e10)
        QCOMPARE(actions->count(), 6);
        QVERIFY(!back->isEnabled());
        QVERIFY(!forward->isEnabled());

        // A positive speed does not start playing.
        selectAction(QStringLiteral("pose"));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(state->text(), QStringLiteral("State: \"ArmPose\""));
        QCOMPARE(form.Animation()->FrameCount(), 20);
        QVERIFY(!form.IsPlaying());
        QVERIFY(back->isEnabled());

        // An add-on animation named by its full game path.
        selectAction(QStringLiteral("wave"));
        forward->click();
        QCOMPARE(form.windowTitle(), QStringLiteral("Animation - \\demo\\anims\\arm.rtm"));
        QVERIFY(form.IsPlaying());
        QCOMPARE(form.TimerInterval(), 400);  // 1.2 s over 3 frames

        // Back twice returns to Combat.
        back->click();
        QCOMPARE(state->text(), QStringLiteral("State: \"ArmPose\""));
        back->click();
        QCOMPARE(state->text(), QStringLiteral("State: \"Combat\""));
        QVERIFY(!back->isEnabled());

        // Up from Combat: the transition CombatToArmUp first (speed -2 on
        // 20 frames: 0.10 s a frame, not looped), the state in red while
        // ArmUp waits, then ArmUp.
        selectAction(QStringLiteral("up"));
        emit actions->itemDoubleClicked(actions->currentItem());
        QCOMPARE(state->text(), QStringLiteral("State: \"CombatToArmUp\""));
        QCOMPARE(form.Walker().Queued(), std::string("ArmUp"));
        QCOMPARE(state->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(Child<QLabel>(form, "Label_Time")->text(), QStringLiteral("One frame duration: 0.10 (Sec)."));
        QCOMPARE(form.TimerInterval(), 100);
        QVERIFY(form.IsPlaying());
        QVERIFY(!Child<QCheckBox>(form, "CheckBox_Looped")->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(state->text(), QStringLiteral("State: \"ArmUp\""), 6000);
        QVERIFY(state->palette().color(QPalette::WindowText) != QColor(Qt::red));
        QVERIFY(form.IsPlaying());
        QVERIFY(Child<QCheckBox>(form, "CheckBox_Looped")->isChecked());
        QCOMPARE(form.Walker().History(), (std::vector<std::string>{"Combat", "CombatToArmUp"}));
        // The empty "up" of ArmUpActions hides nothing: "up" is inherited.
        QVERIFY(!actions->findItems(QStringLiteral("up"), Qt::MatchExactly).isEmpty());
        QVERIFY(!actions->findItems(QStringLiteral("down"), Qt::MatchExactly).isEmpty());

        // A state that does not exist shows its name with nothing else.
        form.PlayMoveState("NoSuchState");
        QCOMPARE(state->text(), QStringLiteral("State: \"NoSuchState\""));
        QCOMPARE(Child<QLabel>(form, "Label_File")->text(), QStringLiteral("File: \"\""));
        QCOMPARE(actions->count(), 0);
        Child<QPushButton>(form, "Button_Reset")->click();
        QVERIFY(!back->isEnabled());
        QCOMPARE(state->text(), QStringLiteral("State: \"Combat\""));
    }

    void realAnimationsLoadPlayAndSave_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("bones");
        QTest::newRow("ofp_kop8") << QStringLiteral("rtm/ofp_kop8.rtm") << 25;
        QTest::newRow("a3_agm_fastroping") << QStringLiteral("rtm/a3_agm_fastroping.rtm") << -1;
    }

    void realAnimationsLoadPlayAndSave()
    {
        QFETCH(QString, file);
        QFETCH(int, bones);
        const fs::path path = RealFile(file.toStdString());
        if (path.empty()) QSKIP("real file absent");
        TAnimationForm& form = ArmForm(false);
        form.LoadAnimation(PathToUtf8(path));
        QVERIFY(form.Animation());
        if (bones >= 0) QCOMPARE(form.Animation()->BoneCount(), bones);
        const int frames = form.Animation()->FrameCount();
        QVERIFY(frames > 1);
        QCOMPARE(Child<QListWidget>(form, "ListBox_Frames")->count(), frames);
        Child<QSlider>(form, "TrackBar1")->setValue(1);
        Child<QCheckBox>(form, "CheckBox_Looped")->setChecked(false);
        form.Play();
        QTRY_VERIFY_WITH_TIMEOUT(!form.IsPlaying(), 20000);
        const std::string copy = PathToUtf8(TempDir("real") / "copy.rtm");
        QVERIFY(form.SaveAnimationAs(copy));
        QVERIFY(!form.Animation()->Modified);
        auto again = TAnimation::LoadFromFile(copy);
        QVERIFY(again);
        QCOMPARE(again->FrameCount(), frames);
        QCOMPARE(again->BoneNames(), form.Animation()->BoneNames());
        for (int f = 0; f < frames; f += std::max(1, frames / 7))
            for (int b = 0; b < again->BoneCount(); ++b)
                for (int r = 0; r < 4; ++r)
                    for (int c = 0; c < 3; ++c)
                        QCOMPARE(again->Frame(f)->Matrices[size_t(b)].m[r][c],
                                 form.Animation()->Frame(f)->Matrices[size_t(b)].m[r][c]);
    }

    // The whole window on the demo game, as a new user meets it.
    void demoGameAsANewUser()
    {
        if (!fs::exists(DemoGameDir() / "Dta" / "anim.pbo")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", QByteArray::fromStdString(PathToUtf8(DemoGameDir())));
        TProgram program;
        TMainForm& main = program.MainWindow();
        StartQuietly(main, *dialogs_);
        qunsetenv("MESHCRAFT_GAME_DIR");
        QVERIFY(main.OpenModel("\\demo\\arm.p3d", TModelSource::Archive));
        auto* view = main.findChild<TViewForm*>();
        auto* preview = main.findChild<TMPreviewForm*>();
        auto* pb = main.findChild<TPbForm*>();
        auto* form = main.findChild<TAnimationForm*>();
        QVERIFY(view && preview && pb && form);
        main.Action("MenuItem_View_Model")->trigger();
        main.Action("MenuItem_View_Preview")->trigger();
        QAction* f4 = main.Action("MenuItem_View_Animation");
        QVERIFY(f4->isEnabled());
        QCOMPARE(f4->shortcut(), QKeySequence(Qt::Key_F4));
        f4->trigger();
        QVERIFY(form->isVisible());
        QCOMPARE(Child<QTabWidget>(*form, "PageControl1")->tabText(
                     Child<QTabWidget>(*form, "PageControl1")->currentIndex()),
                 QStringLiteral("In-Game"));
        auto* viewPlay = Child<QToolButton>(*view, "ToolButton_AnimationPlay");
        QVERIFY(!viewPlay->isEnabled());

        // Browse: the archive manager picks the add-on's animation.
        QTimer::singleShot(0, pb, [pb] {
            for (int i = 0; i < pb->TreeView->topLevelItemCount(); ++i) {
                QTreeWidgetItem* top = pb->TreeView->topLevelItem(i);
                if (!top->text(0).contains(QLatin1String("demo"))) continue;
                for (int k = 0; k < top->childCount(); ++k)
                    if (top->child(k)->text(0) == QLatin1String("anims")) pb->TreeView->setCurrentItem(top->child(k));
            }
            for (int row = 0; row < pb->ListModel()->rowCount(); ++row)
                if (pb->ListModel()->index(row, 0).data().toString() == QLatin1String("arm.rtm"))
                    pb->ListView->setCurrentIndex(pb->ListModel()->index(row, 0));
            pb->Button_Ok->click();
        });
        Child<QTabWidget>(*form, "PageControl1")->setCurrentIndex(0);
        Child<QPushButton>(*form, "Button_Browse")->click();
        QVERIFY(form->Animation());
        QCOMPARE(form->windowTitle(), QStringLiteral("Animation - \\demo\\anims\\arm.rtm"));
        QVERIFY(viewPlay->isEnabled());

        // The view's tool bar steps it; the pose reaches the view and the preview.
        QSignalSpy poses(&program.Document(), &TModelDocument::PoseChanged);
        Child<QToolButton>(*view, "ToolButton_AnimationNext")->click();
        QCOMPARE(form->CurrentFrame(), 1);
        QCOMPARE(poses.count(), 1);
        const TLOD& lod = *program.Document().Model()->LOD(0);
        // Vertex 4 lies on the edge both bones move (+1 and +3, and the total
        // move's half, +2): the average.
        QVERIFY(std::fabs(lod.Positions[4].z - 4.0f) < 1e-5f);
        Child<QToolButton>(*view, "ToolButton_AnimationLast")->click();
        QCOMPARE(form->CurrentFrame(), 2);
        Child<QToolButton>(*view, "ToolButton_AnimationPrev")->click();
        Child<QToolButton>(*view, "ToolButton_AnimationFirst")->click();
        QCOMPARE(form->CurrentFrame(), 0);
        viewPlay->click();
        QVERIFY(form->IsPlaying());
        QVERIFY(Child<QToolButton>(*view, "ToolButton_AnimationPause")->isEnabled());
        Child<QToolButton>(*view, "ToolButton_AnimationPause")->click();
        QVERIFY(!form->IsPlaying());
        Child<QPushButton>(*form, "Button_Play")->click();
        QVERIFY(form->IsPlaying());
        Child<QPushButton>(*form, "Button_Stop")->click();
        QVERIFY(!form->IsPlaying());
        QCOMPARE(form->CurrentFrame(), 0);
        form->SelectFrame(1);
        form->SelectBone(1);
        // The arm's quads face one way: both sides shown, as a user would set it.
        auto* cull = Child<QComboBox>(*view, "ComboBox_CullMode");
        cull->setCurrentIndex(0);  // the empty entry: no culling
        Child<QRadioButton>(*preview, "RadioButton_CullMode_None")->click();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        SaveScreenshot(form, QStringLiteral("animation-external"));
        SaveScreenshot(view, QStringLiteral("animation-view-posed"));
        QTRY_VERIFY(preview->Surface()->PolygonsDrawn() > 0);
        QApplication::processEvents();
        preview->Surface()->grabFramebuffer().save(QStringLiteral(MESHCRAFT_SCREENSHOT_DIR) +
                                                   QStringLiteral("/animation-preview-posed.png"));

        // Edit a cell, add a key frame and a bone, save and load again.
        Child<QTableWidget>(*form, "StringGrid_Matrix")->item(3, 0)->setText(QStringLiteral("0.25"));
        MenuAction(form->KeyFramesMenu(), "MenuItem_Frames_Add")->trigger();
        QCOMPARE(form->Animation()->FrameCount(), 4);
        const std::string saved = PathToUtf8(TempDir("demo-user") / "arm2.rtm");
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        Child<QPushButton>(*form, "Button_SaveAs")->click();
        QVERIFY(fs::exists(saved));
        dialogs_->OpenFiles.push_back(QString::fromStdString(saved));
        Child<QPushButton>(*form, "Button_Load")->click();
        QCOMPARE(form->Animation()->FrameCount(), 4);
        QCOMPARE(form->Animation()->Frame(1)->Matrices[1].m[3][0], 0.25f);

        // The In-Game page on the demo configuration.
        Child<QTabWidget>(*form, "PageControl1")->setCurrentIndex(3);
        Child<QPushButton>(*form, "Button_Reset")->click();
        auto* actions = Child<QListWidget>(*form, "ListBox_Actions");
        actions->setCurrentItem(actions->findItems(QStringLiteral("up"), Qt::MatchExactly).value(0));
        Child<QPushButton>(*form, "Button_ActionForward")->click();
        QVERIFY(form->IsPlaying());
        form->Pause();
        form->SelectFrame(12);
        SaveScreenshot(form, QStringLiteral("animation-ingame"));
        Child<QTabWidget>(*form, "PageControl1")->setCurrentIndex(2);
        SaveScreenshot(form, QStringLiteral("animation-control"));
        SaveScreenshot(view, QStringLiteral("animation-view-ingame"));

        // The close query asks about an unsaved animation.
        Child<QPushButton>(*form, "Button_Create")->click();
        dialogs_->Answers.push_back(TAnswer::Cancel);
        QVERIFY(!form->QueryDropAnimation());
        // Close only hides; the pose stays until Restore.
        Child<QPushButton>(*form, "Button_Close")->click();
        QVERIFY(!form->isVisible());
        form->Attach(nullptr);
        program.Document().ClearModel();
        QVERIFY(!viewPlay->isEnabled());
    }
};

MC_WINDOW_TEST_MAIN(AnimationFormTest)
#include "AnimationFormTest.moc"
