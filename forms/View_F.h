// The model view: the current LOD of the open model in up to four
// wire-frame panels, each with its own projection, zoom and pan. A rubber
// band selects vertices, polygons or named selections into the document's
// current LOD; a second LOD, the bound box and the special points can be
// laid over; the proxy menu chooses which proxies the preview shows.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

#include "ViewGeometry.h"
#include "ViewPainter.h"
#include "ViewSelection.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;

namespace mc {

class TModelDocument;
class TLOD;

// The animation window's operations behind the eight animation buttons. A
// button is enabled while its operation is set.
struct TViewAnimationCommands {
    std::function<void()> Reset, Play, Pause, Stop, First, Previous, Next, Last;
    // The time of the current frame, when the animation window has one.
    std::function<std::optional<float>()> CurrentFrameTime;
};

// The caption of a proxy's entry in the proxy menu: "&%d %s" for 0-9,
// "&%c %s" with 'A' + (index - 10) for 10-35, the bare name from 36 on
// (an ampersand of the name is doubled, so it shows).
QString ProxyMenuCaption(int index, const std::string& name);

constexpr int kViewPanelCount = 4;

class TViewPanel;

class TViewForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TViewForm(TModelDocument& document, QWidget* parent = nullptr);
    ~TViewForm() override;

    TModelDocument& Document() const { return document_; }

    // The animation window hooks its operations in here.
    void SetAnimationCommands(TViewAnimationCommands commands);

    // Views and panels (0..3).
    TView& View(int panel) { return views_[size_t(panel)]; }
    const TView& View(int panel) const { return views_[size_t(panel)]; }
    QWidget* Panel(int panel) const;
    int ActiveView() const { return active_; }
    void SetActiveView(int panel);
    // The active view's kind (1..7).
    void SetViewKind(int kind);
    // Zoom of the active view about its last mouse position: +1 in, -1 out.
    void ZoomActiveView(int step);
    const TSelection& Selection() const { return selection_; }
    void SetSelectionMode(int mode);
    TViewOptions Options() const;
    // Draws a panel into the off-screen image and returns it (what the panel
    // shows after its next repaint).
    const QImage& PaintPanel(int panel);

    // Refresh rule: the control panel's options for the current LOD, then
    // every panel repaints.
    void RefreshView();
    void RepaintAll();
    void RepaintPanel(int panel);

    // The proxy menu as it is when it opens.
    QMenu* ProxyMenu() const { return proxyMenu_; }
    void RebuildProxyMenu();
    // The panel's pop-up menu (opened by a right double click).
    QMenu* PanelMenu() const { return panelMenu_; }

    // Mouse in a panel, as the panels report it (also for tests).
    void PanelMousePress(int panel, Qt::MouseButton button, QPoint pos, bool doubleClick = false);
    void PanelMouseMove(int panel, Qt::MouseButtons buttons, QPoint pos);
    void PanelMouseRelease(int panel, Qt::MouseButton button, QPoint pos);
    void PanelWheel(int panel, int angleDeltaY);

    // Places the panels in the main area and centres their origins.
    void LayoutPanels();

private:
    void CreateToolBar();
    void CreateControlPanel();
    void CreatePanels();
    void CreatePanelMenu();
    void ConnectDocument();
    void FillSecondLODs();
    void UpdateKindControls();
    void UpdateStatus(int panel, QPoint pos);
    TViewScene Scene() const;
    TLOD* CurrentLOD() const;
    void UpdateBandSelection(bool notify);
    void SetProxiesShown(int how);  // 1 all, 0 none, -1 invert
    void OnClick_ToolButton_SinglePanel(bool down);
    void OnClick_ToolButton_ControlPanel(bool down);

    TModelDocument& document_;
    std::array<TView, kViewPanelCount> views_;
    std::array<TViewPanel*, kViewPanelCount> panels_{};
    int active_ = 0;
    TSelection selection_;
    TViewPainter painter_;
    QImage Image_Buffer;
    TViewAnimationCommands animation_;
    bool singlePanel_ = false;

    QWidget* area_ = nullptr;
    QWidget* Panel_Controls = nullptr;
    std::array<QToolButton*, 4> kindButtons_{};
    QToolButton* ToolButton_SinglePanel = nullptr;
    QToolButton* ToolButton_ControlPanel = nullptr;
    std::array<QToolButton*, 3> modeButtons_{};
    std::array<QToolButton*, 8> animationButtons_{};
    QMenu* PopupMenu_ViewXXXX = nullptr;
    QMenu* PopupMenu_PaintBox_XXXX = nullptr;
    QMenu* panelMenu_ = nullptr;
    QMenu* proxyMenu_ = nullptr;
    QActionGroup* viewKinds_ = nullptr;
    QActionGroup* panelKinds_ = nullptr;
    QCheckBox* CheckBox_ShowBoundBox = nullptr;
    QCheckBox* CheckBox_ShowQuadAsTriangles = nullptr;
    QCheckBox* CheckBox_Vertices = nullptr;
    QCheckBox* CheckBox_SpecialVertices = nullptr;
    QComboBox* ComboBox_SecondLOD = nullptr;
    QCheckBox* CheckBox_SecondLODAsForeground = nullptr;
    QComboBox* ComboBox_CullMode = nullptr;
    QLabel* statusPosition_ = nullptr;
    QLabel* statusZoom_ = nullptr;
    QLabel* statusSelection_ = nullptr;
};

}  // namespace mc
