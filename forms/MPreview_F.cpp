#include "MPreview_F.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "Camera/Camera.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "PreviewCamera.h"
#include "PreviewInfo.h"
#include "PreviewSurface.h"

namespace mc {

namespace {

constexpr int kSurfaceWidth = 640, kSurfaceHeight = 480;
constexpr int kTickMs = 10;
constexpr int kRedrawMs = 5;

QColor ToQColor(uint32_t argb) { return QColor(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)); }
uint32_t FromQColor(const QColor& c) { return 0xFF000000u | uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue()); }

void PaintShape(QFrame* shape, uint32_t argb)
{
    shape->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(ToQColor(argb).name()));
}

QCheckBox* MakeCheckBox(const char* name, const char* caption, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

}  // namespace

TMPreviewForm::TMPreviewForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MPreviewForm"));
    setWindowTitle(QStringLiteral("Preview"));
    setWindowFlag(Qt::Window);

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    surface_ = new TPreviewSurface(central);
    surface_->setToolTip(QString::fromStdString(PreviewKeysHelp()));
    layout->addWidget(surface_, 1);
    BuildPanel();
    layout->addWidget(Panel_Right);
    setCentralWidget(central);

    Label_POV = new QLabel(QStringLiteral("POV: 0, 0"), this);
    Label_POV->setObjectName(QStringLiteral("Label_POV"));
    Label_FPS = new QLabel(QStringLiteral("FPS: 0"), this);
    Label_FPS->setObjectName(QStringLiteral("Label_FPS"));
    statusBar()->addWidget(Label_POV, 1);
    statusBar()->addWidget(Label_FPS, 1);

    BuildMenu();

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &TMPreviewForm::Tick);
    redrawTimer_.setSingleShot(true);
    redrawTimer_.setInterval(kRedrawMs);
    connect(&redrawTimer_, &QTimer::timeout, this, [this] {
        SyncFrame();
        surface_->update();
    });
    connect(surface_, &QOpenGLWidget::frameSwapped, this, [this] { ++framesCounted_; });
    fpsClock_.start();

    ResetView();
    SyncFrame();
    FitWindowToSurface();
}

TMPreviewForm::~TMPreviewForm() = default;

void TMPreviewForm::BuildPanel()
{
    Panel_Right = new QWidget(this);
    Panel_Right->setObjectName(QStringLiteral("Panel_Right"));
    Panel_Right->setFixedWidth(180);
    auto* v = new QVBoxLayout(Panel_Right);
    v->setContentsMargins(6, 6, 6, 6);

    CheckBox_ShowInfo = MakeCheckBox("CheckBox_ShowInfo", "Show Info", true, Panel_Right);
    v->addWidget(CheckBox_ShowInfo);

    auto* cull = new QGroupBox(QStringLiteral(" Cull Mode "), Panel_Right);
    cull->setObjectName(QStringLiteral("GroupBox_CullMode"));
    auto* cv = new QVBoxLayout(cull);
    RadioButton_CullMode_None = new QRadioButton(QStringLiteral("None"), cull);
    RadioButton_CullMode_None->setObjectName(QStringLiteral("RadioButton_CullMode_None"));
    RadioButton_CullMode_Clockwise = new QRadioButton(QStringLiteral("Clockwise"), cull);
    RadioButton_CullMode_Clockwise->setObjectName(QStringLiteral("RadioButton_CullMode_Clockwise"));
    RadioButton_CullMode_Counterclockwise = new QRadioButton(QStringLiteral("Counterclockwise"), cull);
    RadioButton_CullMode_Counterclockwise->setObjectName(QStringLiteral("RadioButton_CullMode_Counterclockwise"));
    RadioButton_CullMode_Counterclockwise->setChecked(true);
    cv->addWidget(RadioButton_CullMode_None);
    cv->addWidget(RadioButton_CullMode_Clockwise);
    cv->addWidget(RadioButton_CullMode_Counterclockwise);
    v->addWidget(cull);

    CheckBox_AutoLOD = MakeCheckBox("CheckBox_AutoLOD", "Auto LOD", false, Panel_Right);
    CheckBox_AutoLOD->setToolTip(QStringLiteral("Choose the LOD by the camera's distance to the origin"));
    CheckBox_Optional = MakeCheckBox("CheckBox_Optional", "Proxy", false, Panel_Right);
    CheckBox_Optional->setToolTip(QStringLiteral("Draw the faces of proxy selections"));
    CheckBox_Fire = MakeCheckBox("CheckBox_Fire", "Shining", false, Panel_Right);
    CheckBox_Fire->setToolTip(QStringLiteral("Draw shining faces"));
    CheckBox_HideSorted = MakeCheckBox("CheckBox_HideSorted", "Hide Alpha-Sorted", false, Panel_Right);
    CheckBox_HideSorted->setToolTip(QStringLiteral("Hide faces whose texture has transparency"));
    CheckBox_Light = MakeCheckBox("CheckBox_Light", "Light", true, Panel_Right);
    for (QCheckBox* box : {CheckBox_AutoLOD, CheckBox_Optional, CheckBox_Fire, CheckBox_HideSorted, CheckBox_Light})
        v->addWidget(box);

    auto colourRow = [&](const char* shapeName, const char* buttonName, const char* caption, QFrame*& shape,
                         QPushButton*& button) {
        auto* row = new QHBoxLayout;
        button = new QPushButton(QString::fromLatin1(caption), Panel_Right);
        button->setObjectName(QString::fromLatin1(buttonName));
        shape = new QFrame(Panel_Right);
        shape->setObjectName(QString::fromLatin1(shapeName));
        shape->setFixedSize(40, 20);
        row->addWidget(button, 1);
        row->addWidget(shape);
        v->addLayout(row);
    };
    colourRow("Shape_BkColor", "Button_BkColor", "Background:", Shape_BkColor, Button_BkColor);
    colourRow("Shape_FontColor", "Button_FontColor", "Font Color:", Shape_FontColor, Button_FontColor);
    PaintShape(Shape_BkColor, background_);
    PaintShape(Shape_FontColor, fontColor_);

    auto* modeLabel = new QLabel(QStringLiteral("Full Screen Mode:"), Panel_Right);
    v->addWidget(modeLabel);
    ComboBox_FullScreenMode = new QComboBox(Panel_Right);
    ComboBox_FullScreenMode->setObjectName(QStringLiteral("ComboBox_FullScreenMode"));
    ComboBox_FullScreenMode->addItems({QStringLiteral("1024x768x32"), QStringLiteral("800x600x32"),
                                       QStringLiteral("640x480x32")});
    ComboBox_FullScreenMode->setToolTip(
        QStringLiteral("Where the display mode cannot be changed, full screen takes the screen as it is"));
    v->addWidget(ComboBox_FullScreenMode);
    auto* keys = new QLabel(QStringLiteral("Keys: hover the picture"), Panel_Right);
    keys->setToolTip(QString::fromStdString(PreviewKeysHelp()));
    v->addWidget(keys);
    v->addStretch(1);

    const auto changed = [this] {
        SyncFrame();
        surface_->update();
    };
    for (QCheckBox* box :
         {CheckBox_ShowInfo, CheckBox_AutoLOD, CheckBox_Optional, CheckBox_Fire, CheckBox_HideSorted, CheckBox_Light})
        connect(box, &QCheckBox::toggled, this, changed);
    for (QRadioButton* r : {RadioButton_CullMode_None, RadioButton_CullMode_Clockwise, RadioButton_CullMode_Counterclockwise})
        connect(r, &QRadioButton::toggled, this, changed);
    connect(Button_BkColor, &QPushButton::clicked, this, &TMPreviewForm::OnClick_Button_BkColor);
    connect(Button_FontColor, &QPushButton::clicked, this, &TMPreviewForm::OnClick_Button_FontColor);
}

void TMPreviewForm::BuildMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenuItem_ResetCamera = PopupMenu1->addAction(QStringLiteral("&Reset View"));
    PopupMenuItem_ResetCamera->setObjectName(QStringLiteral("PopupMenuItem_ResetCamera"));
    PopupMenuItem_Freeze = PopupMenu1->addAction(QStringLiteral("Lock &View"));
    PopupMenuItem_Freeze->setObjectName(QStringLiteral("PopupMenuItem_Freeze"));
    PopupMenuItem_Freeze->setCheckable(true);
    PopupMenuItem_Lock = PopupMenu1->addAction(QStringLiteral("Lock &Target"));
    PopupMenuItem_Lock->setObjectName(QStringLiteral("PopupMenuItem_Lock"));
    PopupMenuItem_Lock->setCheckable(true);
    PopupMenuItem_Lock->setChecked(true);
    PopupMenuItem_ControlPanel = PopupMenu1->addAction(QStringLiteral("Control &Panel"));
    PopupMenuItem_ControlPanel->setObjectName(QStringLiteral("PopupMenuItem_ControlPanel"));
    PopupMenuItem_FullScreen = PopupMenu1->addAction(QStringLiteral("Full &Screen"));
    PopupMenuItem_FullScreen->setObjectName(QStringLiteral("PopupMenuItem_FullScreen"));
    PopupMenuItem_FullScreen->setCheckable(true);

    connect(PopupMenuItem_ResetCamera, &QAction::triggered, this, [this] { ResetView(); });
    connect(PopupMenuItem_Freeze, &QAction::triggered, this, &TMPreviewForm::OnClick_PopupMenuItem_Freeze);
    connect(PopupMenuItem_Lock, &QAction::triggered, this, &TMPreviewForm::OnClick_PopupMenuItem_Lock);
    connect(PopupMenuItem_ControlPanel, &QAction::triggered, this, &TMPreviewForm::OnClick_PopupMenuItem_ControlPanel);
    connect(PopupMenuItem_FullScreen, &QAction::triggered, this, [this] { SetFullScreen(!fullScreen_); });

    surface_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(surface_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(surface_->mapToGlobal(p)); });
    // The menu's keys work while the surface has the focus.
    for (QAction* a : PopupMenu1->actions()) addAction(a);
}

TCamera& TMPreviewForm::Camera() { return surface_->Camera(); }
int TMPreviewForm::PolygonsDrawn() const { return surface_->PolygonsDrawn(); }
uint32_t TMPreviewForm::BackgroundColor() const { return background_; }
uint32_t TMPreviewForm::FontColor() const { return fontColor_; }

void TMPreviewForm::SetBackgroundColor(uint32_t argb)
{
    background_ = argb | 0xFF000000u;
    PaintShape(Shape_BkColor, background_);
    SyncFrame();
    surface_->update();
}

void TMPreviewForm::SetFontColor(uint32_t argb)
{
    fontColor_ = argb | 0xFF000000u;
    PaintShape(Shape_FontColor, fontColor_);
    SyncFrame();
    surface_->update();
}

void TMPreviewForm::SyncFrame()
{
    TPreviewFrame& f = surface_->Frame();
    f.Model = model_;
    f.LODIndex = lodIndex_;
    f.SelectedFace = selectedFace_;
    f.ShowInfo = CheckBox_ShowInfo->isChecked();
    f.AutoLOD = CheckBox_AutoLOD->isChecked();
    f.Optional = CheckBox_Optional->isChecked();
    f.Shining = CheckBox_Fire->isChecked();
    f.HideSorted = CheckBox_HideSorted->isChecked();
    f.Light = CheckBox_Light->isChecked();
    f.CullMode = RadioButton_CullMode_None->isChecked() ? 1 : RadioButton_CullMode_Clockwise->isChecked() ? 2 : 3;
    f.Background = background_;
    f.FontColor = fontColor_;
    f.FrameRate = frameRate_;
}

void TMPreviewForm::SetModel(TModel* model)
{
    // The old model may be gone already: only the device objects are dropped.
    surface_->ReleaseModel();
    model_ = model;
    ResetView();
    Rebuild();
}

void TMPreviewForm::SetCurrentLOD(int index)
{
    lodIndex_ = index;
    Rebuild();
}

void TMPreviewForm::SetSelectedFace(int index)
{
    selectedFace_ = index;
    Rebuild();
}

void TMPreviewForm::SetTextureSource(TTextureSource source)
{
    surface_->ReleaseModel();
    surface_->SetTextureSource(std::move(source));
}

void TMPreviewForm::GeometryChanged()
{
    surface_->ReleaseGeometry();
    Rebuild();
}

void TMPreviewForm::Rebuild()
{
    SyncFrame();
    if (!isVisible() || redrawTimer_.isActive()) return;
    if (model_ && resolveProxies_ && lodIndex_ >= 0 && lodIndex_ < model_->LODCount())
        resolveProxies_(*model_->LOD(lodIndex_));
    redrawTimer_.start();
}

void TMPreviewForm::ResetView()
{
    TCamera& camera = Camera();
    FrameModel(camera, model_);
    camera.SetFrozen(false);
    if (PopupMenuItem_Freeze) {
        PopupMenuItem_Freeze->setChecked(false);
        PopupMenuItem_Lock->setEnabled(true);
    }
    surface_->update();
}

void TMPreviewForm::OnClick_PopupMenuItem_Freeze()
{
    Camera().SetFrozen(PopupMenuItem_Freeze->isChecked());
    PopupMenuItem_Lock->setEnabled(!PopupMenuItem_Freeze->isChecked());
}

void TMPreviewForm::OnClick_PopupMenuItem_Lock()
{
    if (PopupMenuItem_Lock->isChecked())
        Camera().LockTarget({0, 0, 0});
    else
        Camera().UnlockTarget();
}

void TMPreviewForm::OnClick_PopupMenuItem_ControlPanel()
{
    const bool show = !Panel_Right->isVisible();
    const int w = Panel_Right->width();
    Panel_Right->setVisible(show);
    // The client width follows the panel; the surface keeps its size.
    resize(width() + (show ? w : -w), height());
}

void TMPreviewForm::OnClick_Button_BkColor()
{
    if (const std::optional<QColor> c = Dialogs().PickColor(this, ToQColor(background_)); c && c->isValid())
        SetBackgroundColor(FromQColor(*c));
}

void TMPreviewForm::OnClick_Button_FontColor()
{
    if (const std::optional<QColor> c = Dialogs().PickColor(this, ToQColor(fontColor_)); c && c->isValid())
        SetFontColor(FromQColor(*c));
}

void TMPreviewForm::FitWindowToSurface()
{
    const int panel = Panel_Right->isVisible() || !isVisible() ? Panel_Right->width() : 0;
    resize(kSurfaceWidth + panel, kSurfaceHeight + statusBar()->sizeHint().height());
}

void TMPreviewForm::SetFullScreen(bool on)
{
    if (on == fullScreen_) return;
    if (on) {
        savedGeometry_ = geometry();
        savedMaximized_ = isMaximized();
        surface_->setCursor(Qt::BlankCursor);
        Panel_Right->hide();
        statusBar()->hide();
        PopupMenuItem_ControlPanel->setEnabled(false);
        fullScreen_ = true;
        // The display mode stays as it is; the surface takes the whole screen.
        if (isVisible()) showFullScreen();
    } else {
        fullScreen_ = false;
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        surface_->unsetCursor();
        Panel_Right->show();
        statusBar()->show();
        PopupMenuItem_ControlPanel->setEnabled(true);
        if (isVisible()) {
            if (savedMaximized_)
                showMaximized();
            else
                showNormal();
        }
        if (savedGeometry_.isValid()) setGeometry(savedGeometry_);
    }
    PopupMenuItem_FullScreen->setChecked(fullScreen_);
    Camera().Invalidate();
}

void TMPreviewForm::Tick()
{
    if (busy_) return;
    busy_ = true;
    if (fpsClock_.elapsed() >= 1000) {
        frameRate_ = int(framesCounted_ * 1000 / fpsClock_.restart());
        framesCounted_ = 0;
    }
    TCamera& camera = Camera();
    camera.ApplyInput(surface_->TakeInput());
    Label_POV->setText(QStringLiteral("POV: %1, %2").arg(camera.CursorX()).arg(camera.CursorY()));
    Label_FPS->setText(QStringLiteral("FPS: %1").arg(frameRate_));
    SyncFrame();
    surface_->update();
    const std::string error = surface_->TakeError();
    if (!error.empty()) ShowFrameError(error);
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
    busy_ = false;
}

void TMPreviewForm::ShowFrameError(const std::string& text)
{
    std::string message = "Error detected:\r" + text + "\rDo you want to close preview mode window?";
    QString shown = QString::fromLocal8Bit(message.c_str());
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (QMessageBox::question(this, windowTitle(), shown, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        closeRequested_ = true;
}

void TMPreviewForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    SyncFrame();
    timer_.start();
    if (!surface_->InitError().empty() && !surface_->CanDraw())
        Dialogs().Message(this, TMessageKind::Warning, QString::fromStdString(surface_->InitError()));
}

void TMPreviewForm::hideEvent(QHideEvent* event)
{
    timer_.stop();
    surface_->ClearInput();
    if (fullScreen_) SetFullScreen(false);
    QMainWindow::hideEvent(event);
}

void TMPreviewForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            if (isVisible()) timer_.start();
        } else {
            Camera().ClearMotion();
            surface_->ClearInput();
            timer_.stop();
        }
    }
    QMainWindow::changeEvent(event);
}

void TMPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (fullScreen_) hide();
        if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
            main->raise();
            main->activateWindow();
        }
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMPreviewForm::closeEvent(QCloseEvent* event)
{
    timer_.stop();
    QMainWindow::closeEvent(event);
}

}  // namespace mc
