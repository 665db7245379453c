// Paints one panel of the model view into an off-screen image: background,
// grid, the current LOD's faces and marks, a second LOD, the special points,
// the bound box, the rubber band, the caption and the active frame. Faces
// go to the painter as line lists, one call per colour and pass.
#pragma once

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

#include "ViewGeometry.h"
#include "ViewSelection.h"

class QImage;
class QPainter;

namespace mc {

class TLOD;
class TModel;

// The colours of the model view.
struct TViewColors {
    QColor Background{0, 0, 0};
    QColor Grid{64, 64, 64};
    QColor Axis{128, 128, 128};
    QColor Face{128, 128, 128};
    QColor AnimatedFace{128, 0, 128};
    QColor SelectedFace{255, 255, 255};
    QColor PointMark{128, 128, 128};
    QColor SelectedVertex{0, 255, 0};
    QColor SharedAnimatedVertex{255, 0, 0};
    QColor Caption{255, 0, 0};
    QColor BoundBox{128, 0, 0};
    QColor LODBoundPoints{0, 255, 255};
    QColor NormalPasses{0, 0, 255};
    QColor NormalFails{0, 255, 255};
    QColor SecondLOD{1, 185, 205};
    QColor RubberBand{0, 255, 0};
    QColor ActiveFrame{255, 255, 255};
    QColor CurrentFace{255, 0, 0};
    QColor ProxyAxes[3] = {{252, 114, 232}, {171, 254, 173}, {171, 245, 254}};
    QColor AimPoint{0, 255, 0};
    QColor ModelOffset{255, 255, 0};
    QColor GeometryCenter{255, 0, 0};
    QColor MassCenter{0, 255, 255};
};
const TViewColors& ViewColors();

// The drawing options of the control panel.
struct TViewOptions {
    bool ShowBoundBox = false;
    bool QuadAsTriangles = false;
    bool Vertices = false;
    bool SpecialPoints = false;
    TCullMode Cull = TCullMode::CCW;
    const TLOD* SecondLOD = nullptr;
    bool SecondLODAsForeground = false;
};

// What the panels show of the document.
struct TViewScene {
    TViewScene() = default;
    TViewScene(const TModel* model, const TLOD* lod, int faceIndex = -1, int proxyIndex = -1)
        : Model(model), LOD(lod), FaceIndex(faceIndex), ProxyIndex(proxyIndex)
    {
    }

    const TModel* Model = nullptr;
    const TLOD* LOD = nullptr;
    int FaceIndex = -1;   // the polygon chosen in the main window
    int ProxyIndex = -1;  // the proxy chosen in the main window
    // The current animation frame's time while a pose is shown.
    std::optional<float> FrameTime;
};

// The pen of the panels: width 0 is the one-pixel line.
void SetViewPen(QPainter& p, const QColor& colour, int width = 0);

// A LOD drawn only as point marks (Memory, Hit-points).
bool LODDrawnAsPoints(const TLOD& lod);
// A LOD whose special points are always drawn (Geometry).
bool LODShowsSpecialPoints(const TLOD& lod);

class TViewPainter {
public:
    // Draws the whole panel into image. band is the rubber band when this
    // is the active view and one is being dragged.
    void Paint(QImage& image, const TView& view, const TViewScene& scene, const TViewOptions& options, bool active,
               const TSelection* band = nullptr);

    // Segments of the faces of the current LOD in the last Paint (both
    // colours), for measuring.
    int FaceSegmentCount() const { return faceSegments_; }
    // The segments themselves, as they were last drawn.
    const std::vector<QLine>& FaceLines() const { return faceLines_; }

private:
    void DrawGrid(QPainter& p, const TViewProjection& proj);
    void Project(const TLOD& lod, const TViewProjection& proj, std::vector<QPoint>& points);
    // Appends the outline of face f to lines when it is drawn under the
    // culling; false when it is culled or refers to missing vertices.
    bool AddFace(const TLOD& lod, const std::vector<QPoint>& points, size_t f, int kind, const TViewOptions& options,
                 std::vector<QLine>& lines) const;
    void DrawPointMarks(QPainter& p, const TLOD& lod, const std::vector<QPoint>& points, const QColor& colour);
    void DrawSecondLOD(QPainter& p, const TViewProjection& proj, const TViewOptions& options);
    void DrawSelectedVertices(QPainter& p, const TModel& model, const TLOD& lod);
    void DrawProxy(QPainter& p, const TViewProjection& proj, const TLOD& lod, int index);
    void DrawCurrentFace(QPainter& p, const TViewProjection& proj, const TLOD& lod, int index);
    void DrawSpecialPoints(QPainter& p, const TViewProjection& proj, const TModel& model);
    void DrawBoundBox(QPainter& p, const TViewProjection& proj, const TModel& model, const TLOD& lod);

    std::vector<QPoint> points_, secondPoints_;
    std::vector<QLine> faceLines_, selectedLines_, marks_;
    std::vector<QRect> squares_, sharedSquares_;
    int faceSegments_ = 0;
};

}  // namespace mc
