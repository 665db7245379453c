#include "ViewPainter.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/ModelTables.h"

namespace mc {

namespace {

QPoint ToPoint(TScreenPoint s) { return {s.x, s.y}; }

}  // namespace

// One-pixel lines leave their last pixel out (flat caps), so that a closed
// outline sets each corner once.
void SetViewPen(QPainter& p, const QColor& colour, int width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
}

namespace {

void SetPen(QPainter& p, const QColor& colour, int width = 0) { SetViewPen(p, colour, width); }

void DrawLines(QPainter& p, const std::vector<QLine>& lines)
{
    if (!lines.empty()) p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

// A plus sign whose arms reach from -lo to +hi pixels (the pen leaves the
// last pixel of a line out, so +hi itself stays clear).
void AddPlus(std::vector<QLine>& lines, QPoint c, int lo, int hi)
{
    lines.emplace_back(c.x() - lo, c.y(), c.x() + hi, c.y());
    lines.emplace_back(c.x(), c.y() - lo, c.x(), c.y() + hi);
}

bool FaceVerticesValid(const TFace& face, size_t vertexCount)
{
    const int count = face.Count == 4 ? 4 : 3;
    for (int k = 0; k < count; ++k)
        if (face.Vertices[size_t(k)] >= vertexCount) return false;
    return true;
}

}  // namespace

const TViewColors& ViewColors()
{
    static const TViewColors colours;
    return colours;
}

bool LODDrawnAsPoints(const TLOD& lod) { return IsDrawnAsPoints(lod.Resolution); }
bool LODShowsSpecialPoints(const TLOD& lod) { return IsGeometryResolution(lod.Resolution); }

void TViewPainter::Project(const TLOD& lod, const TViewProjection& proj, std::vector<QPoint>& points)
{
    points.resize(lod.Positions.size());
    for (size_t v = 0; v < points.size(); ++v) points[v] = ToPoint(proj.Project(lod.Positions[v]));
}

bool TViewPainter::AddFace(const TLOD& lod, const std::vector<QPoint>& points, size_t f, int kind,
                           const TViewOptions& options, std::vector<QLine>& lines) const
{
    const TFace& face = lod.Faces[f];
    if (!FaceVerticesValid(face, points.size())) return false;
    const auto& v = face.Vertices;
    if (!FaceDrawn(kind, options.Cull, lod.Positions[v[0]], lod.Positions[v[1]], lod.Positions[v[2]])) return false;
    const QPoint p0 = points[v[0]], p1 = points[v[1]], p2 = points[v[2]];
    lines.emplace_back(p0, p1);
    lines.emplace_back(p1, p2);
    if (face.Count == 4) {
        const QPoint p3 = points[v[3]];
        lines.emplace_back(p2, p3);
        lines.emplace_back(p3, p0);
        if (options.QuadAsTriangles) lines.emplace_back(p0, p2);
    } else {
        lines.emplace_back(p2, p0);
    }
    return true;
}

void TViewPainter::Paint(QImage& image, const TView& view, const TViewScene& scene, const TViewOptions& options,
                         bool active, const TSelection* band)
{
    const TViewColors& colours = ViewColors();
    const TViewProjection proj(view);
    faceSegments_ = 0;
    faceLines_.clear();
    selectedLines_.clear();

    // 1. Background.
    image.fill(colours.Background);
    QPainter p(&image);
    p.setBrush(Qt::NoBrush);

    if (view.Kind != ViewNone) {
        // 2. Grid and axes.
        DrawGrid(p, proj);

        // 3. The current LOD.
        const TModel* model = scene.Model;
        const TLOD* lod = scene.LOD;
        if (model && lod) {
            const bool second = options.SecondLOD && options.SecondLOD->Model == model;
            if (second && !options.SecondLODAsForeground) DrawSecondLOD(p, proj, options);

            Project(*lod, proj, points_);
            for (size_t f = 0; f < lod->Faces.size(); ++f)
                AddFace(*lod, points_, f, view.Kind, options,
                        lod->IsFaceSelected(static_cast<int>(f)) ? selectedLines_ : faceLines_);
            faceSegments_ = static_cast<int>(faceLines_.size() + selectedLines_.size());
            SetPen(p, model->AnimationActive ? colours.AnimatedFace : colours.Face);
            DrawLines(p, faceLines_);
            SetPen(p, colours.SelectedFace);
            DrawLines(p, selectedLines_);

            if (options.Vertices || LODDrawnAsPoints(*lod)) DrawPointMarks(p, *lod, points_, colours.PointMark);
            DrawSelectedVertices(p, *model, *lod);
            DrawProxy(p, proj, *lod, scene.ProxyIndex);
            DrawCurrentFace(p, proj, *lod, scene.FaceIndex);
            if (second && options.SecondLODAsForeground) DrawSecondLOD(p, proj, options);
            if (options.SpecialPoints || LODShowsSpecialPoints(*lod)) DrawSpecialPoints(p, proj, *model);
            if (options.ShowBoundBox) DrawBoundBox(p, proj, *model, *lod);
        }

        // 4. Rubber band.
        if (active && band && band->Active) {
            const QPoint a = ToPoint(proj.Project(band->Start)), b = ToPoint(proj.Project(band->Finish));
            const QPoint lo(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
            const QPoint hi(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
            const QPoint corners[5] = {lo, {hi.x(), lo.y()}, hi, {lo.x(), hi.y()}, lo};
            SetPen(p, colours.RubberBand);
            p.drawPolyline(corners, 5);
        }
    }

    // 5. Caption.
    QString caption = QString::fromLatin1(ViewKindCaption(view.Kind));
    if (scene.Model && scene.Model->AnimationActive && scene.FrameTime)
        caption = QString::asprintf("%s frame %.3f", ViewKindCaption(view.Kind), double(*scene.FrameTime));
    if (!caption.isEmpty()) {
        QFont font = p.font();
        font.setBold(true);
        p.setFont(font);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(colours.Background);
        SetPen(p, colours.Caption);
        p.drawText(QRect(10, 10, image.width(), image.height()), Qt::AlignLeft | Qt::AlignTop, caption);
        p.setBackgroundMode(Qt::TransparentMode);
    }

    // 6. Active frame.
    if (active) {
        SetPen(p, colours.ActiveFrame, 6);
        p.drawRect(QRect(0, 0, image.width(), image.height()));
    }
}

void TViewPainter::DrawGrid(QPainter& p, const TViewProjection& proj)
{
    const TViewColors& colours = ViewColors();
    // The plane's two axes as unit vectors.
    Vector3 u{1, 0, 0}, v{0, 1, 0};
    switch (proj.Kind()) {
    case ViewFront:
    case ViewBack: break;
    case ViewLeft:
    case ViewRight: u = {0, 0, 1}, v = {0, 1, 0}; break;
    default: u = {1, 0, 0}, v = {0, 0, 1}; break;
    }
    const auto line = [&](Vector3 a, Vector3 b) { return QLine(ToPoint(proj.Project(a)), ToPoint(proj.Project(b))); };
    marks_.clear();
    for (int i = -10; i <= 10; ++i) {
        if (i == 0) continue;
        const float k = float(i);
        marks_.push_back(line(u * k - v * 10.0f, u * k + v * 10.0f));
        marks_.push_back(line(v * k - u * 10.0f, v * k + u * 10.0f));
    }
    SetPen(p, colours.Grid);
    DrawLines(p, marks_);

    marks_.clear();
    marks_.push_back(line(u * -10.0f, u * 10.0f));
    marks_.push_back(line(v * -10.0f, v * 10.0f));
    if (proj.Kind() == View3D) marks_.push_back(line({0, -10, 0}, {0, 10, 0}));
    SetPen(p, colours.Axis);
    DrawLines(p, marks_);
}

void TViewPainter::DrawPointMarks(QPainter& p, const TLOD& lod, const std::vector<QPoint>& points,
                                  const QColor& colour)
{
    marks_.clear();
    for (uint16_t v : lod.PointToVertex)
        if (v < points.size()) AddPlus(marks_, points[v], 2, 3);
    SetPen(p, colour);
    DrawLines(p, marks_);
}

void TViewPainter::DrawSecondLOD(QPainter& p, const TViewProjection& proj, const TViewOptions& options)
{
    const TLOD& lod = *options.SecondLOD;
    Project(lod, proj, secondPoints_);
    marks_.clear();
    for (size_t f = 0; f < lod.Faces.size(); ++f) AddFace(lod, secondPoints_, f, proj.Kind(), options, marks_);
    SetPen(p, ViewColors().SecondLOD);
    DrawLines(p, marks_);
    if (options.Vertices || LODDrawnAsPoints(lod)) DrawPointMarks(p, lod, secondPoints_, ViewColors().SecondLOD);
}

void TViewPainter::DrawSelectedVertices(QPainter& p, const TModel& model, const TLOD& lod)
{
    if (!lod.SelectionReady) return;
    squares_.clear();
    sharedSquares_.clear();
    const size_t count = std::min(lod.VertexSelected.size(), points_.size());
    for (size_t v = 0; v < count; ++v) {
        if (!lod.VertexSelected[v]) continue;
        bool shared = false;
        if (model.AnimationActive && v < lod.VertexToPoint.size()) {
            const size_t point = lod.VertexToPoint[v];
            shared = point < lod.AnimUsage.size() && lod.AnimUsage[point] > 1;
        }
        // Six pixels a side, from -3 to +2 around the vertex.
        (shared ? sharedSquares_ : squares_).emplace_back(points_[v].x() - 3, points_[v].y() - 3, 5, 5);
    }
    const TViewColors& colours = ViewColors();
    if (!squares_.empty()) {
        SetPen(p, colours.SelectedVertex);
        p.drawRects(squares_.data(), static_cast<int>(squares_.size()));
    }
    if (!sharedSquares_.empty()) {
        SetPen(p, colours.SharedAnimatedVertex);
        p.drawRects(sharedSquares_.data(), static_cast<int>(sharedSquares_.size()));
    }
}

void TViewPainter::DrawProxy(QPainter& p, const TViewProjection& proj, const TLOD& lod, int index)
{
    const TProxy* proxy = lod.Proxy(index);
    if (!proxy) return;
    const QPoint origin = ToPoint(proj.Project(proxy->ProxyPosition));
    const Vector3 axes[3] = {proxy->ProxyNormal, proxy->LongAxis, proxy->ShortAxis};
    for (int i = 0; i < 3; ++i) {
        SetPen(p, ViewColors().ProxyAxes[i], 3);
        p.drawLine(origin, ToPoint(proj.Project(proxy->ProxyPosition + axes[i])));
    }
}

void TViewPainter::DrawCurrentFace(QPainter& p, const TViewProjection& proj, const TLOD& lod, int index)
{
    if (index < 0 || size_t(index) >= lod.Faces.size()) return;
    const TFace& face = lod.Faces[size_t(index)];
    if (!FaceVerticesValid(face, lod.Positions.size())) return;
    const int count = face.Count == 4 ? 4 : 3;
    const auto pos = [&](int k) { return lod.Positions[face.Vertices[size_t(k)]]; };
    QPoint outline[5];
    for (int k = 0; k < count; ++k) outline[k] = ToPoint(proj.Project(pos(k)));
    outline[count] = outline[0];
    SetPen(p, ViewColors().CurrentFace);
    p.drawPolyline(outline, count + 1);

    // The vertex normals, blue where they agree with the face's plane.
    const Vector3 first = Normalize(Cross(pos(1) - pos(0), pos(2) - pos(0)));
    const Vector3 secondHalf = count == 4 ? Normalize(Cross(pos(3) - pos(2), pos(0) - pos(2))) : first;
    for (int k = 0; k < count; ++k) {
        const uint16_t v = face.Vertices[size_t(k)];
        if (v >= lod.Normals.size()) continue;
        const Vector3 normal = lod.Normals[v];
        const bool passes = IsFlatCornerNormal(normal, k == 3 ? secondHalf : first);
        SetPen(p, passes ? ViewColors().NormalPasses : ViewColors().NormalFails);
        p.drawLine(ToPoint(proj.Project(pos(k))), ToPoint(proj.Project(pos(k) + normal)));
    }
}

void TViewPainter::DrawSpecialPoints(QPainter& p, const TViewProjection& proj, const TModel& model)
{
    const TViewColors& colours = ViewColors();
    SetPen(p, colours.AimPoint);
    p.drawEllipse(ToPoint(proj.Project(model.AimPoint)), 3, 3);

    marks_.clear();
    AddPlus(marks_, ToPoint(proj.Project(-model.ModelOffset)), 4, 5);
    SetPen(p, colours.ModelOffset);
    DrawLines(p, marks_);

    SetPen(p, colours.GeometryCenter);
    p.drawEllipse(ToPoint(proj.Project(model.GeometryCenter)), 5, 5);

    const QPoint c = ToPoint(proj.Project(model.MassCenter));
    marks_.clear();
    marks_.emplace_back(c.x() - 4, c.y() - 4, c.x() + 5, c.y() + 5);
    marks_.emplace_back(c.x() - 4, c.y() + 4, c.x() + 5, c.y() - 5);
    SetPen(p, colours.MassCenter);
    DrawLines(p, marks_);
}

void TViewPainter::DrawBoundBox(QPainter& p, const TViewProjection& proj, const TModel& model, const TLOD& lod)
{
    const Vector3 a = model.RangeA, b = model.RangeB;
    QPoint corner[8];
    for (int i = 0; i < 8; ++i)
        corner[i] = ToPoint(proj.Project({(i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z}));
    marks_.clear();
    for (int i = 0; i < 8; ++i)
        for (int bit : {1, 2, 4})
            if (!(i & bit)) marks_.emplace_back(corner[i], corner[i | bit]);
    SetPen(p, ViewColors().BoundBox);
    DrawLines(p, marks_);

    marks_.clear();
    QPoint vectors[4];
    for (int i = 0; i < 4; ++i) {
        vectors[i] = ToPoint(proj.Project(lod.LODVectors[i]));
        AddPlus(marks_, vectors[i], 4, 5);
    }
    marks_.emplace_back(vectors[1], vectors[2]);
    marks_.emplace_back(vectors[2], vectors[3]);
    marks_.emplace_back(vectors[3], vectors[1]);
    SetPen(p, ViewColors().LODBoundPoints);
    DrawLines(p, marks_);
}

}  // namespace mc
