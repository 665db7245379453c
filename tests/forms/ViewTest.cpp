// The model view: its arithmetic (zoom, projections and their inverses,
// culling), the panels as painted (pixels), the rubber band in its three
// modes, the refresh rule, the proxy menu, and screenshots of a demo and a
// real model.
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>
#include <cmath>
#include <memory>

#include "Core/FilePaths.h"
#include "DemoModel.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ModelTables.h"
#include "MainGridModels.h"
#include "Main_F.h"
#include "ModelDocument.h"
#include "ProgramWindows.h"
#include "ViewGeometry.h"
#include "ViewPainter.h"
#include "ViewSelection.h"
#include "View_F.h"

using namespace mc;
using namespace mc::test;

namespace {

// A LOD of one vertex per point from positions and faces (vertex lists of
// three or four).
TLOD& AddLOD(TModel& model, float resolution, const std::vector<Vector3>& positions,
             const std::vector<std::vector<uint16_t>>& faces)
{
    TLOD& lod = *model.AddLOD();
    lod.Resolution = resolution;
    lod.Positions = positions;
    lod.Normals.assign(positions.size(), Vector3{0, 0, -1});
    lod.UVs.assign(positions.size(), TUV{});
    for (size_t v = 0; v < positions.size(); ++v) {
        lod.PointToVertex.push_back(uint16_t(v));
        lod.VertexToPoint.push_back(uint16_t(v));
    }
    for (const auto& list : faces) {
        TFace face;
        face.Count = uint8_t(list.size());
        for (size_t k = 0; k < list.size(); ++k) face.Vertices[k] = list[k];
        lod.Faces.push_back(face);
    }
    return lod;
}

TView MakeView(int kind, int width = 600, int height = 450)
{
    TView view;
    view.Kind = uint8_t(kind);
    view.OriginX = width / 2;
    view.OriginY = height / 2;
    return view;
}

QColor Pixel(const QImage& image, QPoint p) { return QColor(image.pixel(p)); }
QColor Pixel(const QImage& image, TScreenPoint p) { return QColor(image.pixel(p.x, p.y)); }

struct TPainted {
    QImage Image{600, 450, QImage::Format_RGB32};
    TViewPainter Painter;
    void Paint(const TView& view, const TViewScene& scene, const TViewOptions& options = {}, bool active = false)
    {
        Painter.Paint(Image, view, scene, options, active);
    }
};

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

    TGameData game_;
    std::unique_ptr<TModelDocument> document_;
    std::unique_ptr<TViewForm> form_;

    TViewForm& Form()
    {
        if (!form_) {
            document_ = std::make_unique<TModelDocument>(game_);
            form_ = std::make_unique<TViewForm>(*document_);
            form_->resize(1000, 760);
            form_->show();
            if (!QTest::qWaitForWindowExposed(form_.get())) qWarning("view window not exposed");
        }
        return *form_;
    }

    // A model with a visual LOD (two triangles, a quad, two named
    // selections), a Memory LOD and a Geometry LOD, opened in the document.
    TModel& OpenTestModel()
    {
        Form();
        auto model = std::make_unique<TModel>();
        TLOD& visual = AddLOD(*model, 1.0f,
                              {{-2, -2, 0}, {-1, -2, 0}, {-1, -1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}},
                              {{0, 2, 1}, {3, 6, 5, 4}});
        auto left = std::make_unique<TModelComponent>(&visual);
        left->Name = "left";
        left->Vertices = {0, 1, 2};
        left->Faces = {0};
        auto right = std::make_unique<TModelComponent>(&visual);
        right->Name = "right";
        right->Vertices = {3, 4, 5, 6};
        right->Faces = {1};
        visual.Selections.push_back(std::move(left));
        visual.Selections.push_back(std::move(right));
        AddLOD(*model, ResolutionValue(ResMemory), {{0.5f, 0.5f, 0}, {-1.5f, 0.5f, 0}}, {});
        AddLOD(*model, ResolutionValue(ResGeometry), {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 2, 1}});
        model->Signature = kSignatureMLOD;
        document_->SetModel(std::move(model), "test.p3d");
        return *document_->Model();
    }

    template <class T> T* Child(const char* name) { return Form().findChild<T*>(QLatin1String(name)); }

private slots:
    void initTestCase() { qRegisterMetaType<mc::TModelComponent*>(); }

    void cleanupTestCase()
    {
        form_.reset();
        document_.reset();
    }

    void zoomTableHasSixtyFactors()
    {
        QCOMPARE(ZoomFactor(1), 0.1f);
        for (int i = 2; i <= kZoomCount; ++i) QCOMPARE(ZoomFactor(i), ZoomFactor(i - 1) * 1.2f);
        QVERIFY(std::fabs(ZoomFactor(35) - 49.2f) < 0.1f);
        QVERIFY(std::fabs(ZoomFactor(60) - 4690.0f) < 10.0f);
        QCOMPARE(TView().ZoomIndex, 35);
    }

    void zoomKeepsThePointUnderTheMouse()
    {
        // At the origin only the scale changes.
        TView view = MakeView(ViewFront);
        view.LastMouseX = view.OriginX;
        view.LastMouseY = view.OriginY;
        QVERIFY(ZoomView(view, 36));
        QCOMPARE(view.OriginX, 300);
        QCOMPARE(view.OriginY, 225);
        QCOMPARE(view.ZoomIndex, 36);

        // Elsewhere the model point under the mouse keeps its pixel, in and
        // out, in every kind.
        for (int kind = 1; kind <= kViewKindCount; ++kind) {
            TView v = MakeView(kind);
            v.LastMouseX = 455;
            v.LastMouseY = 81;
            for (int index : {36, 40, 47, 30, 12, 35}) {
                const Vector3 under = TViewProjection(v).Unproject(v.LastMouseX, v.LastMouseY);
                QVERIFY(ZoomView(v, index));
                const TScreenPoint p = TViewProjection(v).Project(under);
                QVERIFY2(std::abs(p.x - 455) <= 1 && std::abs(p.y - 81) <= 1,
                         qPrintable(QStringLiteral("kind %1 zoom %2: %3,%4").arg(kind).arg(index).arg(p.x).arg(p.y)));
            }
        }

        // Outside 1..60, or the same index: nothing happens.
        TView edge = MakeView(ViewTop);
        edge.ZoomIndex = 60;
        QVERIFY(!ZoomView(edge, 61));
        QVERIFY(!ZoomView(edge, 60));
        edge.ZoomIndex = 1;
        QVERIFY(!ZoomView(edge, 0));
        QCOMPARE(edge.ZoomIndex, 1);
        QCOMPARE(edge.OriginX, 300);
    }

    void projectionsRoundHalvesToEven()
    {
        const TViewProjection front(ViewFront, 1.0f, 100, 100);
        QCOMPARE(front.Project({2.5f, 2.5f, 7}), (TScreenPoint{102, 98}));
        QCOMPARE(front.Project({3.5f, -3.5f, 0}), (TScreenPoint{104, 104}));
        QCOMPARE(front.Project({-2.5f, 0.5f, 0}), (TScreenPoint{98, 100}));
        const TViewProjection back(ViewBack, 2.0f, 0, 0);
        QCOMPARE(back.Project({1, 2, 3}), (TScreenPoint{-2, -4}));
        QCOMPARE(TViewProjection(ViewLeft, 2.0f, 0, 0).Project({1, 2, 3}), (TScreenPoint{6, -4}));
        QCOMPARE(TViewProjection(ViewRight, 2.0f, 0, 0).Project({1, 2, 3}), (TScreenPoint{-6, -4}));
        QCOMPARE(TViewProjection(ViewTop, 2.0f, 0, 0).Project({1, 2, 3}), (TScreenPoint{2, -6}));
        QCOMPARE(TViewProjection(ViewBottom, 2.0f, 0, 0).Project({1, 2, 3}), (TScreenPoint{-2, -6}));
        // 3D: x + z along cos 30°, (x - z) / 2 - y downwards.
        QCOMPARE(TViewProjection(View3D, 10.0f, 0, 0).Project({1, 2, 3}), (TScreenPoint{35, -30}));
        QCOMPARE(QString::fromLatin1(ViewKindCaption(View3D)), QStringLiteral("3D (XYZ)"));
        QCOMPARE(QString::fromLatin1(ViewKindCaption(ViewRight)), QStringLiteral("Right (-ZY)"));
    }

    void eachProjectionHasItsInverse()
    {
        const Vector3 points[] = {{0, 0, 0}, {1.25f, -0.5f, 3}, {-4, 2.75f, -1.5f}, {0.01f, 7, 2}};
        for (int kind = 1; kind <= kViewKindCount; ++kind)
            for (int zoom : {1, 20, 35, 60}) {
                TView view = MakeView(kind);
                view.ZoomIndex = zoom;
                const TViewProjection proj(view);
                const float tolerance = 1.0f / proj.Scale();
                for (Vector3 p : points) {
                    // The coordinate the kind does not show comes back as 0.
                    Vector3 shown = p;
                    if (kind <= 2) shown.z = 0;
                    else if (kind <= 4) shown.x = 0;
                    else shown.y = 0;
                    const TScreenPoint s = proj.Project(shown);
                    const Vector3 back = proj.Unproject(s.x, s.y);
                    QVERIFY2(std::fabs(back.x - shown.x) <= tolerance && std::fabs(back.y - shown.y) <= tolerance &&
                                 std::fabs(back.z - shown.z) <= tolerance,
                             qPrintable(QStringLiteral("kind %1 zoom %2").arg(kind).arg(zoom)));
                    if (kind <= 2) QCOMPARE(back.z, 0.0f);
                    else if (kind <= 4) QCOMPARE(back.x, 0.0f);
                    else QCOMPARE(back.y, 0.0f);
                    // And the pixel of the point found is the pixel clicked.
                    QCOMPARE(proj.Project(back), s);
                }
            }
    }

    void cullingTablePerKind()
    {
        // One triangle per plane, each with value +1 in the area it is in.
        const Vector3 o{0, 0, 0};
        const Vector3 xy[3] = {o, {1, 0, 0}, {0, 1, 0}};
        const Vector3 yz[3] = {o, {0, 1, 0}, {0, 0, 1}};
        const Vector3 zx[3] = {o, {0, 0, 1}, {1, 0, 0}};
        QCOMPARE(CullValue(ViewFront, xy[0], xy[1], xy[2]), 1.0);
        QCOMPARE(CullValue(ViewLeft, yz[0], yz[1], yz[2]), 1.0);
        QCOMPARE(CullValue(ViewTop, zx[0], zx[1], zx[2]), 1.0);
        QCOMPARE(CullValue(View3D, xy[0], xy[1], xy[2]), 1.0);
        QCOMPARE(CullValue(View3D, yz[0], yz[1], yz[2]), -1.0);
        QCOMPARE(CullValue(View3D, zx[0], zx[1], zx[2]), -1.0);

        // Kind -> (triangle of value +1, drawn with "CCW (default)" when positive).
        struct TRow {
            int kind;
            const Vector3* triangle;
            bool positiveDrawnCCW;
        };
        const TRow rows[] = {{ViewFront, xy, false}, {ViewBack, xy, true},   {ViewLeft, yz, true}, {ViewRight, yz, false},
                             {ViewTop, zx, true},    {ViewBottom, zx, false}, {View3D, xy, false}};
        for (const TRow& row : rows) {
            const Vector3* t = row.triangle;
            const QString at = QStringLiteral("kind %1").arg(row.kind);
            QVERIFY2(FaceDrawn(row.kind, TCullMode::CCW, t[0], t[1], t[2]) == row.positiveDrawnCCW, qPrintable(at));
            QVERIFY2(FaceDrawn(row.kind, TCullMode::CW, t[0], t[1], t[2]) == !row.positiveDrawnCCW, qPrintable(at));
            // Reversed: the value changes its sign and so does the answer.
            QVERIFY2(FaceDrawn(row.kind, TCullMode::CCW, t[0], t[2], t[1]) == !row.positiveDrawnCCW, qPrintable(at));
            QVERIFY2(FaceDrawn(row.kind, TCullMode::CW, t[0], t[2], t[1]) == row.positiveDrawnCCW, qPrintable(at));
            QVERIFY(FaceDrawn(row.kind, TCullMode::None, t[0], t[1], t[2]));
            QVERIFY(FaceDrawn(row.kind, TCullMode::None, t[0], t[2], t[1]));
        }
    }

    void collinearFaceIsDrawnInEveryCullMode()
    {
        // A quad whose first three vertices lie on a line, fourth above it.
        TModel model;
        TLOD& lod = AddLOD(model, 1, {{-2, 0.5f, 0}, {0, 0.5f, 0}, {2, 0.5f, 0}, {0, 2.5f, 0}}, {{0, 1, 2, 3}});
        for (int kind = 1; kind <= kViewKindCount; ++kind)
            QCOMPARE(CullValue(kind, lod.Positions[0], lod.Positions[1], lod.Positions[2]), 0.0);
        TPainted painted;
        const TView view = MakeView(ViewFront);
        const TScreenPoint top = TViewProjection(view).Project({1, 1.5f, 0});  // on the edge p2-p3
        for (TCullMode mode : {TCullMode::None, TCullMode::CCW, TCullMode::CW}) {
            TViewOptions options;
            options.Cull = mode;
            painted.Paint(view, {&model, &lod}, options);
            QCOMPARE(Pixel(painted.Image, top), ViewColors().Face);
            QCOMPARE(painted.Painter.FaceSegmentCount(), 4);
        }
    }

    void quadAsTrianglesShowsOneDiagonal()
    {
        TModel model;
        TLOD& lod = AddLOD(model, 1, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{0, 1, 2, 3}});
        const TView view = MakeView(ViewFront);
        const TViewProjection proj(view);
        const TScreenPoint onFirst = proj.Project({0.5f, 0.5f, 0}), onSecond = proj.Project({0.5f, -0.5f, 0});
        TViewOptions options;
        options.Cull = TCullMode::None;
        TPainted painted;
        painted.Paint(view, {&model, &lod}, options);
        QCOMPARE(painted.Painter.FaceSegmentCount(), 4);
        QCOMPARE(Pixel(painted.Image, onFirst), ViewColors().Background);
        options.QuadAsTriangles = true;
        painted.Paint(view, {&model, &lod}, options);
        QCOMPARE(painted.Painter.FaceSegmentCount(), 5);
        QCOMPARE(Pixel(painted.Image, onFirst), ViewColors().Face);
        QCOMPARE(Pixel(painted.Image, onSecond), ViewColors().Background);
        const QLine diagonal = painted.Painter.FaceLines().back();
        QCOMPARE(diagonal.p1(), QPoint(proj.Project(lod.Positions[0]).x, proj.Project(lod.Positions[0]).y));
        QCOMPARE(diagonal.p2(), QPoint(proj.Project(lod.Positions[2]).x, proj.Project(lod.Positions[2]).y));
    }

    void paintedPanelColours()
    {
        TModel model;
        TLOD& lod = AddLOD(model, 1, {{0.5f, 0.5f, 0}, {3.5f, 0.5f, 0}, {0.5f, 3.5f, 0}, {-0.5f, -0.5f, 0},
                                      {-3.5f, -0.5f, 0}, {-0.5f, -3.5f, 0}},
                           {{0, 2, 1}, {3, 5, 4}});
        lod.SelectFace(0);
        const TView view = MakeView(ViewFront);
        const TViewProjection proj(view);
        const int unit = int(std::lround(ZoomFactor(35)));  // 49 pixels
        const auto at = [&](float x, float y) {
            const TScreenPoint s = proj.Project({x, y, 0});
            return QPoint(s.x, s.y);
        };
        TPainted painted;
        painted.Paint(view, {&model, &lod});
        const QImage& image = painted.Image;
        // Background between the grid lines, a grid line, the axes.
        QCOMPARE(Pixel(image, QPoint(300 + unit / 2, 225 + unit / 2)), QColor(0, 0, 0));
        QCOMPARE(Pixel(image, at(1, -0.5f)), QColor(64, 64, 64));
        QCOMPARE(Pixel(image, at(3, -2.2f)), QColor(64, 64, 64));
        QCOMPARE(Pixel(image, at(-2.5f, 4)), QColor(64, 64, 64));
        QCOMPARE(Pixel(image, QPoint(300, 225 + unit / 2)), QColor(128, 128, 128));
        QCOMPARE(Pixel(image, QPoint(300 + unit / 2 + 3, 225)), QColor(128, 128, 128));
        // Grid and axes end at ten units.
        TView small = MakeView(ViewFront);
        small.ZoomIndex = 30;
        painted.Paint(small, {&model, &lod});
        const int ten = int(std::nearbyint(10 * double(ZoomFactor(30))));
        QCOMPARE(Pixel(painted.Image, QPoint(300 + ten - 1, 225)), QColor(128, 128, 128));
        QCOMPARE(Pixel(painted.Image, QPoint(300 + ten, 225 + 5)), QColor(64, 64, 64));
        QCOMPARE(Pixel(painted.Image, QPoint(300 + ten + 2, 225)), QColor(0, 0, 0));
        QCOMPARE(Pixel(painted.Image, QPoint(300 + ten + 2, 225 - ten)), QColor(0, 0, 0));
        painted.Paint(view, {&model, &lod});
        // The selected face in white, the other in the face colour, both
        // wound to face the front.
        const TScreenPoint a = proj.Project({2, 0.5f, 0}), b = proj.Project({-2, -0.5f, 0});
        QCOMPARE(Pixel(image, a), QColor(255, 255, 255));
        QCOMPARE(Pixel(image, b), QColor(128, 128, 128));
        // The face chosen in the main window: its outline in red.
        painted.Paint(view, {&model, &lod, 0});
        QCOMPARE(Pixel(painted.Image, a), QColor(255, 0, 0));
        // Its selected vertices as lime squares (3 pixels off the vertex).
        const TScreenPoint v0 = proj.Project(lod.Positions[1]);
        QCOMPARE(Pixel(painted.Image, TScreenPoint{v0.x - 3, v0.y + 1}), QColor(0, 255, 0));
        // The caption in red on black, the active frame in white.
        painted.Paint(view, {&model, &lod}, {}, true);
        bool red = false;
        for (int y = 10; y < 30 && !red; ++y)
            for (int x = 10; x < 80 && !red; ++x) red = Pixel(painted.Image, QPoint(x, y)) == QColor(255, 0, 0);
        QVERIFY(red);
        QCOMPARE(Pixel(painted.Image, QPoint(1, 200)), QColor(255, 255, 255));
        QCOMPARE(Pixel(painted.Image, QPoint(598, 200)), QColor(255, 255, 255));
        QCOMPARE(Pixel(painted.Image, QPoint(8, 200)), QColor(0, 0, 0));
        // Culled: the back of the faces shows nothing from behind.
        TView back = MakeView(ViewBack);
        painted.Paint(back, {&model, &lod});
        QCOMPARE(painted.Painter.FaceSegmentCount(), 0);
    }

    void boundBoxSpecialPointsAndSecondLOD()
    {
        TModel model;
        TLOD& lod = AddLOD(model, 1, {{0.5f, 0.5f, 0}, {3.5f, 0.5f, 0}, {0.5f, 3.5f, 0}}, {{0, 2, 1}});
        TLOD& second = AddLOD(model, 2, {{-0.5f, -0.5f, 0}, {-3.5f, -0.5f, 0}, {-0.5f, -3.5f, 0}}, {{0, 2, 1}});
        model.RangeA = {-1.5f, -1.5f, -1.5f};
        model.RangeB = {1.5f, 1.5f, 1.5f};
        model.GeometryCenter = {-2.5f, 2.5f, 0};
        const TView view = MakeView(ViewFront);
        const TViewProjection proj(view);
        TViewOptions options;
        options.ShowBoundBox = true;
        options.SpecialPoints = true;
        options.SecondLOD = &second;
        TPainted painted;
        painted.Paint(view, {&model, &lod}, options);
        QCOMPARE(Pixel(painted.Image, proj.Project({1.5f, 0.25f, 0})), QColor(128, 0, 0));
        QCOMPARE(Pixel(painted.Image, proj.Project({-2.5f, -0.5f, 0})), ViewColors().SecondLOD);
        const TScreenPoint centre = proj.Project(model.GeometryCenter);
        QCOMPARE(Pixel(painted.Image, TScreenPoint{centre.x + 5, centre.y}), QColor(255, 0, 0));
        // Without the options none of them.
        painted.Paint(view, {&model, &lod});
        QCOMPARE(Pixel(painted.Image, proj.Project({1.5f, 0.25f, 0})), QColor(0, 0, 0));
        QCOMPARE(Pixel(painted.Image, proj.Project({-2.5f, -0.5f, 0})), QColor(0, 0, 0));
    }

    void memoryLODDisablesVerticesAndDrawsPointMarks()
    {
        TModel& model = OpenTestModel();
        auto* vertices = Child<QCheckBox>("CheckBox_Vertices");
        auto* special = Child<QCheckBox>("CheckBox_SpecialVertices");
        QVERIFY(vertices && special);
        QVERIFY(vertices->isEnabled());
        QVERIFY(special->isEnabled());
        QVERIFY(!vertices->isChecked());

        document_->SelectLOD(1);
        QVERIFY(!vertices->isEnabled());
        QVERIFY(special->isEnabled());
        const QImage& image = Form().PaintPanel(0);
        const TScreenPoint mark = TViewProjection(Form().View(0)).Project(model.LOD(1)->Positions[0]);
        QCOMPARE(Pixel(image, mark), QColor(128, 128, 128));
        QCOMPARE(Pixel(image, TScreenPoint{mark.x + 2, mark.y}), QColor(128, 128, 128));
        QCOMPARE(Pixel(image, TScreenPoint{mark.x, mark.y - 2}), QColor(128, 128, 128));
        QCOMPARE(Pixel(image, TScreenPoint{mark.x + 2, mark.y + 2}), QColor(0, 0, 0));
        QCOMPARE(Pixel(image, TScreenPoint{mark.x + 3, mark.y}), QColor(0, 0, 0));
        QCOMPARE(Pixel(image, TScreenPoint{mark.x - 2, mark.y}), QColor(128, 128, 128));

        document_->SelectLOD(2);
        QVERIFY(vertices->isEnabled());
        QVERIFY(!special->isEnabled());
        document_->SelectLOD(0);
        QVERIFY(vertices->isEnabled());
        QVERIFY(special->isEnabled());
        const QImage& visual = Form().PaintPanel(0);
        QCOMPARE(Pixel(visual, mark), QColor(0, 0, 0));

        // The second-LOD list: empty, then "%s (%d)" per LOD.
        auto* seconds = Child<QComboBox>("ComboBox_SecondLOD");
        QCOMPARE(seconds->count(), 4);
        QCOMPARE(seconds->itemText(0), QString());
        QCOMPARE(seconds->itemText(2), QStringLiteral("%1 (1)").arg(QString::fromStdString(model.LOD(1)->Name())));
        auto* foreground = Child<QCheckBox>("CheckBox_SecondLODAsForeground");
        QVERIFY(!foreground->isEnabled());
        seconds->setCurrentIndex(2);
        QVERIFY(foreground->isEnabled());
        QCOMPARE(Form().Options().SecondLOD, model.LOD(1));
        seconds->setCurrentIndex(0);
        QVERIFY(!foreground->isEnabled());
    }

    void rubberBandSelectsInItsThreeModes()
    {
        OpenTestModel();
        TViewForm& form = Form();
        TLOD& lod = *document_->CurrentLOD();
        QSignalSpy changed(document_.get(), &TModelDocument::SelectionChanged);
        form.SetActiveView(0);
        const TViewProjection proj(form.View(0));
        const auto pixel = [&](Vector3 p) {
            const TScreenPoint s = proj.Project(p);
            return QPoint(s.x, s.y);
        };
        const auto drag = [&](int panel, QPoint from, QPoint to) {
            form.PanelMousePress(panel, Qt::LeftButton, from);
            form.PanelMouseMove(panel, Qt::LeftButton, (from + to) / 2);
            form.PanelMouseMove(panel, Qt::LeftButton, to);
            form.PanelMouseRelease(panel, Qt::LeftButton, to);
        };
        const auto count = [](const std::vector<uint8_t>& v) { return int(std::count(v.begin(), v.end(), 1)); };

        // Vertices: the band around vertices 2 and 3 only.
        form.SetSelectionMode(SelectVertices);
        drag(0, pixel({-1.2f, -1.2f, 0}), pixel({1.2f, 1.2f, 0}));
        QVERIFY(!form.Selection().Active);
        QCOMPARE(count(lod.VertexSelected), 2);
        QVERIFY(lod.IsVertexSelected(2) && lod.IsVertexSelected(3));
        QCOMPARE(count(lod.FaceSelected), 0);
        QVERIFY(changed.count() >= 2);

        // Polygons: both faces have a vertex inside.
        form.SetSelectionMode(SelectPolygons);
        QCOMPARE(count(lod.VertexSelected), 0);
        drag(0, pixel({-1.2f, -1.2f, 0}), pixel({1.2f, 1.2f, 0}));
        QCOMPARE(count(lod.FaceSelected), 2);
        // Only the quad.
        drag(0, pixel({1.8f, 0.8f, 0}), pixel({2.5f, 2.5f, 0}));
        QCOMPARE(count(lod.FaceSelected), 1);
        QVERIFY(lod.IsFaceSelected(1));
        // A selected face brings its vertices.
        QCOMPARE(count(lod.VertexSelected), 4);

        // Components: "right" and its first face with a vertex inside.
        form.SetSelectionMode(SelectComponents);
        drag(0, pixel({1.8f, 0.8f, 0}), pixel({2.5f, 2.5f, 0}));
        QCOMPARE(count(lod.ComponentSelected), 1);
        QCOMPARE(lod.ComponentSelected[1], uint8_t(1));
        QVERIFY(lod.IsFaceSelected(1));
        QVERIFY(!lod.IsFaceSelected(0));
        QCOMPARE(count(lod.VertexSelected), 4);

        // The band drawn in lime while it is dragged.
        form.PanelMousePress(0, Qt::LeftButton, pixel({-2.5f, -2.5f, 0}));
        form.PanelMouseMove(0, Qt::LeftButton, pixel({2.5f, 2.5f, 0}));
        QVERIFY(form.Selection().Active);
        const QImage& banded = form.PaintPanel(0);
        QCOMPARE(Pixel(banded, pixel({0, -2.5f, 0}) + QPoint(0, 0)), QColor(0, 255, 0));
        form.PanelMouseRelease(0, Qt::LeftButton, pixel({2.5f, 2.5f, 0}));
        QCOMPARE(count(lod.ComponentSelected), 2);

        // The 3D panel: the first press makes it active, a band there
        // selects nothing.
        form.PanelMousePress(3, Qt::LeftButton, QPoint(10, 10));
        QCOMPARE(form.ActiveView(), 3);
        QCOMPARE(count(lod.ComponentSelected), 2);
        for (int mode : {SelectVertices, SelectPolygons, SelectComponents}) {
            form.SetSelectionMode(mode);
            drag(3, QPoint(1, 1), QPoint(form.Panel(3)->width() - 2, form.Panel(3)->height() - 2));
            QCOMPARE(count(lod.VertexSelected) + count(lod.FaceSelected) + count(lod.ComponentSelected), 0);
        }
        form.SetActiveView(0);
    }

    void mouseZoomPanAndPanels()
    {
        OpenTestModel();
        TViewForm& form = Form();
        QWidget* panel = form.Panel(0);
        QCOMPARE(panel->objectName(), QStringLiteral("PaintBox1"));
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(form.ActiveView(), 0);
        // The wheel zooms the active view about the mouse: down is in.
        TView& view = form.View(0);
        const QPoint at(panel->width() / 2 + 60, panel->height() / 2 - 40);
        form.PanelMouseMove(0, Qt::NoButton, at);
        const Vector3 under = TViewProjection(view).Unproject(at.x(), at.y());
        const int zoom = view.ZoomIndex;
        QWheelEvent down(QPointF(at), panel->mapToGlobal(QPointF(at)), {}, QPoint(0, -120), Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(panel, &down);
        QCOMPARE(view.ZoomIndex, zoom + 1);
        const TScreenPoint still = TViewProjection(view).Project(under);
        QVERIFY(std::abs(still.x - at.x()) <= 1 && std::abs(still.y - at.y()) <= 1);
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(view.ZoomIndex, zoom);
        // Right drag pans.
        const int ox = view.OriginX, oy = view.OriginY;
        form.PanelMousePress(0, Qt::RightButton, QPoint(100, 100));
        form.PanelMouseMove(0, Qt::RightButton, QPoint(130, 90));
        form.PanelMouseRelease(0, Qt::RightButton, QPoint(130, 90));
        QCOMPARE(view.OriginX, ox + 30);
        QCOMPARE(view.OriginY, oy - 10);
        QVERIFY(!view.RightDragging);

        // Kind buttons act on the active view.
        auto* top = Child<QToolButton>("ToolButton_ViewTop");
        top->click();
        QCOMPARE(int(view.Kind), int(ViewTop));
        QVERIFY(top->isChecked());
        QVERIFY(!Child<QToolButton>("ToolButton_ViewFront")->isChecked());
        Child<QToolButton>("ToolButton_ViewFront")->click();

        // Single panel: the active one fills the area.
        Child<QToolButton>("ToolButton_SinglePanel")->click();
        QVERIFY(!form.Panel(1)->isVisible());
        QCOMPARE(panel->size(), panel->parentWidget()->size());
        QCOMPARE(view.OriginX, panel->width() / 2);
        Child<QToolButton>("ToolButton_SinglePanel")->click();
        QVERIFY(form.Panel(3)->isVisible());
        QCOMPARE(panel->width(), panel->parentWidget()->width() / 2);

        // Control panel off and on: the window's width follows.
        const int width = form.width();
        auto* controls = form.findChild<QWidget*>(QStringLiteral("Panel_Controls"));
        Child<QToolButton>("ToolButton_ControlPanel")->click();
        QVERIFY(!controls->isVisible());
        QCOMPARE(form.width(), width - controls->width());
        Child<QToolButton>("ToolButton_ControlPanel")->click();
        QVERIFY(controls->isVisible());

        // The animation buttons wait for the animation window.
        auto* play = Child<QToolButton>("ToolButton_AnimationPlay");
        QVERIFY(!play->isEnabled());
        int played = 0;
        TViewAnimationCommands commands;
        commands.Play = [&] { ++played; };
        form.SetAnimationCommands(commands);
        QVERIFY(play->isEnabled());
        QVERIFY(!Child<QToolButton>("ToolButton_AnimationStop")->isEnabled());
        play->click();
        QCOMPARE(played, 1);
        form.SetAnimationCommands({});
    }

    void proxyMenuForFortyProxies()
    {
        OpenTestModel();
        TLOD& lod = *document_->CurrentLOD();
        for (int i = 0; i < 40; ++i) {
            auto proxy = std::make_unique<TProxy>(&lod);
            proxy->Name = "p" + std::to_string(i);
            lod.Proxies.push_back(std::move(proxy));
        }
        lod.Proxies[2]->Name = "rock&roll";
        TViewForm& form = Form();
        form.RebuildProxyMenu();
        QList<QAction*> items;
        for (QAction* a : form.ProxyMenu()->actions())
            if (a->property("proxy").isValid()) items << a;
        QCOMPARE(items.size(), 40);
        QCOMPARE(items[0]->text(), QStringLiteral("&0 p0"));
        QCOMPARE(items[2]->text(), QStringLiteral("&2 rock&&roll"));
        QCOMPARE(items[9]->text(), QStringLiteral("&9 p9"));
        QCOMPARE(items[10]->text(), QStringLiteral("&A p10"));
        QCOMPARE(items[35]->text(), QStringLiteral("&Z p35"));
        QCOMPARE(items[36]->text(), QStringLiteral("p36"));
        QCOMPARE(items[39]->text(), QStringLiteral("p39"));
        // The proxies come first, the separator and the three commands last.
        const QList<QAction*> all = form.ProxyMenu()->actions();
        QCOMPARE(all.size(), 44);
        QVERIFY(all[40]->isSeparator());
        auto* selectAll = form.ProxyMenu()->findChild<QAction*>(QStringLiteral("PopupMenuItem_Proxy_SelectAll"));
        auto* unselectAll = form.ProxyMenu()->findChild<QAction*>(QStringLiteral("PopupMenuItem_Proxy_UnselectAll"));
        auto* invert = form.ProxyMenu()->findChild<QAction*>(QStringLiteral("PopupMenuItem_Proxy_Invert"));
        QCOMPARE(all[41], selectAll);
        QVERIFY(selectAll->isEnabled() && !unselectAll->isEnabled() && invert->isEnabled());

        QSignalSpy changed(document_.get(), &TModelDocument::ProxiesChanged);
        items[3]->trigger();
        QVERIFY(lod.Proxies[3]->ShowModel);
        QCOMPARE(changed.count(), 1);
        invert->trigger();
        QVERIFY(!lod.Proxies[3]->ShowModel && lod.Proxies[4]->ShowModel);
        QCOMPARE(changed.count(), 2);
        selectAll->trigger();
        for (const auto& p : lod.Proxies) QVERIFY(p->ShowModel);
        form.RebuildProxyMenu();
        QVERIFY(!selectAll->isEnabled() && unselectAll->isEnabled());
        unselectAll->trigger();
        for (const auto& p : lod.Proxies) QVERIFY(!p->ShowModel);
        QCOMPARE(changed.count(), 4);
        // Rebuilt for a LOD without proxies: only the fixed items, none
        // enabled.
        document_->SelectLOD(2);
        form.RebuildProxyMenu();
        QCOMPARE(form.ProxyMenu()->actions().size(), 4);
        QVERIFY(!selectAll->isEnabled() && !unselectAll->isEnabled() && !invert->isEnabled());
    }

    void noModelDrawsGridAndCaptionOnly()
    {
        Form();
        document_->ClearModel();
        const QImage& image = Form().PaintPanel(1);
        QCOMPARE(Pixel(image, QPoint(Form().View(1).OriginX, Form().View(1).OriginY + 20)), QColor(128, 128, 128));
        QCOMPARE(Child<QComboBox>("ComboBox_SecondLOD")->count(), 1);
    }

    // The largest zoom at which the model's box fits the panels.
    void FitViews(const TModel& model)
    {
        TViewForm& form = Form();
        form.LayoutPanels();
        const Vector3 size = model.RangeB - model.RangeA;
        const float extent = std::max({size.x, size.y, size.z, 0.1f});
        const QSize panel = form.Panel(0)->size();
        const float scale = 0.8f * float(std::min(panel.width(), panel.height())) / extent;
        int zoom = 1;
        while (zoom < kZoomCount && ZoomFactor(zoom + 1) <= scale) ++zoom;
        const Vector3 centre = (model.RangeA + model.RangeB) * 0.5f;
        for (int i = 0; i < kViewPanelCount; ++i) {
            TView& view = form.View(i);
            // The oblique view is about twice as wide.
            view.ZoomIndex = view.Kind == View3D ? std::max(1, zoom - 4) : zoom;
            // The box's centre in the middle of the panel.
            const TScreenPoint c = TViewProjection(view).Project(centre);
            view.OriginX += view.OriginX - c.x;
            view.OriginY += view.OriginY - c.y;
        }
        form.RepaintAll();
    }

    void viewMenuShowsTheModelView()
    {
        TProgram program;
        TMainForm& main = program.MainWindow();
        auto* view = main.findChild<TViewForm*>();
        QVERIFY(view);
        QVERIFY(!view->isVisible());
        QAction* action = main.Action("MenuItem_View_Model");
        QVERIFY(action && action->isEnabled());
        QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F6));
        action->trigger();
        QVERIFY(view->isVisible());
        QCOMPARE(view->windowTitle(), QStringLiteral("View"));
        // It follows the program's document.
        program.Document().SetModel(demo::MakeCrateModel(), "crate.p3d");
        QVERIFY(view->Options().SecondLOD == nullptr);
        QCOMPARE(view->findChild<QComboBox*>(QStringLiteral("ComboBox_SecondLOD"))->count(),
                 program.Document().Model()->LODCount() + 1);

        // A rubber band in the view marks the same rows in the main window's
        // vertex and polygon grids.
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QApplication::processEvents();
        const TLOD& lod = *program.Document().CurrentLOD();
        const auto marked = [](const QAbstractItemModel& grid, int row) {
            return grid.data(grid.index(row, 1), Qt::BackgroundRole).isValid();
        };
        const auto band = [&](int mode) {
            view->SetSelectionMode(mode);
            view->SetActiveView(0);
            const TViewProjection proj(view->View(0));
            const TScreenPoint a = proj.Project({-0.6f, -0.1f, 0}), b = proj.Project({0.6f, 1.1f, 0});
            view->PanelMousePress(0, Qt::LeftButton, QPoint(a.x, a.y));
            view->PanelMouseMove(0, Qt::LeftButton, QPoint(b.x, b.y));
            view->PanelMouseRelease(0, Qt::LeftButton, QPoint(b.x, b.y));
        };
        band(SelectVertices);
        QCOMPARE(int(std::count(lod.VertexSelected.begin(), lod.VertexSelected.end(), 1)), lod.VertexCount());
        for (int v = 0; v < lod.VertexCount(); ++v) QVERIFY(marked(*main.VerticesModel(), v));
        QVERIFY(!marked(*main.PolygonsModel(), 0));
        band(SelectPolygons);
        for (int f = 0; f < lod.FaceCount(); ++f) QVERIFY(marked(*main.PolygonsModel(), f));
        // A click in the band's panel starts again with nothing selected.
        view->PanelMousePress(0, Qt::LeftButton, QPoint(2, 2));
        view->PanelMouseRelease(0, Qt::LeftButton, QPoint(2, 2));
        QVERIFY(!marked(*main.PolygonsModel(), 0));
        QVERIFY(!marked(*main.VerticesModel(), 0));
        view->close();
    }

    void screenshots()
    {
        TViewForm& form = Form();
        document_->SetModel(demo::MakeCrateModel(), "crate.p3d");
        Child<QCheckBox>("CheckBox_ShowBoundBox")->setChecked(false);
        Child<QCheckBox>("CheckBox_Vertices")->setChecked(true);
        Child<QCheckBox>("CheckBox_SpecialVertices")->setChecked(true);
        FitViews(*document_->Model());
        document_->SelectPolygon(0);
        form.RefreshView();
        QApplication::processEvents();
        SaveScreenshot(&form, QStringLiteral("model-view-demo"));

        const auto path = RealFile("p3d/tzk210_VME_KJ2000.p3d");
        if (path.empty()) QSKIP("real data absent");
        auto model = LoadModelFromFile(PathToUtf8(path));
        QVERIFY(model);
        document_->SetModel(std::move(model), PathToUtf8(path));
        const TModel& m = *document_->Model();
        FitViews(m);
        auto* seconds = Child<QComboBox>("ComboBox_SecondLOD");
        int geometry = -1;
        for (int i = 0; i < m.LODCount(); ++i)
            if (IsGeometryResolution(m.LOD(i)->Resolution)) geometry = i;
        seconds->setCurrentIndex(geometry >= 0 ? geometry + 1 : std::min(2, m.LODCount()));
        Child<QCheckBox>("CheckBox_ShowBoundBox")->setChecked(true);
        Child<QCheckBox>("CheckBox_Vertices")->setChecked(false);
        Child<QCheckBox>("CheckBox_SpecialVertices")->setChecked(false);
        form.RefreshView();
        form.SetActiveView(0);
        form.SetSelectionMode(SelectPolygons);
        const TViewProjection proj(form.View(0));
        const Vector3 lo = m.RangeA, hi = m.RangeB;
        const TScreenPoint a = proj.Project({lo.x + (hi.x - lo.x) * 0.55f, lo.y + (hi.y - lo.y) * 0.45f, 0});
        const TScreenPoint b = proj.Project({lo.x + (hi.x - lo.x) * 0.9f, lo.y + (hi.y - lo.y) * 0.95f, 0});
        form.PanelMousePress(0, Qt::LeftButton, QPoint(a.x, a.y));
        form.PanelMouseMove(0, Qt::LeftButton, QPoint(b.x, b.y));
        QApplication::processEvents();
        SaveScreenshot(&form, QStringLiteral("model-view-real-dragging"));
        form.PanelMouseRelease(0, Qt::LeftButton, QPoint(b.x, b.y));
        const TLOD& lod = *document_->CurrentLOD();
        QVERIFY(std::count(lod.FaceSelected.begin(), lod.FaceSelected.end(), 1) > 0);
        QApplication::processEvents();
        SaveScreenshot(&form, QStringLiteral("model-view-real"));
    }
};

MC_WINDOW_TEST_MAIN(ViewTest)
#include "ViewTest.moc"
