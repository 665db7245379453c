#include "Animation_F.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

#include "Animation/Animation.h"
#include "Config/Resources.h"
#include "Core/SafeSave.h"
#include "Core/Strings.h"
#include "Core/ValueParsing.h"
#include "Dialogs.h"
#include "Game/GameData.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelTables.h"
#include "Model/Pose.h"
#include "ModelDocument.h"
#include "View_F.h"

namespace mc {

namespace {

const char* const kModifiedQuestion = "Animation was modified. Do you want so save changes?";

QString Text(const std::string& s) { return QString::fromStdString(s); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& text)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    return a;
}

// Runs a load, turning a read error into the user's message.
template <class F> std::unique_ptr<TAnimation> GuardedLoad(QWidget* parent, F load)
{
    try {
        return load();
    } catch (const std::exception& e) {
        Dialogs().Message(parent, TMessageKind::Error, QString::fromStdString(e.what()));
        return nullptr;
    }
}

// Bits of the eight tool bar buttons in TViewAnimationCommands order.
enum : unsigned {
    kBitReset = 1,
    kBitPlay = 2,
    kBitPause = 4,
    kBitStop = 8,
    kBitFirst = 16,
    kBitPrevious = 32,
    kBitNext = 64,
    kBitLast = 128,
};

}  // namespace

TAnimationForm::TAnimationForm(TModelDocument& document, QWidget* parent) : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("AnimationForm"));
    setWindowTitle(QStringLiteral("Animation"));
    setModal(false);
    Timer_Animation = new QTimer(this);
    Timer_Animation->setObjectName(QStringLiteral("Timer_Animation"));
    connect(Timer_Animation, &QTimer::timeout, this, &TAnimationForm::OnTimer);
    CreatePages();
    CreateMenus();
    ReadTrackBar();
    resize(520, 500);
    Attach(nullptr);
}

TAnimationForm::~TAnimationForm() { Timer_Animation->stop(); }

void TAnimationForm::CreatePages()
{
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(CreateExternalPage(), QStringLiteral("External"));
    PageControl1->addTab(CreateInternalPage(), QStringLiteral("Internal"));
    PageControl1->addTab(CreateControlPage(), QStringLiteral("Control"));
    PageControl1->addTab(CreateInGamePage(), QStringLiteral("In-Game"));
    PageControl1->setCurrentIndex(3);
    layout->addWidget(PageControl1, 1);

    auto* bottom = new QHBoxLayout;
    Button_Restore = MakeButton(this, "Button_Restore", QStringLiteral("Restore"));
    Button_Close = MakeButton(this, "Button_Close", QStringLiteral("Close"));
    bottom->addStretch(1);
    bottom->addWidget(Button_Restore);
    bottom->addWidget(Button_Close);
    layout->addLayout(bottom);
    connect(Button_Restore, &QPushButton::clicked, this, &TAnimationForm::Reset);
    connect(Button_Close, &QPushButton::clicked, this, &QWidget::hide);
}

QWidget* TAnimationForm::CreateExternalPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    grid->addWidget(new QLabel(QStringLiteral("KeyFrames:"), page), 0, 0);
    ListBox_Frames = new QListWidget(page);
    ListBox_Frames->setObjectName(QStringLiteral("ListBox_Frames"));
    ListBox_Frames->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox_Frames->installEventFilter(this);
    grid->addWidget(ListBox_Frames, 1, 0);

    grid->addWidget(new QLabel(QStringLiteral("Components:"), page), 0, 1);
    ListBox_Components = new QListWidget(page);
    ListBox_Components->setObjectName(QStringLiteral("ListBox_Components"));
    ListBox_Components->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->addWidget(ListBox_Components, 1, 1);

    StaticText_Transform = new QLabel(QStringLiteral("Transformation matrix: "), page);
    StaticText_Transform->setObjectName(QStringLiteral("StaticText_Transform"));
    grid->addWidget(StaticText_Transform, 2, 0, 1, 2);
    StringGrid_Matrix = new QTableWidget(4, 4, page);
    StringGrid_Matrix->setObjectName(QStringLiteral("StringGrid_Matrix"));
    StringGrid_Matrix->horizontalHeader()->hide();
    StringGrid_Matrix->verticalHeader()->hide();
    StringGrid_Matrix->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    StringGrid_Matrix->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    StringGrid_Matrix->setFixedHeight(4 * 26 + 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // The fourth column is fixed: the file keeps three.
            if (c == 3) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            StringGrid_Matrix->setItem(r, c, item);
        }
    grid->addWidget(StringGrid_Matrix, 3, 0, 1, 2);

    auto* row = new QHBoxLayout;
    CheckBox_TotalMove = new QCheckBox(QStringLiteral("Total Move"), page);
    CheckBox_TotalMove->setObjectName(QStringLiteral("CheckBox_TotalMove"));
    CheckBox_TotalMove->setChecked(true);
    Label_TotalMove = new QLabel(page);
    Label_TotalMove->setObjectName(QStringLiteral("Label_TotalMove"));
    row->addWidget(CheckBox_TotalMove);
    row->addWidget(Label_TotalMove, 1);
    grid->addLayout(row, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    Button_Load = MakeButton(page, "Button_Load", QStringLiteral("&Load..."));
    Button_Browse = MakeButton(page, "Button_Browse", QStringLiteral("&Browse..."));
    Button_Create = MakeButton(page, "Button_Create", QStringLiteral("&Create"));
    Button_SaveAs = MakeButton(page, "Button_SaveAs", QStringLiteral("Save &As..."));
    for (QPushButton* b : {Button_Load, Button_Browse, Button_Create, Button_SaveAs}) buttons->addWidget(b);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setRowStretch(1, 1);

    connect(ListBox_Frames, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_) ShowFrame();
    });
    connect(ListBox_Components, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_) OnComponentClicked(row);
    });
    connect(ListBox_Frames, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { KeyFramesMenu()->popup(ListBox_Frames->viewport()->mapToGlobal(pos)); });
    connect(ListBox_Components, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QListWidgetItem* item = ListBox_Components->itemAt(pos)) ListBox_Components->setCurrentItem(item);
        ComponentsMenu()->popup(ListBox_Components->viewport()->mapToGlobal(pos));
    });
    connect(StringGrid_Matrix, &QTableWidget::itemChanged, this, &TAnimationForm::OnMatrixItemChanged);
    connect(CheckBox_TotalMove, &QCheckBox::toggled, this, [this](bool on) {
        if (!animation_) return;
        animation_->ApplyTotalMove = on;
        FillMatrix();
    });
    connect(Button_Load, &QPushButton::clicked, this, [this] { LoadAnimation(); });
    connect(Button_Browse, &QPushButton::clicked, this, [this] { BrowseAnimation(); });
    connect(Button_Create, &QPushButton::clicked, this, &TAnimationForm::CreateAnimation);
    connect(Button_SaveAs, &QPushButton::clicked, this, [this] { SaveAnimationAs(); });
    return page;
}

QWidget* TAnimationForm::CreateInternalPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("KeyFrames:"), page));
    ListBox_Animation = new QListWidget(page);
    ListBox_Animation->setObjectName(QStringLiteral("ListBox_Animation"));
    layout->addWidget(ListBox_Animation, 1);
    connect(ListBox_Animation, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OnInternalFrameClicked(ListBox_Animation->row(item)); });
    return page;
}

QWidget* TAnimationForm::CreateControlPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    TrackBar1 = new QSlider(Qt::Horizontal, page);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(1, 100);
    TrackBar1->setValue(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(10);
    auto* scale = new QHBoxLayout;
    scale->addWidget(new QLabel(QStringLiteral("0.01"), page));
    scale->addWidget(TrackBar1, 1);
    scale->addWidget(new QLabel(QStringLiteral("1.0"), page));
    layout->addLayout(scale);
    Label_Time = new QLabel(page);
    Label_Time->setObjectName(QStringLiteral("Label_Time"));
    layout->addWidget(Label_Time);
    CheckBox_Looped = new QCheckBox(QStringLiteral("Looped"), page);
    CheckBox_Looped->setObjectName(QStringLiteral("CheckBox_Looped"));
    CheckBox_Looped->setChecked(true);
    CheckBox_BackDirection = new QCheckBox(QStringLiteral("Back"), page);
    CheckBox_BackDirection->setObjectName(QStringLiteral("CheckBox_BackDirection"));
    layout->addWidget(CheckBox_Looped);
    layout->addWidget(CheckBox_BackDirection);
    auto* buttons = new QHBoxLayout;
    Button_Play = MakeButton(page, "Button_Play", QStringLiteral("Play"));
    Button_Pause = MakeButton(page, "Button_Pause", QStringLiteral("Pause"));
    Button_Stop = MakeButton(page, "Button_Stop", QStringLiteral("Stop"));
    for (QPushButton* b : {Button_Play, Button_Pause, Button_Stop}) buttons->addWidget(b);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(TrackBar1, &QSlider::valueChanged, this, [this] {
        if (!filling_) ReadTrackBar();
    });
    connect(Button_Play, &QPushButton::clicked, this, [this] {
        ReadTrackBar();
        Play();
    });
    connect(Button_Pause, &QPushButton::clicked, this, &TAnimationForm::Pause);
    connect(Button_Stop, &QPushButton::clicked, this, &TAnimationForm::Stop);
    return page;
}

QWidget* TAnimationForm::CreateInGamePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    Label_State = new QLabel(page);
    Label_State->setObjectName(QStringLiteral("Label_State"));
    Label_File = new QLabel(page);
    Label_File->setObjectName(QStringLiteral("Label_File"));
    Label_Actions = new QLabel(page);
    Label_Actions->setObjectName(QStringLiteral("Label_Actions"));
    for (QLabel* l : {Label_State, Label_File, Label_Actions}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
    }
    ListBox_Actions = new QListWidget(page);
    ListBox_Actions->setObjectName(QStringLiteral("ListBox_Actions"));
    // Four columns, filled top to bottom.
    ListBox_Actions->setFlow(QListView::TopToBottom);
    ListBox_Actions->setWrapping(true);
    ListBox_Actions->setResizeMode(QListView::Adjust);
    ListBox_Actions->setUniformItemSizes(true);
    layout->addWidget(ListBox_Actions, 1);
    auto* buttons = new QHBoxLayout;
    Button_ActionBack = MakeButton(page, "Button_ActionBack", QStringLiteral("Back"));
    Button_ActionForward = MakeButton(page, "Button_ActionForward", QStringLiteral("Forward"));
    Button_Reset = MakeButton(page, "Button_Reset", QStringLiteral("Reset"));
    for (QPushButton* b : {Button_ActionBack, Button_ActionForward, Button_Reset}) buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    Button_ActionBack->setEnabled(false);
    Button_ActionForward->setEnabled(false);

    connect(ListBox_Actions, &QListWidget::currentRowChanged, this,
            [this](int row) { Button_ActionForward->setEnabled(row >= 0); });
    connect(ListBox_Actions, &QListWidget::itemDoubleClicked, this, [this] { ActionForward(); });
    connect(Button_ActionForward, &QPushButton::clicked, this, &TAnimationForm::ActionForward);
    connect(Button_ActionBack, &QPushButton::clicked, this, &TAnimationForm::ActionBack);
    connect(Button_Reset, &QPushButton::clicked, this, &TAnimationForm::ActionReset);
    return page;
}

void TAnimationForm::CreateMenus()
{
    PopupMenu_KeyFrames = new QMenu(this);
    PopupMenu_KeyFrames->setObjectName(QStringLiteral("PopupMenu_KeyFrames"));
    QMenu* k = PopupMenu_KeyFrames;
    connect(MakeAction(k, "MenuItem_Frames_Add", QStringLiteral("&Add")), &QAction::triggered, this, [this] {
        animation_->AddFrame();
        animation_->Modified = true;
        RefillFrames();
        ShowFrame();
    });
    connect(MakeAction(k, "MenuItem_Frames_Reset", QStringLiteral("&Reset")), &QAction::triggered, this, [this] {
        animation_->ResetFrame(CurrentFrame());
        AfterFrameEdit(false);
    });
    QMenu* copy = k->addMenu(QStringLiteral("&Copy from"));
    copy->setObjectName(QStringLiteral("MenuItem_Frames_CopyFrom"));
    connect(MakeAction(copy, "MenuItem_Frames_CopyFirst", QStringLiteral("&First Frame")), &QAction::triggered,
            this, [this] {
                animation_->CopyFrame(0, CurrentFrame());
                AfterFrameEdit(false);
            });
    connect(MakeAction(copy, "MenuItem_Frames_CopyPrev", QStringLiteral("&Prev Frame")), &QAction::triggered,
            this, [this] {
                animation_->CopyFrame(CurrentFrame() - 1, CurrentFrame());
                AfterFrameEdit(false);
            });
    connect(MakeAction(k, "MenuItem_Frames_Delete", QStringLiteral("&Delete")), &QAction::triggered, this, [this] {
        animation_->DeleteFrame(CurrentFrame());
        AfterFrameEdit(true);
    });
    connect(MakeAction(k, "MenuItem_Frames_Clear", QStringLiteral("C&lear")), &QAction::triggered, this, [this] {
        animation_->ClearFrames();
        AfterFrameEdit(true);
    });
    connect(PopupMenu_KeyFrames, &QMenu::aboutToShow, this, &TAnimationForm::UpdateKeyFramesMenu);

    PopupMenu_Components = new QMenu(this);
    PopupMenu_Components->setObjectName(QStringLiteral("PopupMenu_Components"));
    QMenu* c = PopupMenu_Components;
    QMenu* add = c->addMenu(QStringLiteral("&Add"));
    add->setObjectName(QStringLiteral("MenuItem_Components_Add"));
    const auto boneEdit = [this](auto edit) {
        return [this, edit] {
            const std::string bone = CurrentBoneName();
            if (!animation_ || bone.empty()) return;
            edit(bone);
            animation_->Modified = true;
            RefillBones();
            AfterFrameEdit(false);
        };
    };
    connect(MakeAction(c, "MenuItem_Components_Reset", QStringLiteral("&Reset")), &QAction::triggered, this,
            boneEdit([this](const std::string& bone) {
                TAnimFrame* frame = animation_->CurrentFrame();
                const int index = animation_->BoneIndex(bone);
                if (frame && index >= 0) frame->Matrices[size_t(index)] = TMatrix4::Identity();
            }));
    QMenu* copy2 = c->addMenu(QStringLiteral("&Copy from"));
    copy2->setObjectName(QStringLiteral("MenuItem_Components_CopyFrom"));
    connect(MakeAction(copy2, "MenuItem_Components_CopyFirst", QStringLiteral("&First Frame")), &QAction::triggered,
            this, boneEdit([this](const std::string& bone) { animation_->CopyBoneMatrix(bone, 0, CurrentFrame()); }));
    connect(MakeAction(copy2, "MenuItem_Components_CopyPrev", QStringLiteral("&Prev Frame")), &QAction::triggered,
            this, boneEdit([this](const std::string& bone) {
                animation_->CopyBoneMatrix(bone, CurrentFrame() - 1, CurrentFrame());
            }));
    connect(MakeAction(c, "MenuItem_Components_Delete", QStringLiteral("&Delete")), &QAction::triggered, this,
            boneEdit([this](const std::string& bone) { animation_->DeleteBone(bone); }));
    connect(MakeAction(c, "MenuItem_Components_Clear", QStringLiteral("C&lear")), &QAction::triggered, this,
            boneEdit([this](const std::string&) { animation_->ClearBones(); }));
    connect(PopupMenu_Components, &QMenu::aboutToShow, this, &TAnimationForm::UpdateComponentsMenu);
}

TModel* TAnimationForm::Model() const { return document_.Model(); }

void TAnimationForm::SetToolBar(std::function<void(TViewAnimationCommands)> show)
{
    showToolBar_ = std::move(show);
    toolBarMask_ = ~0u;
    UpdateButtons();
}

// Playback --------------------------------------------------------------

bool TAnimationForm::IsPlaying() const { return Timer_Animation->isActive(); }

int TAnimationForm::TimerInterval() const { return Timer_Animation->interval(); }

int TAnimationForm::CurrentFrame() const { return ListBox_Frames->currentRow(); }

void TAnimationForm::ReadTrackBar()
{
    const int position = TrackBar1->value();
    Timer_Animation->setInterval(position * 10);
    Label_Time->setText(QString::asprintf("One frame duration: %.2f (Sec).", position / 100.0));
}

void TAnimationForm::SetAnimationDuration(float seconds)
{
    const int frames = animation_ && animation_->FrameCount() > 0 ? animation_->FrameCount() : 1;
    ++filling_;
    TrackBar1->setValue(int(std::lround(seconds * 100 / frames)));
    --filling_;
    Timer_Animation->setInterval(std::max(1, int(std::lround(seconds * 1000 / frames))));
    Label_Time->setText(QString::asprintf("One frame duration: %.2f (Sec).", double(seconds) / frames));
}

void TAnimationForm::OnTimer()
{
    ReadTrackBar();
    if (CheckBox_BackDirection->isChecked())
        Previous();
    else
        Next();
}

void TAnimationForm::Play()
{
    if (animation_) Timer_Animation->start();
    ShowFrame();
}

void TAnimationForm::Pause()
{
    Timer_Animation->stop();
    UpdateButtons();
}

void TAnimationForm::Stop()
{
    Timer_Animation->stop();
    if (animation_)
        SelectFrame(0);
    else
        UpdateButtons();
}

void TAnimationForm::Reset()
{
    Timer_Animation->stop();
    if (animation_) {
        animation_->CurrentFrameIndex = animation_->FrameCount() > 0 ? 0 : -1;
        RefillFrames();
        ++filling_;
        ListBox_Frames->setCurrentRow(animation_->CurrentFrameIndex);
        --filling_;
    }
    RestorePose();
    FillMatrix();
    UpdateButtons();
}

void TAnimationForm::First()
{
    if (animation_ && animation_->FrameCount() > 0) SelectFrame(0);
}

void TAnimationForm::Last()
{
    if (animation_ && animation_->FrameCount() > 0) SelectFrame(animation_->FrameCount() - 1);
}

void TAnimationForm::Previous()
{
    if (!animation_ || animation_->FrameCount() == 0) return Stop();
    int index = CurrentFrame();
    if (index < 1) {
        if (!CheckBox_Looped->isChecked()) return Stop();
        index = animation_->FrameCount() - 1;
    } else {
        --index;
    }
    SelectFrame(index);
}

void TAnimationForm::Next()
{
    if (!animation_ || animation_->FrameCount() == 0) return Stop();
    int index = CurrentFrame();
    if (index >= animation_->FrameCount() - 1) {
        if (!CheckBox_Looped->isChecked()) {
            if (!walker_.Queued().empty()) return PlayQueuedState();
            return Stop();
        }
        index = 0;
    } else {
        ++index;
    }
    SelectFrame(index);
}

void TAnimationForm::SelectFrame(int index)
{
    ++filling_;
    ListBox_Frames->setCurrentRow(index);
    --filling_;
    ShowFrame();
}

void TAnimationForm::SelectBone(int index)
{
    ListBox_Components->setCurrentRow(index);
}

// Showing ---------------------------------------------------------------

void TAnimationForm::ShowFrame()
{
    if (animation_) animation_->CurrentFrameIndex = CurrentFrame();
    FillMatrix();
    if (TModel* model = Model(); model && animation_) {
        animation_->ApplyToModel(model);
        restoreEnabled_ = model->AnimationActive;
        document_.NotifyPoseChanged();
    }
    UpdateButtons();
}

void TAnimationForm::RestorePose()
{
    if (TModel* model = Model()) {
        EndAnimation(*model);
        restoreEnabled_ = model->AnimationActive;
        document_.NotifyPoseChanged();
    } else {
        restoreEnabled_ = false;
    }
}

void TAnimationForm::Attach(std::unique_ptr<TAnimation> animation)
{
    Timer_Animation->stop();
    if (animation_) RestorePose();
    animation_ = std::move(animation);
    if (animation_) animation_->ApplyTotalMove = CheckBox_TotalMove->isChecked();
    RefillFrames();
    RefillBones();
    if (animation_) {
        const Vector3 t = animation_->TotalMove;
        Label_TotalMove->setText(QString::asprintf("%.6f %.6f %.6f", double(t.x), double(t.y), double(t.z)));
        SelectFrame(animation_->FrameCount() > 0 ? 0 : -1);
    } else {
        Label_TotalMove->clear();
        FillMatrix();
        UpdateButtons();
    }
}

void TAnimationForm::RefillFrames()
{
    ++filling_;
    const int selected = ListBox_Frames->currentRow();
    ListBox_Frames->clear();
    if (animation_) {
        for (int i = 0; i < animation_->FrameCount(); ++i)
            ListBox_Frames->addItem(QString::asprintf("%s (%d)", animation_->FrameText(i).c_str(), i));
        ListBox_Frames->setCurrentRow(std::min(selected, animation_->FrameCount() - 1));
    }
    --filling_;
}

void TAnimationForm::RefillBones()
{
    ++filling_;
    const int selected = ListBox_Components->currentRow();
    ListBox_Components->clear();
    if (animation_) {
        for (const std::string& name : animation_->BoneNames()) ListBox_Components->addItem(Text(name));
        ListBox_Components->setCurrentRow(std::min(selected, animation_->BoneCount() - 1));
    }
    --filling_;
}

std::string TAnimationForm::CurrentBoneName() const
{
    const int row = ListBox_Components->currentRow();
    if (!animation_ || row < 0 || row >= animation_->BoneCount()) return {};
    return animation_->BoneName(row);
}

void TAnimationForm::FillMatrix()
{
    ++filling_;
    TMatrix4 m;
    const int bone = ListBox_Components->currentRow();
    const bool valid = animation_ && animation_->GetBoneMatrix(bone, m);
    StaticText_Transform->setText(valid ? QStringLiteral("Transformation matrix: \"%1\"").arg(Text(CurrentBoneName()))
                                        : QStringLiteral("Transformation matrix: "));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            QString text;
            if (valid) text = QString::asprintf("%.3f", c < 3 ? double(m.m[r][c]) : (r == 3 ? 1.0 : 0.0));
            StringGrid_Matrix->item(r, c)->setText(text);
        }
    StringGrid_Matrix->setEnabled(valid);
    --filling_;
}

void TAnimationForm::OnMatrixItemChanged(QTableWidgetItem* item)
{
    if (filling_ || !item) return;
    EditMatrixCell(item->row(), item->column(), item->text());
}

void TAnimationForm::EditMatrixCell(int row, int column, const QString& text)
{
    TMatrix4 m;
    const int bone = ListBox_Components->currentRow();
    float value = 0;
    if (row < 0 || row > 3 || column < 0 || column > 2 || !animation_ || !animation_->GetBoneMatrix(bone, m) ||
        !StrToFloatCheck(text.trimmed().toStdString(), value)) {
        FillMatrix();
        return;
    }
    // The matrix as shown, Total Move included, with the new value.
    m.m[row][column] = value;
    animation_->SetBoneMatrix(bone, m);
    animation_->Modified = true;
    ShowFrame();
}

void TAnimationForm::OnComponentClicked(int row)
{
    (void)row;
    const std::string bone = CurrentBoneName();
    if (TLOD* lod = document_.CurrentLOD(); lod && !bone.empty())
        if (TModelComponent* selection = lod->SelectionByName(bone)) document_.SelectComponent(selection);
    FillMatrix();
}

void TAnimationForm::AfterFrameEdit(bool refill)
{
    const int current = CurrentFrame();
    if (refill) RefillFrames();
    RestorePose();
    SelectFrame(refill ? CurrentFrame() : current);
}

void TAnimationForm::UpdateButtons()
{
    const bool playing = IsPlaying();
    const bool many = animation_ && animation_->FrameCount() > 1;
    unsigned mask = 0;
    if (restoreEnabled_) mask |= kBitReset;
    if (animation_ && !playing) mask |= kBitPlay;
    if (playing) mask |= kBitPause;
    if (animation_) mask |= kBitStop;
    if (many) mask |= kBitFirst | kBitPrevious | kBitNext | kBitLast;

    Button_Play->setEnabled(mask & kBitPlay);
    Button_Pause->setEnabled(mask & kBitPause);
    Button_Stop->setEnabled(mask & kBitStop);
    Button_SaveAs->setEnabled(animation_ != nullptr);
    Button_Restore->setEnabled(restoreEnabled_);

    if (!showToolBar_ || mask == toolBarMask_) return;
    toolBarMask_ = mask;
    TViewAnimationCommands commands;
    const auto set = [&](unsigned bit, std::function<void()>& slot, void (TAnimationForm::*op)()) {
        if (mask & bit) slot = [this, op] { (this->*op)(); };
    };
    set(kBitReset, commands.Reset, &TAnimationForm::Reset);
    set(kBitPlay, commands.Play, &TAnimationForm::Play);
    set(kBitPause, commands.Pause, &TAnimationForm::Pause);
    set(kBitStop, commands.Stop, &TAnimationForm::Stop);
    set(kBitFirst, commands.First, &TAnimationForm::First);
    set(kBitPrevious, commands.Previous, &TAnimationForm::Previous);
    set(kBitNext, commands.Next, &TAnimationForm::Next);
    set(kBitLast, commands.Last, &TAnimationForm::Last);
    commands.CurrentFrameTime = [this]() -> std::optional<float> {
        const TAnimFrame* frame = animation_ ? animation_->CurrentFrame() : nullptr;
        if (!frame) return std::nullopt;
        return frame->Time;
    };
    showToolBar_(std::move(commands));
}

// Pop-up menus -----------------------------------------------------------

QMenu* TAnimationForm::KeyFramesMenu()
{
    UpdateKeyFramesMenu();
    return PopupMenu_KeyFrames;
}

QMenu* TAnimationForm::ComponentsMenu()
{
    UpdateComponentsMenu();
    return PopupMenu_Components;
}

void TAnimationForm::UpdateKeyFramesMenu()
{
    const bool editable = animation_ && !IsPlaying();
    const int current = CurrentFrame();
    const bool hasCurrent = editable && current >= 0 && current < animation_->FrameCount();
    const auto enable = [this](const char* name, bool on) {
        if (auto* a = PopupMenu_KeyFrames->findChild<QAction*>(QLatin1String(name))) a->setEnabled(on);
    };
    enable("MenuItem_Frames_Add", editable);
    enable("MenuItem_Frames_Reset", hasCurrent);
    enable("MenuItem_Frames_CopyFirst", hasCurrent);
    enable("MenuItem_Frames_CopyPrev", hasCurrent && current >= 1);
    enable("MenuItem_Frames_Delete", hasCurrent);
    enable("MenuItem_Frames_Clear", editable && animation_->FrameCount() > 0);
    PopupMenu_KeyFrames->findChild<QMenu*>(QStringLiteral("MenuItem_Frames_CopyFrom"))->setEnabled(hasCurrent);
}

void TAnimationForm::UpdateComponentsMenu()
{
    const bool editable = animation_ && !IsPlaying();
    auto* add = PopupMenu_Components->findChild<QMenu*>(QStringLiteral("MenuItem_Components_Add"));
    for (QMenu* sub : add->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) delete sub;
    add->clear();
    if (const TModel* model = Model(); model && editable) {
        for (int i = 0; i < model->LODCount(); ++i) {
            const TLOD* lod = model->LOD(i);
            QMenu* sub = add->addMenu(Text(LODName(lod->Resolution)));
            sub->setObjectName(QStringLiteral("MenuItem_Components_Add_%1").arg(i));
            for (const auto& selection : lod->Selections) {
                if (animation_->HasBone(selection->Name)) continue;
                const std::string name = selection->Name;
                QAction* a = sub->addAction(QStringLiteral("&") + Text(name));
                connect(a, &QAction::triggered, this, [this, name] {
                    if (!animation_) return;
                    animation_->AddBone(name);
                    animation_->Modified = true;
                    RefillBones();
                    ShowFrame();
                });
            }
            sub->setEnabled(!sub->isEmpty());
        }
    }
    add->setEnabled(!add->isEmpty());

    const int current = CurrentFrame();
    const bool bone = editable && !CurrentBoneName().empty();
    const bool frame = bone && current >= 0 && current < animation_->FrameCount();
    const auto enable = [this](const char* name, bool on) {
        if (auto* a = PopupMenu_Components->findChild<QAction*>(QLatin1String(name))) a->setEnabled(on);
    };
    enable("MenuItem_Components_Reset", frame);
    enable("MenuItem_Components_CopyFirst", frame);
    enable("MenuItem_Components_CopyPrev", frame && current >= 1);
    enable("MenuItem_Components_Delete", bone);
    enable("MenuItem_Components_Clear", bone);
    PopupMenu_Components->findChild<QMenu*>(QStringLiteral("MenuItem_Components_CopyFrom"))->setEnabled(frame);
}

// Files ------------------------------------------------------------------

void TAnimationForm::SetCaption(const std::string& name)
{
    setWindowTitle(animation_ && !name.empty() ? QStringLiteral("Animation - %1").arg(Text(name))
                                               : QStringLiteral("Animation"));
}

bool TAnimationForm::QueryDropAnimation()
{
    if (!animation_ || !animation_->Modified) return true;
    switch (Dialogs().Question(this, QLatin1String(kModifiedQuestion))) {
    case TAnswer::Yes:
        // Only a written file lets the animation go.
        return SaveAnimationAs();
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

void TAnimationForm::CreateAnimation()
{
    if (!QueryDropAnimation()) return;
    Attach(std::make_unique<TAnimation>());
    SetCaption({});
}

void TAnimationForm::LoadAnimation(const std::string& fileName)
{
    if (!QueryDropAnimation()) return;
    std::string name = fileName;
    if (name.empty()) {
        const std::optional<QString> chosen =
            Dialogs().OpenFile(this, QStringLiteral("Open"), QLatin1String(kRtmFilter), QStringLiteral("rtm"));
        if (!chosen) return;
        name = chosen->toStdString();
    }
    Attach(GuardedLoad(this, [&] { return TAnimation::LoadFromFile(name); }));
    SetCaption(name);
}

void TAnimationForm::BrowseAnimation(const std::string& gamePath)
{
    if (!QueryDropAnimation()) return;
    std::string path = gamePath;
    if (path.empty()) {
        if (!pickArchiveFile_) return;
        const std::optional<std::string> chosen = pickArchiveFile_();
        if (!chosen || chosen->empty()) return;
        path = *chosen;
    }
    Attach(GuardedLoad(this, [&] { return TAnimation::LoadFromArchives(document_.Game(), path); }));
    SetCaption(path);
}

bool TAnimationForm::SaveAnimationAs(const std::string& fileName)
{
    if (!animation_) return false;
    std::string name = fileName;
    if (name.empty()) {
        const std::optional<TSaveChoice> chosen =
            Dialogs().SaveFile(this, QStringLiteral("Save As"), QLatin1String(kRtmFilter), QStringLiteral("rtm"));
        if (!chosen) return false;
        name = chosen->FileName.toStdString();
    }
    bool saved = false;
    try {
        saved = SaveFileSafely(name, [this](TStream& s) {
            animation_->SaveToStream(s);
            return true;
        });
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved) {
        Dialogs().Message(this, TMessageKind::Error, QStringLiteral("Error."));
        return false;
    }
    animation_->Modified = false;
    SetCaption(name);
    return true;
}

// Internal page and document notifications --------------------------------

void TAnimationForm::FillInternalFrames()
{
    ListBox_Animation->clear();
    if (const TLOD* lod = document_.CurrentLOD())
        for (const auto& frame : lod->Frames) ListBox_Animation->addItem(Text(frame->TimeText()));
    ListBox_Animation->setEnabled(ListBox_Animation->count() > 0);
}

void TAnimationForm::OnInternalFrameClicked(int row)
{
    TLOD* lod = document_.CurrentLOD();
    if (!lod || row < 0) return;
    restoreEnabled_ = true;
    ApplyStoredFrame(*lod, row);
    document_.NotifyPoseChanged();
    UpdateButtons();
}

void TAnimationForm::LODChanged()
{
    FillInternalFrames();
    // Restore stays meaningful while any LOD of this model is posed (another
    // model may have been opened since).
    restoreEnabled_ = false;
    if (const TModel* model = Model()) {
        restoreEnabled_ = model->AnimationActive;
        for (const auto& lod : model->LODs) restoreEnabled_ = restoreEnabled_ || HasPoseBackup(*lod);
    }
    UpdateButtons();
}

void TAnimationForm::ModelClearedNotify()
{
    Timer_Animation->stop();
    restoreEnabled_ = false;
    FillInternalFrames();
    UpdateButtons();
}

// In-Game ------------------------------------------------------------------

void TAnimationForm::PlayMoveState(const std::string& name, bool record)
{
    const TGameData& game = document_.Game();
    const TRClass* root = game.GameConfig ? game.GameConfig->RootClass.get() : nullptr;
    if (root != walker_.Config()) walker_.SetConfig(root);
    if (!walker_.Play(name, record)) return;
    ShowMoveState();
}

void TAnimationForm::ShowMoveState()
{
    const TMoveState& state = walker_.Current();
    Button_ActionBack->setEnabled(!walker_.History().empty());
    Button_ActionForward->setEnabled(false);
    ++filling_;
    ListBox_Actions->clear();
    --filling_;
    if (state.Exists) {
        if (!state.File.empty()) BrowseAnimation(state.AnimationPath());
        CheckBox_Looped->setChecked(state.Looped);
        if (const std::optional<float> duration = state.PlayDuration()) {
            SetAnimationDuration(*duration);
            Play();
        }
        ++filling_;
        for (const auto& action : walker_.Actions()) ListBox_Actions->addItem(Text(action.first));
        --filling_;
        // Make the columns four to the width.
        const int width = std::max(60, (ListBox_Actions->viewport()->width() - 8) / 4);
        ListBox_Actions->setGridSize(QSize(width, ListBox_Actions->fontMetrics().height() + 4));
    }
    Button_ActionForward->setEnabled(false);
    UpdateStateLabels();
}

void TAnimationForm::UpdateStateLabels()
{
    const TMoveState& state = walker_.Current();
    Label_State->setText(QStringLiteral("State: \"%1\"").arg(Text(walker_.Shown())));
    QPalette palette = Label_State->palette();
    palette.setColor(QPalette::WindowText,
                     walker_.Queued().empty() ? this->palette().color(QPalette::WindowText) : QColor(Qt::red));
    Label_State->setPalette(palette);
    Label_File->setText(QStringLiteral("File: \"%1\"").arg(Text(state.File)));
    Label_Actions->setText(QStringLiteral("Actions: \"%1\"").arg(Text(state.Actions)));
}

void TAnimationForm::ActionForward()
{
    const int row = ListBox_Actions->currentRow();
    if (row < 0 || row >= int(walker_.Actions().size())) return;
    const std::string target = walker_.Actions()[size_t(row)].second;
    if (walker_.Forward(target)) ShowMoveState();
    UpdateStateLabels();
}

void TAnimationForm::ActionBack()
{
    if (walker_.Back()) ShowMoveState();
    Button_ActionBack->setEnabled(!walker_.History().empty());
    UpdateStateLabels();
}

void TAnimationForm::ActionReset()
{
    const TGameData& game = document_.Game();
    const TRClass* root = game.GameConfig ? game.GameConfig->RootClass.get() : nullptr;
    if (root != walker_.Config()) walker_.SetConfig(root);
    if (walker_.Reset()) ShowMoveState();
    Button_ActionBack->setEnabled(false);
    UpdateStateLabels();
}

void TAnimationForm::PlayQueuedState()
{
    const std::string queued = walker_.TakeQueued();
    Timer_Animation->stop();
    if (walker_.Play(queued, true))
        ShowMoveState();
    else
        UpdateStateLabels();
    UpdateButtons();
}

// Events -------------------------------------------------------------------

void TAnimationForm::closeEvent(QCloseEvent* event)
{
    // Closing only hides the window; the pose stays until Restore.
    hide();
    event->ignore();
}

bool TAnimationForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListBox_Frames && event->type() == QEvent::KeyPress && CheckBox_Looped->isChecked()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int count = ListBox_Frames->count();
        const int row = ListBox_Frames->currentRow();
        if (count > 0 && key == Qt::Key_Down && row == count - 1) {
            ListBox_Frames->setCurrentRow(0);
            return true;
        }
        if (count > 0 && key == Qt::Key_Up && row == 0) {
            ListBox_Frames->setCurrentRow(count - 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace mc
