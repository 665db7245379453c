#include "PreviewSurface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QSurfaceFormat>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "Core/AppServices.h"
#include "Model/Model.h"
#include "ModelRenderer.h"
#include "PreviewCamera.h"
#include "PreviewInfo.h"

namespace mc {

namespace {

QColor ToQColor(uint32_t argb) { return QColor(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)); }

// While a frame is drawn, status texts are held back and shown once the
// frame is done: the status bar repaints the main window at once, which would
// take the GL context away from the frame in the middle of it (textures show
// "loading" while they load during the first frame of a model).
class TFrameServices : public IAppServices {
public:
    TFrameServices() : outer_(GetAppServices()) { SetAppServices(this); }
    ~TFrameServices() override
    {
        SetAppServices(outer_);
        if (!statusChanged_ || !outer_) return;
        IAppServices* outer = outer_;
        QTimer::singleShot(0, [outer, text = status_] {
            if (GetAppServices() == outer) outer->ShowStatus(text);
        });
    }
    TFrameServices(const TFrameServices&) = delete;
    TFrameServices& operator=(const TFrameServices&) = delete;

    void AddLog(std::string_view line) override
    {
        if (outer_) outer_->AddLog(line);
    }
    void ShowStatus(std::string_view text) override
    {
        status_ = text;
        statusChanged_ = true;
    }
    void ShowMessage(TMessageKind kind, std::string_view text) override
    {
        if (outer_) outer_->ShowMessage(kind, text);
    }
    void BeginWait() override
    {
        if (outer_) outer_->BeginWait();
    }
    void EndWait() override
    {
        if (outer_) outer_->EndWait();
    }

private:
    IAppServices* outer_;
    std::string status_;
    bool statusChanged_ = false;
};

}  // namespace

// The information lines, painted over the GL picture by the widget system,
// so that the GL state of the frame and the text never meet.
class TPreviewOverlay : public QWidget {
public:
    explicit TPreviewOverlay(TPreviewSurface* surface) : QWidget(surface), surface_(surface)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        surface_->DrawInfo(painter);
    }

private:
    TPreviewSurface* surface_;
};

TPreviewSurface::TPreviewSurface(QWidget* parent) : QOpenGLWidget(parent), camera_(this, {0, 0, -10})
{
    overlay_ = new TPreviewOverlay(this);
    setObjectName(QStringLiteral("PaintBox_Preview"));
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    setFormat(format);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setMinimumSize(64, 48);
    ApplyPreviewCameraSettings(camera_);
}

TPreviewSurface::~TPreviewSurface()
{
    if (renderer_) {
        makeCurrent();
        FreeDevice();
        doneCurrent();
    }
}

int TPreviewSurface::Width() const { return int(width() * devicePixelRatioF()); }
int TPreviewSurface::Height() const { return int(height() * devicePixelRatioF()); }

void TPreviewSurface::FreeDevice()
{
    if (renderer_) renderer_->ReleaseAll();
    textures_.reset();
    renderer_.reset();
}

void TPreviewSurface::initializeGL()
{
    // The context goes with the widget's top level (full screen and back):
    // everything made in it goes first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        FreeDevice();
        doneCurrent();
    });
    auto renderer = std::make_unique<TModelRenderer>();
    if (!renderer->Initialize(&initError_)) return;
    renderer_ = std::move(renderer);
    const std::string name = renderer_->DeviceName();
    hardware_ = name.find("llvmpipe") == std::string::npos && name.find("softpipe") == std::string::npos &&
                name.find("swrast") == std::string::npos && name.find("Software") == std::string::npos;
    textures_ = std::make_unique<TTextureManager>(renderer_->TextureDevice(), source_);
    camera_.Invalidate();
}

void TPreviewSurface::resizeGL(int, int)
{
    camera_.Invalidate();
    overlay_->setGeometry(rect());
}

void TPreviewSurface::ReleaseModel()
{
    if (!renderer_) return;
    makeCurrent();
    renderer_->ReleaseAll();
    doneCurrent();
}

void TPreviewSurface::ReleaseGeometry()
{
    if (!renderer_) return;
    makeCurrent();
    renderer_->ReleaseGeometry();
    doneCurrent();
}

std::string TPreviewSurface::TakeError()
{
    std::string e;
    e.swap(error_);
    return e;
}

void TPreviewSurface::paintGL()
{
    polygonsDrawn_ = 0;
    if (!renderer_) return;
    TFrameServices services;
    try {
        camera_.Apply();
        renderer_->SetViewport(viewport_.X, viewport_.Y, viewport_.Width, viewport_.Height);
        renderer_->Clear(frame_.Background);
        TModel* model = frame_.Model;
        if (model && model->LODCount() > 0 && (frame_.AutoLOD || frame_.LODIndex >= 0)) {
            TFrameSettings settings;
            settings.View = view_;
            settings.Projection = projection_;
            settings.CullMode = frame_.CullMode;
            settings.Light = frame_.Light;
            renderer_->BeginFrame(settings);
            TDrawParameters params;
            if (frame_.AutoLOD) {
                params.Flags = DrawFlag::AutoLOD;
                params.Distance = camera_.DistanceTo({0, 0, 0});
            } else {
                params.Flags = DrawFlag::GivenLOD;
                params.LODIndex = frame_.LODIndex;
            }
            if (frame_.SelectedFace >= 0) {
                params.Flags |= DrawFlag::Selection;
                params.SelectedFace = frame_.SelectedFace;
            }
            if (frame_.Optional) params.Flags |= DrawFlag::Optional;
            if (frame_.Shining) params.Flags |= DrawFlag::Shining;
            if (frame_.HideSorted) params.Flags |= DrawFlag::HideSorted;
            params.TextureCache = textures_.get();
            params.World = frame_.World;
            polygonsDrawn_ = renderer_->DrawModel(*model, params);
        }
        renderer_->EndFrame();
    } catch (const std::exception& e) {
        renderer_->EndFrame();
        error_ = e.what();
    }
    overlay_->setGeometry(rect());
    overlay_->update();
}

void TPreviewSurface::DrawInfo(QPainter& painter)
{
    if (!frame_.Banner && !frame_.ShowInfo) return;
    QFont bold = font();
    bold.setPointSize(8);
    bold.setBold(true);
    painter.setFont(bold);
    const QString banner = QString::fromLatin1(kPreviewBanner);
    const QFontMetrics bm(bold);
    if (frame_.Banner) {
        painter.fillRect(QRect(2, 0, bm.horizontalAdvance(banner), bm.height()), Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(2, bm.ascent()), banner);
    }
    if (!frame_.ShowInfo) return;
    QFont plain = bold;
    plain.setBold(false);
    painter.setFont(plain);
    painter.setPen(ToQColor(frame_.FontColor));
    TPreviewInfo info;
    info.FrameRate = frame_.FrameRate;
    info.SurfaceWidth = Width();
    info.SurfaceHeight = Height();
    info.Hardware = hardware_;
    info.CameraPosition = camera_.Position();
    info.CameraDirection = camera_.Direction();
    info.TexturesInCache = TexturesInCache();
    info.PolygonsDrawn = polygonsDrawn_;
    info.HasModel = frame_.Model != nullptr;
    if (frame_.Model) info.ModelFileName = frame_.Model->FileName;
    const QFontMetrics pm(plain);
    int y = 28;
    for (const std::string& line : PreviewInfoLines(info)) {
        painter.drawText(QPoint(2, y + pm.ascent()), QString::fromLocal8Bit(line.c_str()));
        y += 14;
    }
}

TCameraInput TPreviewSurface::TakeInput()
{
    TCameraInput input = InputForKeys(keysDown_);
    input.MouseButton1 = leftButton_;
    input.MouseX = mouseDx_;
    input.MouseY = mouseDy_;
    mouseDx_ = mouseDy_ = 0;
    return input;
}

void TPreviewSurface::ClearInput()
{
    keysDown_.clear();
    mouseDx_ = mouseDy_ = 0;
    leftButton_ = mouseDragging_ = false;
}

void TPreviewSurface::keyPressEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) return;
    if (std::find(keysDown_.begin(), keysDown_.end(), event->key()) == keysDown_.end())
        keysDown_.push_back(event->key());
    if (event->key() != Qt::Key_Escape) event->accept();
    QOpenGLWidget::keyPressEvent(event);
}

void TPreviewSurface::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) return;
    keysDown_.erase(std::remove(keysDown_.begin(), keysDown_.end(), event->key()), keysDown_.end());
}

void TPreviewSurface::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) return;  // the pop-up menu
    mouseDragging_ = true;
    lastMouse_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton) leftButton_ = true;
    setFocus();
}

void TPreviewSurface::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) leftButton_ = false;
    if (!(event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) mouseDragging_ = false;
}

void TPreviewSurface::mouseMoveEvent(QMouseEvent* event)
{
    if (!mouseDragging_) return;
    const QPoint p = event->position().toPoint();
    mouseDx_ += p.x() - lastMouse_.x();
    mouseDy_ += p.y() - lastMouse_.y();
    lastMouse_ = p;
}

void TPreviewSurface::focusOutEvent(QFocusEvent* event)
{
    ClearInput();
    QOpenGLWidget::focusOutEvent(event);
}

}  // namespace mc
