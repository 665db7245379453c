// The drawing surface of the 3D preview: a GL widget that owns the renderer,
// the device texture cache and the camera, draws one frame per paint, and
// collects the keys and mouse movement the camera reads each tick.
#pragma once

#include <QOpenGLWidget>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Camera/Camera.h"
#include "TextureManager.h"

namespace mc {

class TModel;
class TModelRenderer;
class TPreviewOverlay;

// What a frame shows, set by the window before each paint.
struct TPreviewFrame {
    TModel* Model = nullptr;
    int LODIndex = -1;          // the document's current LOD; -1: none
    int SelectedFace = -1;  // the face selected in the main window: selection display
    bool AutoLOD = false, Optional = false, Shining = false, HideSorted = false;
    bool Light = true;
    int CullMode = 3;
    bool ShowInfo = true;
    uint32_t Background = 0xFF0080C0;  // ARGB
    uint32_t FontColor = 0xFF711BE4;   // ARGB
    int FrameRate = 0;
    TMatrix4 World = TMatrix4::Identity();  // where the model stands
    bool Banner = true;                     // the program's name over the picture
};

class TPreviewSurface : public QOpenGLWidget, public ICameraSurface {
    Q_OBJECT
public:
    explicit TPreviewSurface(QWidget* parent = nullptr);
    ~TPreviewSurface() override;

    TCamera& Camera() { return camera_; }
    TPreviewFrame& Frame() { return frame_; }
    void SetTextureSource(TTextureSource source) { source_ = std::move(source); }

    // Input collected since the last call: keys held, mouse movement, left button.
    TCameraInput TakeInput();
    void ClearInput();

    // Drops the buffers and device textures of the model (before it changes or goes).
    void ReleaseModel();
    // Drops the vertex buffers only (a new pose).
    void ReleaseGeometry();

    int PolygonsDrawn() const { return polygonsDrawn_; }
    int TexturesInCache() const { return textures_ ? textures_->Count() : 0; }
    bool Hardware() const { return hardware_; }
    bool CanDraw() const { return renderer_ != nullptr; }
    // An error raised while the last frame was drawn; cleared by the call.
    std::string TakeError();
    // The GL context could not give what the renderer needs.
    const std::string& InitError() const { return initError_; }

    // ICameraSurface
    int Width() const override;
    int Height() const override;
    void SetViewport(const TViewport& viewport) override { viewport_ = viewport; }
    void SetProjection(const TMatrix4& projection) override { projection_ = projection; }
    void SetView(const TMatrix4& view) override { view_ = view; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void FreeDevice();
    friend class TPreviewOverlay;
    void DrawInfo(QPainter& painter);

    TCamera camera_;
    TPreviewFrame frame_;
    TTextureSource source_;
    std::unique_ptr<TModelRenderer> renderer_;
    std::unique_ptr<TTextureManager> textures_;
    TViewport viewport_;
    TMatrix4 projection_ = TMatrix4::Identity(), view_ = TMatrix4::Identity();
    std::vector<int> keysDown_;
    int mouseDx_ = 0, mouseDy_ = 0;
    bool mouseDragging_ = false, leftButton_ = false;
    QPoint lastMouse_;
    int polygonsDrawn_ = 0;
    bool hardware_ = true;
    std::string error_, initError_;
    TPreviewOverlay* overlay_ = nullptr;
};

}  // namespace mc
