// The 3D preview window: the current model drawn textured and lit by the GL
// renderer, a camera flown with keys and mouse, a control panel for culling,
// Auto LOD, optional faces, light and colours, and full-screen mode.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "TextureManager.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace mc {

class TCamera;
class TLOD;
class TModel;
class TPreviewSurface;

class TMPreviewForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMPreviewForm(QWidget* parent = nullptr);
    ~TMPreviewForm() override;

    // The model shown (not owned) and Reset View.
    void SetModel(TModel* model);
    // The current LOD of the document (-1: none) and its selected face (-1: none).
    void SetCurrentLOD(int index);
    void SetSelectedFace(int index);
    // Where device textures come from, and how a LOD's shown proxies get
    // their models.
    void SetTextureSource(TTextureSource source);
    void SetProxyResolver(std::function<void(TLOD&)> resolver) { resolveProxies_ = std::move(resolver); }
    // Proxy visibility or a pose changed: resolve the proxies to show and draw
    // one frame soon.
    void Rebuild();
    // The model's positions changed (a pose): its vertex buffers are rebuilt.
    void GeometryChanged();

    void ResetView();
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return fullScreen_; }
    // One tick of the frame timer: input, camera, frame.
    void Tick();

    TCamera& Camera();
    TPreviewSurface* Surface() const { return surface_; }
    int PolygonsDrawn() const;
    int FrameRate() const { return frameRate_; }
    uint32_t BackgroundColor() const;
    uint32_t FontColor() const;
    void SetBackgroundColor(uint32_t argb);
    void SetFontColor(uint32_t argb);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildPanel();
    void BuildMenu();
    void SyncFrame();
    void FitWindowToSurface();
    void OnClick_Button_BkColor();
    void OnClick_Button_FontColor();
    void OnClick_PopupMenuItem_Freeze();
    void OnClick_PopupMenuItem_Lock();
    void OnClick_PopupMenuItem_ControlPanel();
    void ShowFrameError(const std::string& text);

    TPreviewSurface* surface_ = nullptr;
    QWidget* Panel_Right = nullptr;
    QCheckBox* CheckBox_ShowInfo = nullptr;
    QRadioButton* RadioButton_CullMode_None = nullptr;
    QRadioButton* RadioButton_CullMode_Clockwise = nullptr;
    QRadioButton* RadioButton_CullMode_Counterclockwise = nullptr;
    QCheckBox* CheckBox_AutoLOD = nullptr;
    QCheckBox* CheckBox_Optional = nullptr;
    QCheckBox* CheckBox_Fire = nullptr;
    QCheckBox* CheckBox_HideSorted = nullptr;
    QCheckBox* CheckBox_Light = nullptr;
    QFrame* Shape_BkColor = nullptr;
    QPushButton* Button_BkColor = nullptr;
    QFrame* Shape_FontColor = nullptr;
    QPushButton* Button_FontColor = nullptr;
    QComboBox* ComboBox_FullScreenMode = nullptr;
    QLabel* Label_POV = nullptr;
    QLabel* Label_FPS = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* PopupMenuItem_ResetCamera = nullptr;
    QAction* PopupMenuItem_Freeze = nullptr;
    QAction* PopupMenuItem_Lock = nullptr;
    QAction* PopupMenuItem_ControlPanel = nullptr;
    QAction* PopupMenuItem_FullScreen = nullptr;

    QTimer timer_;
    QTimer redrawTimer_;
    QElapsedTimer fpsClock_;
    int framesCounted_ = 0;
    bool busy_ = false;
    bool closeRequested_ = false;
    int frameRate_ = 0;
    TModel* model_ = nullptr;
    int lodIndex_ = -1;
    int selectedFace_ = -1;
    uint32_t background_ = 0xFF0080C0;
    uint32_t fontColor_ = 0xFF711BE4;
    bool fullScreen_ = false;
    QRect savedGeometry_;
    bool savedMaximized_ = false;
    std::function<void(TLOD&)> resolveProxies_;
};

}  // namespace mc
