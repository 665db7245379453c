#include "View_F.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "Model/Model.h"
#include "ModelDocument.h"

namespace mc {

QString ProxyMenuCaption(int index, const std::string& name)
{
    QString text = QString::fromStdString(name);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    if (index >= 0 && index <= 9) return QStringLiteral("&%1 %2").arg(index).arg(text);
    if (index >= 10 && index <= 35) return QStringLiteral("&%1 %2").arg(QChar(char16_t(u'A' + (index - 10)))).arg(text);
    return text;
}

// One panel: draws its view through the form and hands the mouse to it.
class TViewPanel : public QWidget {
public:
    TViewPanel(TViewForm& form, int index, QWidget* parent) : QWidget(parent), form_(form), index_(index)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QImage& image = form_.PaintPanel(index_);
        QPainter(this).drawImage(0, 0, image);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        form_.PanelMousePress(index_, e->button(), e->position().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        form_.PanelMousePress(index_, e->button(), e->position().toPoint(), true);
    }
    void mouseMoveEvent(QMouseEvent* e) override { form_.PanelMouseMove(index_, e->buttons(), e->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        form_.PanelMouseRelease(index_, e->button(), e->position().toPoint());
    }
    void wheelEvent(QWheelEvent* e) override
    {
        form_.PanelWheel(index_, e->angleDelta().y());
        e->accept();
    }

private:
    TViewForm& form_;
    int index_;
};

namespace {

// The main area: lays the panels out whenever its size changes.
class TViewArea : public QWidget {
public:
    TViewArea(TViewForm& form, QWidget* parent) : QWidget(parent), form_(form) {}

protected:
    void resizeEvent(QResizeEvent*) override { form_.LayoutPanels(); }

private:
    TViewForm& form_;
};

QString ZoomText(const TView& view)
{
    return QStringLiteral("Zoom %1 (%2 px/m)").arg(view.ZoomIndex).arg(double(view.Scale()), 0, 'f', 2);
}

constexpr int kKindButtonTags[4] = {ViewFront, ViewLeft, ViewTop, View3D};
constexpr uint8_t kInitialKinds[kViewPanelCount] = {ViewFront, ViewLeft, ViewTop, View3D};

QToolButton* AddButton(QToolBar* bar, const char* name, const QString& text, const QString& tip = {})
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(tip.isEmpty() ? text : tip);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QCheckBox* AddCheckBox(QVBoxLayout* layout, QWidget* parent, const char* name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    layout->addWidget(box);
    return box;
}

}  // namespace

TViewForm::TViewForm(TModelDocument& document, QWidget* parent) : QMainWindow(parent), document_(document)
{
    setObjectName(QStringLiteral("ViewForm"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("View"));
    for (int i = 0; i < kViewPanelCount; ++i) views_[size_t(i)].Kind = kInitialKinds[i];

    CreateToolBar();
    CreateControlPanel();
    CreatePanels();
    CreatePanelMenu();

    statusPosition_ = new QLabel(this);
    statusZoom_ = new QLabel(this);
    statusSelection_ = new QLabel(this);
    statusPosition_->setMinimumWidth(260);
    statusBar()->setObjectName(QStringLiteral("StatusBar_View"));
    statusBar()->addWidget(statusPosition_);
    statusBar()->addWidget(statusZoom_);
    statusBar()->addWidget(statusSelection_, 1);
    statusZoom_->setText(ZoomText(views_[0]));

    auto* zoomIn = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(zoomIn, &QShortcut::activated, this, [this] { ZoomActiveView(+1); });
    auto* zoomOut = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(zoomOut, &QShortcut::activated, this, [this] { ZoomActiveView(-1); });

    ConnectDocument();
    FillSecondLODs();
    UpdateKindControls();
    resize(1000, 760);
    RefreshView();
}

TViewForm::~TViewForm() = default;

void TViewForm::CreateToolBar()
{
    auto* bar = addToolBar(QStringLiteral("View"));
    bar->setObjectName(QStringLiteral("ToolBar_View"));
    bar->setMovable(false);

    const char* kindNames[4] = {"ToolButton_ViewFront", "ToolButton_ViewLeft", "ToolButton_ViewTop",
                                "ToolButton_View3D"};
    const QString kindTexts[4] = {QStringLiteral("Front"), QStringLiteral("Left"), QStringLiteral("Top"),
                                  QStringLiteral("3D")};
    for (int i = 0; i < 4; ++i) {
        QToolButton* b = AddButton(bar, kindNames[i], kindTexts[i], QString::fromLatin1(ViewKindCaption(kKindButtonTags[i])));
        b->setCheckable(true);
        const int tag = kKindButtonTags[i];
        connect(b, &QToolButton::clicked, this, [this, tag] { SetViewKind(tag); });
        kindButtons_[size_t(i)] = b;
    }

    // "View...": the seven kinds.
    PopupMenu_ViewXXXX = new QMenu(this);
    PopupMenu_ViewXXXX->setObjectName(QStringLiteral("PopupMenu_ViewXXXX"));
    viewKinds_ = new QActionGroup(this);
    for (int kind = 1; kind <= kViewKindCount; ++kind) {
        QAction* a = PopupMenu_ViewXXXX->addAction(QString::fromLatin1(ViewKindCaption(kind)));
        a->setCheckable(true);
        a->setData(kind);
        viewKinds_->addAction(a);
        connect(a, &QAction::triggered, this, [this, kind] { SetViewKind(kind); });
    }
    QToolButton* view = AddButton(bar, "ToolButton_View", QStringLiteral("View..."));
    view->setMenu(PopupMenu_ViewXXXX);
    view->setPopupMode(QToolButton::InstantPopup);

    // "Proxy...": which proxies the preview shows.
    proxyMenu_ = new QMenu(this);
    proxyMenu_->setObjectName(QStringLiteral("PopupMenu_Proxy"));
    QAction* separator = proxyMenu_->addSeparator();
    separator->setData(-1);
    QAction* all = proxyMenu_->addAction(QStringLiteral("&Select All"));
    all->setObjectName(QStringLiteral("PopupMenuItem_Proxy_SelectAll"));
    QAction* none = proxyMenu_->addAction(QStringLiteral("&Unselect All"));
    none->setObjectName(QStringLiteral("PopupMenuItem_Proxy_UnselectAll"));
    QAction* invert = proxyMenu_->addAction(QStringLiteral("Invert"));
    invert->setObjectName(QStringLiteral("PopupMenuItem_Proxy_Invert"));
    connect(all, &QAction::triggered, this, [this] { SetProxiesShown(1); });
    connect(none, &QAction::triggered, this, [this] { SetProxiesShown(0); });
    connect(invert, &QAction::triggered, this, [this] { SetProxiesShown(-1); });
    connect(proxyMenu_, &QMenu::aboutToShow, this, &TViewForm::RebuildProxyMenu);
    QToolButton* proxy = AddButton(bar, "ToolButton_Proxy", QStringLiteral("Proxy..."));
    proxy->setMenu(proxyMenu_);
    proxy->setPopupMode(QToolButton::InstantPopup);
    bar->addSeparator();

    ToolButton_SinglePanel = AddButton(bar, "ToolButton_SinglePanel", QStringLiteral("Single Panel"));
    ToolButton_SinglePanel->setCheckable(true);
    connect(ToolButton_SinglePanel, &QToolButton::toggled, this, &TViewForm::OnClick_ToolButton_SinglePanel);
    ToolButton_ControlPanel = AddButton(bar, "ToolButton_ControlPanel", QStringLiteral("Control Panel"));
    ToolButton_ControlPanel->setCheckable(true);
    ToolButton_ControlPanel->setChecked(true);
    connect(ToolButton_ControlPanel, &QToolButton::toggled, this, &TViewForm::OnClick_ToolButton_ControlPanel);
    bar->addSeparator();

    const char* modeNames[3] = {"ToolButton_VerticesSelection", "ToolButton_PolygonsSelection",
                                "ToolButton_ComponentsSelection"};
    const QString modeTexts[3] = {QStringLiteral("Vertices"), QStringLiteral("Polygons"), QStringLiteral("Components")};
    const QString modeTips[3] = {QStringLiteral("Select vertices"), QStringLiteral("Select polygons"),
                                 QStringLiteral("Select named selections")};
    for (int mode = 0; mode < 3; ++mode) {
        QToolButton* b = AddButton(bar, modeNames[mode], modeTexts[mode], modeTips[mode]);
        b->setCheckable(true);
        b->setChecked(mode == selection_.Mode);
        connect(b, &QToolButton::clicked, this, [this, mode] { SetSelectionMode(mode); });
        modeButtons_[size_t(mode)] = b;
    }
    bar->addSeparator();

    struct TAnimationButton {
        const char* name;
        const char* text;
        QStyle::StandardPixmap icon;
        std::function<void()> TViewAnimationCommands::*command;
    };
    const TAnimationButton buttons[8] = {
        {"ToolButton_AnimationReset", "Reset", QStyle::SP_BrowserReload, &TViewAnimationCommands::Reset},
        {"ToolButton_AnimationPlay", "Play", QStyle::SP_MediaPlay, &TViewAnimationCommands::Play},
        {"ToolButton_AnimationPause", "Pause", QStyle::SP_MediaPause, &TViewAnimationCommands::Pause},
        {"ToolButton_AnimationStop", "Stop", QStyle::SP_MediaStop, &TViewAnimationCommands::Stop},
        {"ToolButton_AnimationFirst", "First Frame", QStyle::SP_MediaSkipBackward, &TViewAnimationCommands::First},
        {"ToolButton_AnimationPrev", "Previous Frame", QStyle::SP_MediaSeekBackward, &TViewAnimationCommands::Previous},
        {"ToolButton_AnimationNext", "Next Frame", QStyle::SP_MediaSeekForward, &TViewAnimationCommands::Next},
        {"ToolButton_AnimationLast", "Last Frame", QStyle::SP_MediaSkipForward, &TViewAnimationCommands::Last},
    };
    for (size_t i = 0; i < 8; ++i) {
        QToolButton* b = AddButton(bar, buttons[i].name, QString::fromLatin1(buttons[i].text));
        b->setIcon(style()->standardIcon(buttons[i].icon));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setEnabled(false);
        const auto command = buttons[i].command;
        connect(b, &QToolButton::clicked, this, [this, command] {
            if (animation_.*command) (animation_.*command)();
        });
        animationButtons_[i] = b;
    }
}

void TViewForm::CreateControlPanel()
{
    Panel_Controls = new QWidget(this);
    Panel_Controls->setObjectName(QStringLiteral("Panel_Controls"));
    Panel_Controls->setFixedWidth(170);
    auto* layout = new QVBoxLayout(Panel_Controls);
    CheckBox_ShowBoundBox = AddCheckBox(layout, Panel_Controls, "CheckBox_ShowBoundBox", QStringLiteral("Bound Box"));
    CheckBox_ShowQuadAsTriangles =
        AddCheckBox(layout, Panel_Controls, "CheckBox_ShowQuadAsTriangles", QStringLiteral("Quad as Triangles"));
    CheckBox_Vertices = AddCheckBox(layout, Panel_Controls, "CheckBox_Vertices", QStringLiteral("Vertices"));
    CheckBox_SpecialVertices =
        AddCheckBox(layout, Panel_Controls, "CheckBox_SpecialVertices", QStringLiteral("Special Points"));
    for (QCheckBox* box : {CheckBox_ShowBoundBox, CheckBox_ShowQuadAsTriangles, CheckBox_Vertices, CheckBox_SpecialVertices})
        connect(box, &QCheckBox::clicked, this, &TViewForm::RefreshView);

    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Second LOD"), Panel_Controls));
    ComboBox_SecondLOD = new QComboBox(Panel_Controls);
    ComboBox_SecondLOD->setObjectName(QStringLiteral("ComboBox_SecondLOD"));
    layout->addWidget(ComboBox_SecondLOD);
    CheckBox_SecondLODAsForeground =
        AddCheckBox(layout, Panel_Controls, "CheckBox_SecondLODAsForeground", QStringLiteral("As Foreground"));
    connect(ComboBox_SecondLOD, &QComboBox::currentIndexChanged, this, [this](int index) {
        CheckBox_SecondLODAsForeground->setEnabled(index > 0);
        RefreshView();
    });
    connect(CheckBox_SecondLODAsForeground, &QCheckBox::clicked, this, &TViewForm::RefreshView);

    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Cull Mode"), Panel_Controls));
    ComboBox_CullMode = new QComboBox(Panel_Controls);
    ComboBox_CullMode->setObjectName(QStringLiteral("ComboBox_CullMode"));
    ComboBox_CullMode->addItems({QString(), QStringLiteral("CCW (default)"), QStringLiteral("CW")});
    ComboBox_CullMode->setCurrentIndex(1);
    connect(ComboBox_CullMode, &QComboBox::currentIndexChanged, this, &TViewForm::RefreshView);
    layout->addWidget(ComboBox_CullMode);
    layout->addStretch(1);
}

void TViewForm::CreatePanels()
{
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    area_ = new TViewArea(*this, central);
    area_->setObjectName(QStringLiteral("Panel_Views"));
    row->addWidget(area_, 1);
    row->addWidget(Panel_Controls);
    setCentralWidget(central);
    for (int i = 0; i < kViewPanelCount; ++i) {
        auto* panel = new TViewPanel(*this, i, area_);
        panel->setObjectName(QStringLiteral("PaintBox%1").arg(i + 1));
        panel->setProperty("tag", int(views_[size_t(i)].Kind));
        panels_[size_t(i)] = panel;
        views_[size_t(i)].Panel = panel;
    }
}

void TViewForm::CreatePanelMenu()
{
    panelMenu_ = new QMenu(this);
    panelMenu_->setObjectName(QStringLiteral("PopupMenu_PaintBox_XXXX"));
    PopupMenu_PaintBox_XXXX = panelMenu_;
    QMenu* view = panelMenu_->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("PopupMenuItem_View"));
    panelKinds_ = new QActionGroup(this);
    for (int kind = 1; kind <= kViewKindCount; ++kind) {
        QAction* a = view->addAction(QString::fromLatin1(ViewKindCaption(kind)));
        a->setCheckable(true);
        a->setData(kind);
        panelKinds_->addAction(a);
        connect(a, &QAction::triggered, this, [this, kind] { SetViewKind(kind); });
    }
    panelMenu_->addSeparator();
    QAction* in = panelMenu_->addAction(QStringLiteral("Zoom &In"), this, [this] { ZoomActiveView(+1); });
    in->setShortcut(QKeySequence(Qt::Key_F7));
    QAction* out = panelMenu_->addAction(QStringLiteral("Zoom &Out"), this, [this] { ZoomActiveView(-1); });
    out->setShortcut(QKeySequence(Qt::Key_F8));
}

void TViewForm::ConnectDocument()
{
    connect(&document_, &TModelDocument::ModelOpened, this, [this] {
        selection_.Active = false;
        FillSecondLODs();
        RefreshView();
    });
    connect(&document_, &TModelDocument::ModelCleared, this, [this] {
        selection_.Active = false;
        FillSecondLODs();
        RefreshView();
    });
    connect(&document_, &TModelDocument::LODSelected, this, [this] {
        selection_.Active = false;
        RefreshView();
    });
    connect(&document_, &TModelDocument::LODReselected, this, &TViewForm::RefreshView);
    for (auto signal : {&TModelDocument::SelectionChanged, &TModelDocument::PoseChanged,
                        &TModelDocument::ProxiesChanged})
        connect(&document_, signal, this, &TViewForm::RepaintAll);
    connect(&document_, &TModelDocument::PolygonSelected, this, &TViewForm::RepaintAll);
    connect(&document_, &TModelDocument::ComponentSelected, this, &TViewForm::RepaintAll);
    connect(&document_, &TModelDocument::ProxySelected, this, &TViewForm::RepaintAll);
}

void TViewForm::SetAnimationCommands(TViewAnimationCommands commands)
{
    animation_ = std::move(commands);
    const std::function<void()>* all[8] = {&animation_.Reset, &animation_.Play,     &animation_.Pause,
                                           &animation_.Stop,  &animation_.First,    &animation_.Previous,
                                           &animation_.Next,  &animation_.Last};
    for (size_t i = 0; i < 8; ++i) animationButtons_[i]->setEnabled(bool(*all[i]));
    RepaintAll();
}

QWidget* TViewForm::Panel(int panel) const { return panels_[size_t(panel)]; }

TLOD* TViewForm::CurrentLOD() const { return document_.CurrentLOD(); }

TViewScene TViewForm::Scene() const
{
    TViewScene scene;
    scene.Model = document_.Model();
    scene.LOD = document_.CurrentLOD();
    scene.FaceIndex = document_.CurrentFaceIndex();
    scene.ProxyIndex = document_.CurrentProxyIndex();
    if (scene.Model && scene.Model->AnimationActive && animation_.CurrentFrameTime)
        scene.FrameTime = animation_.CurrentFrameTime();
    return scene;
}

TViewOptions TViewForm::Options() const
{
    TViewOptions options;
    options.ShowBoundBox = CheckBox_ShowBoundBox->isChecked();
    options.QuadAsTriangles = CheckBox_ShowQuadAsTriangles->isChecked();
    options.Vertices = CheckBox_Vertices->isChecked();
    options.SpecialPoints = CheckBox_SpecialVertices->isChecked();
    options.Cull = static_cast<TCullMode>(std::clamp(ComboBox_CullMode->currentIndex(), 0, 2));
    const TModel* model = document_.Model();
    const int second = ComboBox_SecondLOD->currentIndex() - 1;
    options.SecondLOD = model ? model->LOD(second) : nullptr;
    options.SecondLODAsForeground = options.SecondLOD && CheckBox_SecondLODAsForeground->isChecked();
    return options;
}

const QImage& TViewForm::PaintPanel(int panel)
{
    const QWidget* widget = panels_[size_t(panel)];
    const QSize size(std::max(1, widget->width()), std::max(1, widget->height()));
    if (Image_Buffer.size() != size) Image_Buffer = QImage(size, QImage::Format_RGB32);
    const bool active = panel == active_;
    painter_.Paint(Image_Buffer, views_[size_t(panel)], Scene(), Options(), active, active ? &selection_ : nullptr);
    return Image_Buffer;
}

void TViewForm::RefreshView()
{
    CheckBox_Vertices->setEnabled(true);
    CheckBox_SpecialVertices->setEnabled(true);
    if (const TLOD* lod = CurrentLOD()) {
        if (LODDrawnAsPoints(*lod)) CheckBox_Vertices->setEnabled(false);
        if (LODShowsSpecialPoints(*lod)) CheckBox_SpecialVertices->setEnabled(false);
    }
    RepaintAll();
}

void TViewForm::RepaintAll()
{
    for (int i = 0; i < kViewPanelCount; ++i) RepaintPanel(i);
    QString text;
    if (const TLOD* lod = CurrentLOD(); lod && lod->SelectionReady) {
        const auto count = [](const std::vector<uint8_t>& v) { return int(std::count(v.begin(), v.end(), 1)); };
        text = QStringLiteral("Selected: %1 vertices, %2 faces, %3 selections")
                   .arg(count(lod->VertexSelected))
                   .arg(count(lod->FaceSelected))
                   .arg(count(lod->ComponentSelected));
    }
    if (statusSelection_) statusSelection_->setText(text);
}

void TViewForm::RepaintPanel(int panel)
{
    if (panels_[size_t(panel)]->isVisible()) panels_[size_t(panel)]->update();
}

void TViewForm::FillSecondLODs()
{
    const QSignalBlocker block(ComboBox_SecondLOD);
    ComboBox_SecondLOD->clear();
    ComboBox_SecondLOD->addItem(QString());
    if (const TModel* model = document_.Model())
        for (int i = 0; i < model->LODCount(); ++i)
            ComboBox_SecondLOD->addItem(QString::asprintf("%s (%d)", model->LOD(i)->Name().c_str(), i));
    ComboBox_SecondLOD->setCurrentIndex(0);
    CheckBox_SecondLODAsForeground->setEnabled(false);
}

void TViewForm::SetActiveView(int panel)
{
    if (panel < 0 || panel >= kViewPanelCount || panel == active_) return;
    active_ = panel;
    selection_.Active = false;
    if (singlePanel_) LayoutPanels();
    UpdateKindControls();
    RepaintAll();
}

void TViewForm::SetViewKind(int kind)
{
    if (kind < 1 || kind > kViewKindCount) return;
    views_[size_t(active_)].Kind = uint8_t(kind);
    panels_[size_t(active_)]->setProperty("tag", kind);
    UpdateKindControls();
    RepaintPanel(active_);
}

void TViewForm::UpdateKindControls()
{
    const int kind = views_[size_t(active_)].Kind;
    for (int i = 0; i < 4; ++i) kindButtons_[size_t(i)]->setChecked(kKindButtonTags[i] == kind);
    for (QActionGroup* group : {viewKinds_, panelKinds_})
        for (QAction* a : group->actions()) a->setChecked(a->data().toInt() == kind);
}

void TViewForm::ZoomActiveView(int step)
{
    TView& view = views_[size_t(active_)];
    if (ZoomView(view, view.ZoomIndex + step)) {
        RepaintPanel(active_);
        statusZoom_->setText(ZoomText(view));
    }
}

void TViewForm::SetSelectionMode(int mode)
{
    if (mode < 0 || mode > 2) return;
    for (int i = 0; i < 3; ++i) modeButtons_[size_t(i)]->setChecked(i == mode);
    if (mode == selection_.Mode) return;
    selection_.Mode = uint8_t(mode);
    if (TLOD* lod = CurrentLOD()) {
        lod->ClearSelection();
        document_.NotifySelectionChanged();
    }
    RepaintAll();
}

void TViewForm::LayoutPanels()
{
    if (!area_) return;
    const int w = area_->width(), h = area_->height();
    const auto place = [this](int i, QRect r) {
        panels_[size_t(i)]->setGeometry(r);
        views_[size_t(i)].OriginX = r.width() / 2;
        views_[size_t(i)].OriginY = r.height() / 2;
    };
    if (singlePanel_) {
        for (int i = 0; i < kViewPanelCount; ++i) panels_[size_t(i)]->setVisible(i == active_);
        place(active_, QRect(0, 0, w, h));
    } else {
        const int hw = w / 2, hh = h / 2;
        for (int i = 0; i < kViewPanelCount; ++i) {
            place(i, QRect((i % 2) * hw, (i / 2) * hh, hw, hh));
            panels_[size_t(i)]->setVisible(true);
        }
    }
    RepaintAll();
}

void TViewForm::OnClick_ToolButton_SinglePanel(bool down)
{
    singlePanel_ = down;
    LayoutPanels();
}

void TViewForm::OnClick_ToolButton_ControlPanel(bool down)
{
    if (down == Panel_Controls->isVisible()) return;
    const int width = Panel_Controls->width();
    Panel_Controls->setVisible(down);
    resize(this->width() + (down ? width : -width), height());
}

void TViewForm::PanelMousePress(int panel, Qt::MouseButton button, QPoint pos, bool doubleClick)
{
    if (panel < 0 || panel >= kViewPanelCount) return;
    TView& view = views_[size_t(panel)];
    view.LastMouseX = pos.x();
    view.LastMouseY = pos.y();
    if (panel != active_) {
        if (button == Qt::LeftButton) SetActiveView(panel);
        return;
    }
    if (button == Qt::LeftButton) {
        const Vector3 p = TViewProjection(view).Unproject(pos.x(), pos.y());
        selection_.Start = selection_.Finish = p;
        selection_.Active = true;
        if (TLOD* lod = CurrentLOD()) {
            lod->ClearSelection();
            document_.NotifySelectionChanged();
        }
        RepaintAll();
    } else if (button == Qt::RightButton) {
        if (doubleClick) {
            view.RightDragging = false;
            UpdateKindControls();
            panelMenu_->popup(panels_[size_t(panel)]->mapToGlobal(pos));
        } else {
            view.RightDragging = true;
        }
    }
}

void TViewForm::PanelMouseMove(int panel, Qt::MouseButtons buttons, QPoint pos)
{
    if (panel < 0 || panel >= kViewPanelCount) return;
    TView& view = views_[size_t(panel)];
    const QPoint last(view.LastMouseX, view.LastMouseY);
    view.LastMouseX = pos.x();
    view.LastMouseY = pos.y();
    UpdateStatus(panel, pos);
    if (panel != active_) return;
    if ((buttons & Qt::RightButton) && view.RightDragging) {
        view.OriginX += pos.x() - last.x();
        view.OriginY += pos.y() - last.y();
        RepaintPanel(panel);
    } else if ((buttons & Qt::LeftButton) && selection_.Active) {
        selection_.Finish = TViewProjection(view).Unproject(pos.x(), pos.y());
        UpdateBandSelection(true);
        RepaintAll();
    }
}

void TViewForm::PanelMouseRelease(int panel, Qt::MouseButton button, QPoint pos)
{
    if (panel < 0 || panel >= kViewPanelCount) return;
    TView& view = views_[size_t(panel)];
    if (button == Qt::RightButton) {
        view.RightDragging = false;
    } else if (button == Qt::LeftButton && panel == active_ && selection_.Active) {
        selection_.Finish = TViewProjection(view).Unproject(pos.x(), pos.y());
        selection_.Active = false;
        RepaintPanel(panel);
    }
}

void TViewForm::PanelWheel(int, int angleDeltaY)
{
    if (angleDeltaY < 0)
        ZoomActiveView(+1);
    else if (angleDeltaY > 0)
        ZoomActiveView(-1);
}

void TViewForm::UpdateBandSelection(bool notify)
{
    TLOD* lod = CurrentLOD();
    if (!lod) return;
    const bool had = lod->SelectionReady;
    const std::vector<uint8_t> vertices = lod->VertexSelected, faces = lod->FaceSelected,
                               components = lod->ComponentSelected;
    SelectInBand(*lod, views_[size_t(active_)].Kind, selection_.Mode, selection_.Start, selection_.Finish);
    const bool changed = !had || vertices != lod->VertexSelected || faces != lod->FaceSelected ||
                         components != lod->ComponentSelected;
    if (notify && changed) document_.NotifySelectionChanged();
}

void TViewForm::UpdateStatus(int panel, QPoint pos)
{
    const TView& view = views_[size_t(panel)];
    const Vector3 p = TViewProjection(view).Unproject(pos.x(), pos.y());
    statusPosition_->setText(QStringLiteral("%1  X %2  Y %3  Z %4")
                                 .arg(QString::fromLatin1(ViewKindCaption(view.Kind)))
                                 .arg(double(p.x), 0, 'f', 3)
                                 .arg(double(p.y), 0, 'f', 3)
                                 .arg(double(p.z), 0, 'f', 3));
    statusZoom_->setText(ZoomText(view));
}

void TViewForm::RebuildProxyMenu()
{
    for (QAction* a : proxyMenu_->actions())
        if (a->property("proxy").isValid()) {
            proxyMenu_->removeAction(a);
            a->deleteLater();
        }
    const QList<QAction*> fixed = proxyMenu_->actions();
    QAction* separator = fixed.isEmpty() ? nullptr : fixed.front();
    const TLOD* lod = CurrentLOD();
    const int count = lod ? lod->ProxyCount() : 0;
    int shown = 0;
    for (int i = 0; i < count; ++i) {
        const TProxy* proxy = lod->Proxy(i);
        auto* a = new QAction(ProxyMenuCaption(i, proxy->Name), proxyMenu_);
        a->setCheckable(true);
        a->setChecked(proxy->ShowModel);
        a->setProperty("proxy", i);
        shown += proxy->ShowModel ? 1 : 0;
        connect(a, &QAction::triggered, this, [this, i](bool checked) {
            TLOD* current = CurrentLOD();
            if (!current || !current->Proxy(i)) return;
            current->Proxy(i)->ShowModel = checked;
            document_.NotifyProxiesChanged();
        });
        proxyMenu_->insertAction(separator, a);
    }
    const auto command = [this](const char* name) { return proxyMenu_->findChild<QAction*>(QLatin1String(name)); };
    command("PopupMenuItem_Proxy_SelectAll")->setEnabled(count > 0 && shown < count);
    command("PopupMenuItem_Proxy_UnselectAll")->setEnabled(shown > 0);
    command("PopupMenuItem_Proxy_Invert")->setEnabled(count > 0);
}

void TViewForm::SetProxiesShown(int how)
{
    TLOD* lod = CurrentLOD();
    if (!lod || lod->ProxyCount() == 0) return;
    for (int i = 0; i < lod->ProxyCount(); ++i) {
        TProxy* proxy = lod->Proxy(i);
        proxy->ShowModel = how < 0 ? !proxy->ShowModel : how > 0;
    }
    for (QAction* a : proxyMenu_->actions()) {
        const QVariant index = a->property("proxy");
        if (const TProxy* proxy = index.isValid() ? lod->Proxy(index.toInt()) : nullptr) a->setChecked(proxy->ShowModel);
    }
    document_.NotifyProxiesChanged();
}

}  // namespace mc
