// The 3D preview window: its controls and defaults, the camera under keys and
// the menu, full screen, the information lines, and pictures of the demo
// crate and a real model.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "Archive/PbList.h"
#include "Camera/Camera.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "DemoModel.h"
#include "FormsTestSupport.h"
#include "MPreview_F.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "PreviewInfo.h"
#include "PreviewSurface.h"

using namespace mc;
using namespace mc::test;

namespace {

template <class T>
T* Child(QObject* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no child %s", name);
    return child;
}

// Lets the timer run until the surface has drawn a frame or two.
void Settle(TMPreviewForm& form)
{
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(30);
        QApplication::processEvents();
    }
    form.Surface()->repaint();
    QApplication::processEvents();
}

}  // namespace

class PreviewFormTest : public QObject {
    Q_OBJECT

private slots:
    void ControlsStartAsTheWindowDescribes()
    {
        TMPreviewForm form;
        QCOMPARE(form.objectName(), QStringLiteral("MPreviewForm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Preview"));
        QVERIFY(Child<QCheckBox>(&form, "CheckBox_ShowInfo")->isChecked());
        QVERIFY(Child<QRadioButton>(&form, "RadioButton_CullMode_Counterclockwise")->isChecked());
        QVERIFY(!Child<QRadioButton>(&form, "RadioButton_CullMode_None")->isChecked());
        QVERIFY(!Child<QRadioButton>(&form, "RadioButton_CullMode_Clockwise")->isChecked());
        for (const char* off : {"CheckBox_AutoLOD", "CheckBox_Optional", "CheckBox_Fire", "CheckBox_HideSorted"})
            QVERIFY2(!Child<QCheckBox>(&form, off)->isChecked(), off);
        QVERIFY(Child<QCheckBox>(&form, "CheckBox_Light")->isChecked());
        QCOMPARE(Child<QCheckBox>(&form, "CheckBox_Optional")->text(), QStringLiteral("Proxy"));
        QCOMPARE(Child<QCheckBox>(&form, "CheckBox_Fire")->text(), QStringLiteral("Shining"));
        QCOMPARE(form.BackgroundColor(), 0xFF0080C0u);
        QCOMPARE(form.FontColor(), 0xFF711BE4u);
        auto* modes = Child<QComboBox>(&form, "ComboBox_FullScreenMode");
        QCOMPARE(modes->count(), 3);
        QCOMPARE(modes->itemText(0), QStringLiteral("1024x768x32"));
        QCOMPARE(modes->itemText(2), QStringLiteral("640x480x32"));
        QVERIFY(Child<QAction>(&form, "PopupMenuItem_Lock")->isChecked());
        QVERIFY(!Child<QAction>(&form, "PopupMenuItem_Freeze")->isChecked());
        QCOMPARE(Child<QAction>(&form, "PopupMenuItem_ResetCamera")->text(), QStringLiteral("&Reset View"));
        QCOMPARE(Child<QAction>(&form, "PopupMenuItem_ControlPanel")->text(), QStringLiteral("Control &Panel"));
        QCOMPARE(Child<QAction>(&form, "PopupMenuItem_FullScreen")->text(), QStringLiteral("Full &Screen"));
        // The camera of the preview, at rest in front of the origin.
        QCOMPARE(form.Camera().Position().z, -10.0f);
        QVERIFY(form.Camera().TargetLocked());
        QVERIFY(form.Surface()->toolTip().contains(QStringLiteral("Forward: W")));
    }

    void DrawsTheDemoCrateAndTheRealModel()
    {
        auto crate = demo::MakeCrateModel();
        TMPreviewForm form;
        form.SetModel(crate.get());
        form.SetCurrentLOD(0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Settle(form);
        QVERIFY2(form.Surface()->CanDraw(), form.Surface()->InitError().c_str());
        QCOMPARE(form.PolygonsDrawn(), crate->LOD(0)->FaceCount());
        const QImage picture = form.Surface()->grabFramebuffer();
        // The crate covers the centre; the corner shows the background.
        QCOMPARE(picture.pixelColor(picture.width() - 2, picture.height() - 2), QColor(0, 128, 192));
        QVERIFY(picture.pixelColor(picture.width() / 2, picture.height() / 2) != QColor(0, 128, 192));
        SaveScreenshot(&form, QStringLiteral("preview-demo"));
        picture.save(QStringLiteral(MESHCRAFT_SCREENSHOT_DIR "/preview-demo-surface.png"));

        // Light off: the untextured crate is plain white.
        Child<QCheckBox>(&form, "CheckBox_Light")->setChecked(false);
        Settle(form);
        QCOMPARE(form.Surface()->grabFramebuffer().pixelColor(picture.width() / 2, picture.height() / 2),
                 QColor(255, 255, 255));

        // No LOD chosen: nothing drawn.
        form.SetCurrentLOD(-1);
        Settle(form);
        QCOMPARE(form.PolygonsDrawn(), 0);

        const auto path = RealFile("p3d/tzk210_T80.p3d");
        if (path.empty()) return;
        auto t80 = LoadModelFromFile(path.string());
        QVERIFY(t80);
        Child<QCheckBox>(&form, "CheckBox_Light")->setChecked(true);
        form.SetModel(t80.get());
        form.SetCurrentLOD(0);
        Settle(form);
        QCOMPARE(form.PolygonsDrawn(), t80->LOD(0)->FaceCount());
        SaveScreenshot(&form, QStringLiteral("preview-t80"));
        // Auto LOD from Reset View's distance, then far away: a coarser LOD.
        Child<QCheckBox>(&form, "CheckBox_AutoLOD")->setChecked(true);
        form.Camera().SetPosition({0, 0, -2000});
        Settle(form);
        QVERIFY(form.PolygonsDrawn() < t80->LOD(0)->FaceCount());
        form.SetModel(nullptr);
        Settle(form);
        QCOMPARE(form.PolygonsDrawn(), 0);
    }

    void DrawsTheDemoGameTowerWithItsTexture()
    {
        if (!std::filesystem::exists(DemoGameDir() / "Dta" / "data3d.pbo")) QSKIP("demo game not built");
        TPbList archives;
        QVERIFY(archives.OpenGameArchives(PathToUtf8(DemoGameDir())));
        std::unique_ptr<TMemoryStream> bytes = archives.Extract("data3d\\tower.p3d");
        QVERIFY(bytes);
        size_t size = 0;
        const uint8_t* data = bytes->View(size);
        auto tower = LoadModelFromMemory(data, size, "data3d\\tower.p3d");
        QVERIFY(tower);
        TMPreviewForm form;
        form.SetTextureSource(
            [&archives](const std::string& name) -> std::unique_ptr<TStream> { return archives.Extract(name); });
        form.SetModel(tower.get());
        form.SetCurrentLOD(0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Settle(form);
        QCOMPARE(form.Surface()->TexturesInCache(), 1);
        // The brick texture: neither the background nor plain white in the middle.
        const QImage picture = form.Surface()->grabFramebuffer();
        const QColor middle = picture.pixelColor(picture.width() / 2, picture.height() / 2);
        QVERIFY(middle != QColor(0, 128, 192) && middle != QColor(255, 255, 255));
        SaveScreenshot(&form, QStringLiteral("preview-demo-tower"));
        form.SetModel(nullptr);
    }

    void KeysAndMouseDriveTheCameraUnlessTheViewIsLocked()
    {
        TMPreviewForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TPreviewSurface* surface = form.Surface();
        surface->setFocus();
        QTest::keyPress(surface, Qt::Key_W);
        form.Tick();
        QCOMPARE(form.Camera().ForwardCommand(), uint8_t(1));
        QTest::keyRelease(surface, Qt::Key_W);
        QTest::keyPress(surface, Qt::Key_D);
        QTest::keyPress(surface, Qt::Key_E);
        form.Tick();
        QCOMPARE(form.Camera().ForwardCommand(), uint8_t(0));
        QCOMPARE(form.Camera().StrafeCommand(), uint8_t(2));
        QCOMPARE(form.Camera().VerticalCommand(), uint8_t(1));
        QTest::keyRelease(surface, Qt::Key_D);
        QTest::keyRelease(surface, Qt::Key_E);
        // Speed: "+" doubles each tick while held.
        const float speed = form.Camera().Speed();
        QTest::keyPress(surface, Qt::Key_Plus);
        form.Tick();
        QTest::keyRelease(surface, Qt::Key_Plus);
        QCOMPARE(form.Camera().Speed(), speed * 2);

        // Dragging with the left button flies forward and turns.
        const Vector3 before = form.Camera().Direction();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(140, 100), surface->mapToGlobal(QPointF(140, 100)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(surface, &move);
        form.Tick();
        QCOMPARE(form.Camera().ForwardCommand(), uint8_t(1));
        QVERIFY(form.Camera().Direction().x != before.x || form.Camera().Direction().z != before.z);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(140, 100));
        form.Tick();

        // Lock View: keys do nothing, Lock Target is disabled until Reset View.
        auto* freeze = Child<QAction>(&form, "PopupMenuItem_Freeze");
        auto* lock = Child<QAction>(&form, "PopupMenuItem_Lock");
        freeze->trigger();
        QVERIFY(form.Camera().Frozen());
        QVERIFY(!lock->isEnabled());
        QTest::keyPress(surface, Qt::Key_S);
        form.Tick();
        QCOMPARE(form.Camera().ForwardCommand(), uint8_t(0));
        QTest::keyRelease(surface, Qt::Key_S);
        Child<QAction>(&form, "PopupMenuItem_ResetCamera")->trigger();
        QVERIFY(!form.Camera().Frozen());
        QVERIFY(!freeze->isChecked());
        QVERIFY(lock->isEnabled());
        QCOMPARE(form.Camera().Position().z, -10.0f);
        lock->trigger();
        QVERIFY(!form.Camera().TargetLocked());
        lock->trigger();
        QVERIFY(form.Camera().TargetLocked());
    }

    void ControlPanelAndFullScreen()
    {
        TMPreviewForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* panel = Child<QWidget>(&form, "Panel_Right");
        const int width = form.width();
        Child<QAction>(&form, "PopupMenuItem_ControlPanel")->trigger();
        QVERIFY(!panel->isVisible());
        QCOMPARE(form.width(), width - panel->width());
        Child<QAction>(&form, "PopupMenuItem_ControlPanel")->trigger();
        QVERIFY(panel->isVisible());

        Child<QAction>(&form, "PopupMenuItem_FullScreen")->trigger();
        QVERIFY(form.IsFullScreen());
        QVERIFY(!panel->isVisible());
        QVERIFY(!form.statusBar()->isVisible());
        QVERIFY(!Child<QAction>(&form, "PopupMenuItem_ControlPanel")->isEnabled());
        QVERIFY(Child<QAction>(&form, "PopupMenuItem_FullScreen")->isChecked());
        // Hiding the window in full screen returns it to windowed mode.
        form.hide();
        QVERIFY(!form.IsFullScreen());
        form.show();
        QVERIFY(panel->isVisible());
        QVERIFY(Child<QAction>(&form, "PopupMenuItem_ControlPanel")->isEnabled());
    }

    void ColoursComeFromTheColourDialog()
    {
        TScriptedDialogs dialogs;
        dialogs.Colors.push_back(QColor(10, 20, 30));
        dialogs.Colors.push_back(std::nullopt);
        TMPreviewForm form;
        Child<QPushButton>(&form, "Button_BkColor")->click();
        QCOMPARE(form.BackgroundColor(), 0xFF0A141Eu);
        Child<QPushButton>(&form, "Button_FontColor")->click();  // cancelled
        QCOMPARE(form.FontColor(), 0xFF711BE4u);
    }

    void InformationLines()
    {
        TPreviewInfo info;
        info.FrameRate = 58;
        info.SurfaceWidth = 640;
        info.SurfaceHeight = 480;
        info.Hardware = false;
        info.CameraPosition = {1, 2.5f, -10};
        info.CameraDirection = {0, 0, 1};
        info.TexturesInCache = 3;
        info.PolygonsDrawn = 1200;
        info.HasModel = true;
        info.ModelFileName = "C:\\Models\\Tank.P3D";
        const std::vector<std::string> lines = PreviewInfoLines(info);
        const std::vector<std::string> expected{"fps: 58",
                                                "surface: 640x480",
                                                "3D device: software",
                                                "camera position: 1.00 2.50 -10.00",
                                                "camera direction: 0.00",
                                                "textures in cache: 3",
                                                "polygons per frame: 1200",
                                                "model name: tank.p3d"};
        QCOMPARE(lines, expected);
        info.HasModel = false;
        QCOMPARE(PreviewInfoLines(info).size(), size_t(7));

        QCOMPARE(CameraHeadingDegrees({1, 0, 1}), 45.0f);
        QCOMPARE(CameraHeadingDegrees({1, 0, -1}), 135.0f);
        QCOMPARE(CameraHeadingDegrees({-1, 0, -1}), 225.0f);
        QCOMPARE(CameraHeadingDegrees({-1, 0, 1}), 315.0f);
        QCOMPARE(CameraHeadingDegrees({1, 0, 0}), 90.0f);
        QCOMPARE(CameraHeadingDegrees({-1, 0, 0.0000001f}), 270.0f);
    }
};

MC_WINDOW_TEST_MAIN(PreviewFormTest)
#include "PreviewFormTest.moc"
