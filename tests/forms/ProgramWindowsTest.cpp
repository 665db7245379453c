// The windows around the main window, as the program creates and connects
// them: the archive manager and its model picker, the texture window
// following the selected face, the model view and the preview menu entries.
#include <QAbstractItemView>
#include <QAction>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <memory>

#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "Animation_F.h"
#include "CatalogTree.h"
#include "MList.h"
#include "MPreview_F.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "PbListModel.h"
#include "Pb_F.h"
#include "ProgramWindows.h"
#include "Texture_F.h"
#include "View_F.h"

using namespace mc;
using namespace mc::test;

namespace {

QTreeWidgetItem* TopNode(TPbForm& form, const QString& label)
{
    for (int i = 0; i < form.TreeView->topLevelItemCount(); ++i)
        if (form.TreeView->topLevelItem(i)->text(0) == label) return form.TreeView->topLevelItem(i);
    return nullptr;
}

bool SelectRow(TPbForm& form, const QString& name)
{
    const TPbListModel& model = *form.ListModel();
    for (int r = 0; r < model.RowCount(); ++r) {
        if (model.Cell(r, PbColumnName) == name) {
            form.ListView->setCurrentIndex(form.ListModel()->index(r, 0));
            return true;
        }
    }
    return false;
}

}  // namespace

class ProgramWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TProgram> program_;
    TMainForm* form_ = nullptr;
    TScriptedDialogs* dialogs_ = nullptr;

    template <class T>
    T* Window()
    {
        T* window = form_->findChild<T*>();
        if (!window) qFatal("window not created");
        return window;
    }

    // File > Open from > Pb... choosing the row of the add-on's top folder.
    void OpenFromPb(const QString& folder, const QString& row)
    {
        TPbForm* pb = Window<TPbForm>();
        bool picked = false;
        QTimer::singleShot(0, pb, [&] {
            QTreeWidgetItem* node = TopNode(*pb, folder);
            if (node) pb->TreeView->setCurrentItem(node);
            picked = node && SelectRow(*pb, row);
            SaveScreenshot(pb, "program-pb-picker");
            if (picked)
                pb->Button_Ok->click();
            else
                pb->reject();
        });
        form_->Action("MenuItem_File_Open_FromPb")->trigger();
        QVERIFY2(picked, qPrintable(folder + "\\" + row));
    }

private slots:
    void initTestCase() { qputenv("MESHCRAFT_GAME_DIR", QByteArray::fromStdString(PathToUtf8(DemoGameDir()))); }

    void init()
    {
        dialogs_ = new TScriptedDialogs;
        program_ = StartShownProgram(*dialogs_);  // the start-up work has its own test
        QVERIFY(program_);
        form_ = &program_->MainWindow();
    }

    void cleanup()
    {
        form_ = nullptr;
        program_.reset();
        delete dialogs_;
        dialogs_ = nullptr;
    }

    void pbManagerShowsEveryArchive()
    {
        QAction* entry = form_->Action("MenuItem_View_PbManager");
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
        QVERIFY(entry->isEnabled());
        entry->trigger();
        TPbForm* pb = Window<TPbForm>();
        QVERIFY(QTest::qWaitForWindowExposed(pb));
        // The add-on, then the game's three archives; the add-on dialog starts in the game folder.
        QCOMPARE(pb->TreeView->topLevelItemCount(), 4);
        QVERIFY(TopNode(*pb, "demo"));
        QVERIFY(TopNode(*pb, "data3d"));
        QCOMPARE(pb->GameFolder, program_->Game().GameFolder);
        QVERIFY(!pb->GameFolder.empty());
        SaveScreenshot(pb, "program-pb-manager");
        pb->close();
    }

    void openFromPbNamesTheAddOnModel()
    {
        OpenFromPb("demo", "barrel.p3d");
        QVERIFY(program_->Document().Model());
        QVERIFY2(form_->windowTitle().contains("barrel.p3d"), qPrintable(form_->windowTitle()));
        // Cancelling the picker keeps the open model.
        TPbForm* pb = Window<TPbForm>();
        QTimer::singleShot(0, pb, [pb] { pb->reject(); });
        form_->Action("MenuItem_File_Open_FromPb")->trigger();
        QVERIFY(form_->windowTitle().contains("barrel.p3d"));
    }

    void selectedPolygonShowsItsTextureAndOutline()
    {
        OpenFromPb("demo", "barrel.p3d");
        TModelDocument& doc = program_->Document();
        QVERIFY(doc.CurrentLOD());
        TTextureForm* texture = Window<TTextureForm>();
        QAction* entry = form_->Action("MenuItem_View_Texture");
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F5));
        entry->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(texture));

        doc.SelectPolygon(0);
        QVERIFY(texture->CurrentTexture);
        QVERIFY2(QString::fromStdString(texture->TextureName).endsWith("barrel_co.paa"),
                 texture->TextureName.c_str());
        QVERIFY(texture->windowTitle().contains("barrel_co.paa ["));
        // One grid row a corner of the selected face.
        const int corners = doc.CurrentLOD()->Faces[0].Count;
        QCOMPARE(texture->StringGrid_UV->rowCount(), corners);
        QVERIFY(texture->ComposeBuffer());
        SaveScreenshot(texture, "program-texture-window");

        // Another face of the same texture moves the outline.
        const QImage first = texture->Image_Buffer.copy();
        doc.SelectPolygon(doc.CurrentLOD()->FaceCount() - 1);
        QVERIFY(texture->ComposeBuffer());
        QVERIFY(texture->Image_Buffer != first);

        // Closing the model leaves no texture.
        doc.ClearModel();
        QVERIFY(!texture->CurrentTexture);
        QCOMPARE(texture->windowTitle(), QStringLiteral("(none)"));
    }

    void closeAsksTheCatalogThenTheAnimationWindow()
    {
        // Unsaved templates in the catalog and an unsaved animation.
        TMListForm* catalog = Window<TMListForm>();
        const auto file = TempDir("program-close") / "ModelGroups.cpp";
        std::ofstream(file) << "class A { group = 1; name = \"A\"; };\nclass B { group = 1; name = \"B\"; };\n";
        catalog->SetTemplateFile(PathToUtf8(file));
        catalog->RefreshTemplates();
        QTreeWidget* tree = catalog->TemplateTree();
        QCOMPARE(tree->topLevelItemCount(), 2);
        catalog->DeleteNode(tree->topLevelItem(1));
        QVERIFY(catalog->TemplatesModified());
        Window<TAnimationForm>()->CreateAnimation();

        // Cancel to the catalog's question keeps the program; the animation
        // window is not asked.
        dialogs_->Calls.clear();
        dialogs_->Answers = {TAnswer::Cancel};
        form_->close();
        QVERIFY(form_->isVisible());
        QCOMPARE(dialogs_->Calls, QStringList({"question: Model Groups tree were modified. Do you want so save changes?"}));
        // No, then Cancel to the animation's question.
        dialogs_->Calls.clear();
        dialogs_->Answers = {TAnswer::No, TAnswer::Cancel};
        form_->close();
        QVERIFY(form_->isVisible());
        QCOMPARE(dialogs_->Calls, QStringList({"question: Model Groups tree were modified. Do you want so save changes?",
                                               "question: Animation was modified. Do you want so save changes?"}));
    }

    void modelViewAndPreviewEntries()
    {
        form_->Action("MenuItem_View_Model")->trigger();
        TViewForm* view = Window<TViewForm>();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        form_->Action("MenuItem_View_Preview")->trigger();
        TMPreviewForm* preview = Window<TMPreviewForm>();
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        view->close();
        preview->close();
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "ProgramWindowsTest.moc"
