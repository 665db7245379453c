// The main window with models open: caption, tree, grids, pages, saving and
// closing, and property editing seen in the saved file.
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

#include "AlphaColor_F.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "DemoGame.h"
#include "DemoModel.h"
#include "FormsTestSupport.h"
#include "GeneralPage.h"
#include "MainGridModels.h"
#include "MainTree.h"
#include "NamedPropertiesPage.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ProgramWindows.h"
#include "Texture/Texture.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

// A named widget of the main window.
template <class T>
T* Child(const QWidget& form, const char* name)
{
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    if (!child) qWarning("no %s named %s", T::staticMetaObject.className(), name);
    return child;
}

QString GridText(QTableView* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

QStringList ChildTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
    return texts;
}

QList<int> VisibleTabs(QTabWidget* pages)
{
    QList<int> visible;
    if (!pages->isVisibleTo(pages->parentWidget())) return visible;
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i)) visible << i;
    return visible;
}

std::string WriteCrate(const fs::path& folder)
{
    const std::string path = PathToUtf8(folder / "crate.p3d");
    auto model = demo::MakeCrateModel();
    if (!SaveModelOdolFile(*model, path)) return {};
    return path;
}

// The question asked before edits are dropped.
QString ModifiedQuestion(const std::string& fileName)
{
    return QStringLiteral("question: Model \"%1\" was modified. Save changes?").arg(QString::fromStdString(fileName));
}

// Files dropped on the window as a file manager drops them.
void DropFiles(QWidget* window, const QList<QUrl>& urls, bool* accepted = nullptr)
{
    QMimeData data;
    data.setUrls(urls);
    const QPointF at(window->width() / 2, window->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    if (accepted) *accepted = enter.isAccepted();
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

QTreeWidgetItem* LODNode(TMainForm& form, int index) { return form.Tree()->topLevelItem(0)->child(index); }

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TProgram> program_;
    TMainForm* form_ = nullptr;
    TScriptedDialogs* dialogs_ = nullptr;
    fs::path work_;

private slots:
    void initTestCase()
    {
        qputenv("MESHCRAFT_GAME_DIR", QByteArray::fromStdString(PathToUtf8(DemoGameDir())));
        work_ = TempDir("main");
    }

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

    void withoutModelTheTreeIsEmptyAndPagesHidden()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft"));
        QCOMPARE(form_->Tree()->topLevelItemCount(), 0);
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")).isEmpty());
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")).isEmpty());
        QVERIFY(!form_->Action("MenuItem_File_SaveAs")->isEnabled());
        QVERIFY(!form_->Action("MenuItem_File_Close")->isEnabled());
        QVERIFY(!form_->Action("MenuItem_File_MakeAddOn")->isEnabled());
        // The archive manager's picker is there without a model.
        QVERIFY(form_->Action("MenuItem_File_Open_FromPb")->isEnabled());
        QCOMPARE(form_->Action("MenuItem_File_Open_FromPb")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QCOMPARE(form_->Action("MenuItem_View_AddOnOptions")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(form_->Action("MenuItem_View_PbManager")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
        // Converter marks start as stored: all but "Save Animation".
        QCOMPARE(form_->ConverterFlags(), SaveFlags::GroupedVertices | SaveFlags::SharpEdges |
                                              SaveFlags::CorrectShining | SaveFlags::CorrectShadow);
        form_->Action("MenuItem_Options_Converter_SaveAnimation")->trigger();
        QVERIFY(form_->ConverterFlags() & SaveFlags::Animation);
        // The general grid shrinks to one blank row.
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_General")->model()->rowCount(), 1);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 0, 0), QString());
    }

    void opensSharedOdolModelAndFillsGrids()
    {
        const fs::path file = RealFile("p3d/tzk210_A10_xj200.p3d");
        if (file.empty()) QSKIP("real data absent");
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tzk210_A10_xj200.p3d [ODOL]"));
        QCOMPARE(Child<QLabel>(*form_, "StatusBar_Main_Panel0")->text(), QStringLiteral("Model loaded"));
        QVERIFY(form_->Action("MenuItem_File_SaveAs")->isEnabled());
        QVERIFY(form_->Action("MenuItem_File_Close")->isEnabled());
        QCOMPARE(form_->Document().CurrentLODIndex(), 0);

        const TModel& model = *form_->Document().Model();
        QCOMPARE(form_->Tree()->topLevelItemCount(), 2);
        QTreeWidgetItem* lods = form_->Tree()->topLevelItem(0);
        QCOMPARE(lods->text(0), QStringLiteral("LODs"));
        QCOMPARE(TMainTree::NodeKind(lods), int(NodeLODs));
        QCOMPARE(lods->childCount(), model.LODCount());
        QCOMPARE(TMainTree::NodeKind(form_->Tree()->topLevelItem(1)), int(NodeGeneral));
        QCOMPARE(form_->Tree()->topLevelItem(1)->text(0), QStringLiteral("General Properties"));
        for (int i = 0; i < model.LODCount(); ++i) {
            QTreeWidgetItem* node = lods->child(i);
            QCOMPARE(TMainTree::NodeKind(node), int(NodeLOD));
            QCOMPARE(node->text(0), QString::fromStdString(model.LODs[size_t(i)]->Name()));
            QCOMPARE(ChildTexts(node), (QStringList{"Vertices", "Polygons", "Textures", "Proxy", "Components",
                                                    "Animation", "Properties"}));
            QCOMPARE(node->child(3)->childCount(), model.LODs[size_t(i)]->ProxyCount());
            QCOMPARE(node->child(4)->childCount(), model.LODs[size_t(i)]->SelectionCount());
            QCOMPARE(bool(node->flags() & Qt::ItemIsEditable), !model.LODs[size_t(i)]->IsSpecial());
        }
        QCOMPARE(TMainTree::NodeKind(lods->child(0)->child(0)), int(NodeVertices));
        QCOMPARE(TMainTree::NodeKind(lods->child(0)->child(6)), int(NodeProperties));

        const TLOD& lod = *model.LODs[0];
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Vertices")->model()->rowCount(), std::max(1, lod.VertexCount()));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Polygons")->model()->rowCount(), std::max(1, lod.FaceCount()));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Textures")->model()->rowCount(), std::max(1, lod.TextureCount()));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Vertices"), 5, 0), QStringLiteral("5"));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Vertices"), 5, 2),
                 QString::fromStdString(Format("%.3f", double(lod.Positions[5].y))));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Vertices")->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("x"));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Polygons")->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("flags"));
        bool sawTriangle = false;
        for (int f = 0; f < lod.FaceCount(); ++f) {
            const TFace& face = lod.Faces[size_t(f)];
            const QString flags = GridText(Child<QTableView>(*form_, "StringGrid_Polygons"), f, 5);
            QCOMPARE(flags.size(), 8);
            QCOMPARE(flags, flags.toUpper());
            QCOMPARE(flags.toUInt(nullptr, 16), face.Flags);
            QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Polygons"), f, 1), QString::number(face.Vertices[0]));
            if (face.Count == 3) {
                sawTriangle = true;
                QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Polygons"), f, 4), QString());
            }
            const QString texture = GridText(Child<QTableView>(*form_, "StringGrid_Polygons"), f, 6);
            if (face.Texture == kNoTexture)
                QCOMPARE(texture, QString());
            else
                QCOMPARE(texture, QString::fromLatin1(lod.Textures[face.Texture].Name.c_str()));
        }
        QVERIFY(sawTriangle);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Textures"), 0, 2), QString());

        // The general grid: 16 rows.
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_General")->model()->rowCount(), 16);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 0, 0), QStringLiteral("Mass"));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 0, 2), QString::fromStdString(Format("%.3f", double(model.Mass))));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 1, 2), QString::fromStdString(ColorText(model.MapIconColor)));
        const int geometry = model.SpecialLOD(SpecialGeometry);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 4 + SpecialGeometry, 2),
                 geometry >= 0 ? LODEntryText(model, geometry) : QString());
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 15, 2), QString());  // slot 11 always empty
    }

    void treeClicksSelectLODAndShowOnePage()
    {
        const fs::path file = RealFile("p3d/tzk210_A10_xj200.p3d");
        if (file.empty()) QSKIP("real data absent");
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")).isEmpty());

        form_->Tree()->ClickNode(LODNode(*form_, 2)->child(1));  // Polygons of LOD 2
        QCOMPARE(form_->Document().CurrentLODIndex(), 2);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PagePolygons});
        QCOMPARE(Child<QTabWidget>(*form_, "PageControl_Main")->currentIndex(), int(PagePolygons));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Polygons")->model()->rowCount(), std::max(1, form_->Document().Model()->LODs[2]->FaceCount()));

        form_->Tree()->ClickNode(form_->Tree()->topLevelItem(1));
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PageGeneral});
        form_->Tree()->ClickNode(form_->Tree()->topLevelItem(0));
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PageLODResolution});
        QCOMPARE(form_->Document().CurrentLODIndex(), 2);  // the LODs node names no LOD

        // Keys released in the tree act as clicks.
        form_->Tree()->setCurrentItem(LODNode(*form_, 1)->child(0));
        QTest::keyClick(form_->Tree(), Qt::Key_Shift);
        QCOMPARE(form_->Document().CurrentLODIndex(), 1);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PageVertices});

        // A polygon row selects the face; another LOD clears it.
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(1));
        Child<QTableView>(*form_, "StringGrid_Polygons")->selectRow(3);
        QCOMPARE(form_->Document().CurrentFaceIndex(), 3);
        form_->Tree()->ClickNode(LODNode(*form_, 1)->child(1));
        QCOMPARE(form_->Document().CurrentFaceIndex(), -1);
    }

    void demoCrateShowsProxiesComponentsAndPages()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(!path.empty());
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - crate.p3d [ODOL]"));
        QTreeWidgetItem* memory = LODNode(*form_, 2);
        QCOMPARE(memory->text(0), QStringLiteral("Memory"));
        QVERIFY(!(memory->flags() & Qt::ItemIsEditable));
        QTreeWidgetItem* proxy = memory->child(3)->child(0);
        QCOMPARE(proxy->text(0), QStringLiteral("flag"));
        QCOMPARE(TMainTree::NodeKind(proxy), int(NodeProxy));
        QCOMPARE(ChildTexts(proxy), (QStringList{"Vertices", "Polygons"}));
        QCOMPARE(TMainTree::NodeKind(proxy->child(1)), int(NodeProxyPolygons));
        QTreeWidgetItem* component = memory->child(4)->child(1);
        QCOMPARE(component->text(0), QStringLiteral("proxy:flag.1"));
        QCOMPARE(TMainTree::NodeKind(component), int(NodeComponent));
        QCOMPARE(TMainTree::NodeKind(component->child(0)), int(NodeComponentVertices));

        form_->Tree()->ClickNode(proxy);
        QCOMPARE(form_->Document().CurrentLODIndex(), 2);
        QCOMPARE(form_->Document().CurrentProxyIndex(), 0);
        form_->Tree()->ClickNode(component);
        QVERIFY(form_->Document().Model()->LODs[2]->IsVertexSelected(2));
        QVERIFY(!form_->Document().Model()->LODs[2]->IsVertexSelected(0));
        // A component's "Vertices" node selects its LOD and shows nothing new.
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(0));
        form_->Tree()->ClickNode(component->child(0));
        QCOMPARE(form_->Document().CurrentLODIndex(), 2);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PageVertices});

        // A screenshot of each page with LOD 0 of the crate.
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(0));
        const struct {
            QTreeWidgetItem* Node;
            const char* Name;
        } pages[] = {{form_->Tree()->topLevelItem(0), "main-lod-resolution"},
                     {LODNode(*form_, 0)->child(0), "main-vertices"},
                     {LODNode(*form_, 0)->child(1), "main-polygons"},
                     {LODNode(*form_, 0)->child(2), "main-textures"},
                     {LODNode(*form_, 0)->child(6), "main-named-properties"},
                     {form_->Tree()->topLevelItem(1), "main-general"}};
        for (const auto& page : pages) {
            form_->Tree()->setCurrentItem(page.Node);
            form_->Tree()->ClickNode(page.Node);
            SaveScreenshot(form_, QString::fromLatin1(page.Name));
        }
        // No row chosen yet: none of the editing pages below the grid.
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")).isEmpty());
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(2);  // Map Icon Selected Color
        QCOMPARE(form_->GeneralPage()->GeneralRow(), 3);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")), QList<int>{GeneralPageColor});
        SaveScreenshot(form_, QStringLiteral("main-general-color"));
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(0);  // Mass: nothing to edit below
        QCOMPARE(form_->GeneralPage()->GeneralRow(), 1);
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")).isEmpty());
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(5);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")), QList<int>{GeneralPageLOD});
        // Another model drops the row chosen in the old one.
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        QCOMPARE(form_->GeneralPage()->GeneralRow(), -1);
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")).isEmpty());
    }

    void savesOdolAndReopens()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        const std::string saved = PathToUtf8(work_ / "saved-odol.p3d");
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        form_->Action("MenuItem_File_SaveAs")->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Ok Saved"});
        QCOMPARE(form_->Document().Model()->SaveFlags, form_->ConverterFlags());
        QVERIFY(form_->OpenModel(saved, TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - saved-odol.p3d [ODOL]"));
        QCOMPARE(form_->Document().Model()->LODCount(), 3);
        QCOMPARE(form_->Document().Model()->LODs[0]->VertexCount(), 24);
        // No temporary file is left beside it.
        int files = 0;
        for (const auto& entry : fs::directory_iterator(work_)) files += entry.path().filename().string()[0] == '.';
        QCOMPARE(files, 0);
    }

    void savesMlodAndReopens()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        const fs::path target = work_ / "saved-mlod.p3d";
        std::ofstream(target) << "the user's file";
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(target)), 1});
        form_->Action("MenuItem_File_SaveAs")->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Ok Saved"});
        QCOMPARE(FileText(target).substr(0, 4), std::string("MLOD"));
        QVERIFY(form_->OpenModel(PathToUtf8(target), TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - saved-mlod.p3d [MLOD]"));
        QCOMPARE(form_->Document().Model()->LODCount(), 3);
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Vertices")->model()->rowCount(), form_->Document().Model()->LODs[0]->VertexCount());

        // The "All files" filter writes MLOD as well.
        const std::string any = PathToUtf8(work_ / "any-filter.p3d");
        QVERIFY(form_->SaveModelTo(any, 2));
        QCOMPARE(FileText(any).substr(0, 4), std::string("MLOD"));
        QVERIFY(form_->SaveModelTo(any, 0));
        QCOMPARE(FileText(any).substr(0, 4), std::string("ODOL"));
    }

    void opensMlodModelFromFile()
    {
        const fs::path file = RealFile("p3d/tzk110_tomahawk.p3d");
        if (file.empty()) QSKIP("real data absent");
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tzk110_tomahawk.p3d [MLOD]"));
        const TModel& model = *form_->Document().Model();
        QTreeWidgetItem* lods = form_->Tree()->topLevelItem(0);
        QCOMPARE(lods->childCount(), model.LODCount());
        QCOMPARE(lods->childCount(), 3);
        for (int i = 0; i < model.LODCount(); ++i) {
            QCOMPARE(TMainTree::NodeKind(lods->child(i)), int(NodeLOD));
            QCOMPARE(lods->child(i)->text(0), QString::fromStdString(model.LODs[size_t(i)]->Name()));
            QCOMPARE(lods->child(i)->child(4)->childCount(), model.LODs[size_t(i)]->SelectionCount());
        }
        const TLOD& lod = *model.LODs[0];
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Vertices")->model()->rowCount(), std::max(1, lod.VertexCount()));
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Polygons")->model()->rowCount(), std::max(1, lod.FaceCount()));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Vertices"), 0, 1), QString::fromStdString(Format("%.3f", double(lod.Positions[0].x))));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Polygons"), 0, 5).size(), 8);

        // Saved as ODOL and opened again.
        const std::string saved = PathToUtf8(work_ / "tomahawk-odol.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        QVERIFY(form_->OpenModel(saved, TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tomahawk-odol.p3d [ODOL]"));
        QCOMPARE(form_->Document().Model()->LODCount(), 3);
    }

    void failedSavesKeepTheUsersFile()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));

        // A folder that does not exist: nothing can be created.
        const std::string nowhere = PathToUtf8(work_ / "missing" / "x.p3d");
        QVERIFY(!form_->SaveModelTo(nowhere, 0));
        QCOMPARE(dialogs_->Messages(), QStringList{QStringLiteral("Cannot create file \"%1\"").arg(QString::fromStdString(nowhere))});

        // The writer refuses the model halfway: "Error!", the old file stays.
        const fs::path target = work_ / "kept.p3d";
        std::ofstream(target) << "the user's file";
        form_->Document().Model()->LODs[0]->Normals.pop_back();
        dialogs_->Calls.clear();
        QVERIFY(!form_->SaveModelTo(PathToUtf8(target), 0));
        QCOMPARE(dialogs_->Messages(), QStringList{"Error!"});
        QCOMPARE(FileText(target), std::string("the user's file"));
    }

    void exportsEveryLODAsObj()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        QVERIFY(form_->Action("MenuItem_File_Export")->isEnabled());
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(work_ / "crate")), 0});
        form_->Action("MenuItem_File_Export")->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Export process done"});
        for (int i = 0; i < 3; ++i) QVERIFY(fs::exists(work_ / ("crate." + std::to_string(i) + ".obj")));
        QVERIFY(FileText(work_ / "crate.0.obj").rfind("#Exported by Meshcraft v0.28", 0) == 0);
        form_->CloseModel();
        QVERIFY(!form_->Action("MenuItem_File_Export")->isEnabled());
    }

    void exportsTheCurrentLODAsGltfWithItsTextures()
    {
        QAction* gltf = form_->Action("MenuItem_File_ExportGltf");
        QVERIFY(gltf);
        QCOMPARE(gltf->text(), QStringLiteral("Export glTF..."));
        QVERIFY(!gltf->isEnabled());
        // Right below "Export..." in the File menu.
        const auto* menu = form_->findChild<QMenu*>(QStringLiteral("MenuItem_File"));
        QVERIFY(menu);
        const QList<QAction*> file = menu->actions();
        const qsizetype at = file.indexOf(form_->Action("MenuItem_File_Export"));
        QVERIFY(at >= 0 && at + 1 < file.size());
        QCOMPARE(file[at + 1], gltf);

        // The demo game's crate, its texture from the game's archives.
        QVERIFY(form_->OpenModel("data3d\\crate.p3d", TModelSource::Archive));
        QVERIFY(gltf->isEnabled());
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(work_ / "crate")), 0});
        gltf->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Export process done"});
        const std::string glb = FileText(work_ / "crate.glb");
        QVERIFY(glb.rfind("glTF", 0) == 0);
        QVERIFY(glb.find("\"mimeType\":\"image/png\"") != std::string::npos);
        QVERIFY(glb.find("crate_co.paa") != std::string::npos);
        form_->CloseModel();
        QVERIFY(!gltf->isEnabled());
    }

    void closeClearsEverything()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(0));
        form_->Action("MenuItem_File_Close")->trigger();
        QVERIFY(!form_->Document().Model());
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft"));
        QCOMPARE(form_->Tree()->topLevelItemCount(), 0);
        QCOMPARE(form_->Document().CurrentLODIndex(), -1);
        QVERIFY(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")).isEmpty());
        QVERIFY(!form_->Action("MenuItem_File_SaveAs")->isEnabled());
        QCOMPARE(Child<QLabel>(*form_, "StatusBar_Main_Panel0")->text(), QString());
        QCOMPARE(Child<QTableView>(*form_, "StringGrid_Vertices")->model()->rowCount(), 1);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_Vertices"), 0, 0), QString());

        // A failed open keeps the current model.
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        QVERIFY(!form_->OpenModel(PathToUtf8(work_ / "nothing.p3d"), TModelSource::File));
        QVERIFY(form_->Document().Model());
        QCOMPARE(dialogs_->Messages().back(),
                 QStringLiteral("Model \"%1\" not loaded").arg(QString::fromStdString(PathToUtf8(work_ / "nothing.p3d"))));
    }

    void namedPropertiesEditedAndSaved()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(6));
        QTableView* grid = Child<QTableView>(*form_, "StringGrid_Properties");
        QCOMPARE(grid->model()->rowCount(), 2);
        QVERIFY(!Child<QPushButton>(*form_, "Button_NamedProperty_Add")->isEnabled());

        grid->selectRow(1);
        QCOMPARE(Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->text(), QStringLiteral("map"));
        QCOMPARE(Child<QLineEdit>(*form_, "Edit_NamedProperty_Value")->text(), QStringLiteral("building"));
        QVERIFY(Child<QPushButton>(*form_, "Button_NamedProperty_Add")->isEnabled());

        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral("  "));
        QVERIFY(!Child<QPushButton>(*form_, "Button_NamedProperty_Add")->isEnabled());
        QVERIFY(!Child<QPushButton>(*form_, "Button_NamedProperty_Rename")->isEnabled());
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral(" lodnoshadow "));
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Value")->setText(QStringLiteral(" 1 "));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Add"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(GridText(grid, 2, 1), QStringLiteral("lodnoshadow"));
        QCOMPARE(GridText(grid, 2, 2), QStringLiteral("1"));

        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral("MAP"));
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Value")->setText(QStringLiteral("tree"));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Change"), Qt::LeftButton);
        QCOMPARE(GridText(grid, 1, 2), QStringLiteral("tree"));
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral("nothing"));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Change"), Qt::LeftButton);  // no such property
        QCOMPARE(grid->model()->rowCount(), 3);

        grid->selectRow(0);  // "class"
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral("klass"));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Rename"), Qt::LeftButton);
        QCOMPARE(GridText(grid, 0, 1), QStringLiteral("klass"));
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Delete"), Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), 2);

        const std::string saved = PathToUtf8(work_ / "props.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        auto reread = LoadModelFromFile(saved);
        QVERIFY(reread);
        const TLOD& lod = *reread->LODs[0];
        QCOMPARE(lod.PropertyNames, (std::vector<std::string>{"MAP", "lodnoshadow"}));
        QCOMPARE(lod.PropertyValues, (std::vector<std::string>{"tree", "1"}));
    }

    void generalValuesEditedAndSaved()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        TModel& model = *form_->Document().Model();
        model.MapIconColor = 0x80FF0000;  // alpha 128, red 255
        form_->GeneralPage()->Refill();
        form_->Tree()->ClickNode(form_->Tree()->topLevelItem(1));
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 1, 2), QStringLiteral("ARGB(128, 255, 0, 0)"));
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(1);
        QCOMPARE(form_->GeneralPage()->GeneralRow(), 2);
        QCOMPARE(form_->GeneralPage()->RGBSwatch(), qRgb(255, 0, 0));
        QCOMPARE(form_->GeneralPage()->AlphaSwatch(), qRgb(128, 128, 128));

        // A new colour from the colour dialog and alpha 64 from the alpha
        // dialog, then "Change".
        dialogs_->Colors.push_back(QColor(10, 20, 30));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_Color_RGB"), Qt::LeftButton);
        QCOMPARE(form_->GeneralPage()->RGBSwatch(), qRgb(10, 20, 30));
        QTimer::singleShot(0, [] {
            AlphaColorForm->Edit_Value->setText(QStringLiteral("64"));
            AlphaColorForm->CheckEditValue();
            SaveScreenshot(AlphaColorForm, QStringLiteral("alpha-channel"));
            AlphaColorForm->Button_OK->click();
        });
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_Color_Alpha"), Qt::LeftButton);
        QCOMPARE(form_->GeneralPage()->AlphaSwatch(), qRgb(64, 64, 64));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_Color_Change"), Qt::LeftButton);
        QCOMPARE(model.MapIconColor, 0x400A141Eu);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 1, 2), QStringLiteral("ARGB(64, 10, 20, 30)"));

        // The selected colour row.
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(2);
        form_->GeneralPage()->SetRGBSwatch(qRgb(0, 255, 0));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_Color_Change"), Qt::LeftButton);
        QCOMPARE(model.MapIconSelectedColor, 0xFF00FF00u);

        // Map icon.
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(3);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")), QList<int>{GeneralPageMapIcon});
        QCOMPARE(Child<QComboBox>(*form_, "ComboBox_General_MapIcon")->count(), 24);
        QCOMPARE(Child<QComboBox>(*form_, "ComboBox_General_MapIcon")->currentText(), QStringLiteral("building"));
        SaveScreenshot(form_, QStringLiteral("main-general-mapicon"));
        Child<QComboBox>(*form_, "ComboBox_General_MapIcon")->setCurrentIndex(0);
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_MapIcon_Change"), Qt::LeftButton);
        QCOMPARE(int(model.MapIcon), 0);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 3, 2), QStringLiteral("tree"));

        // Special LODs: assign Fire Geometry (slot 2) to LOD 1, clear the
        // Geometry slot, and try the last slot, which the model does not keep.
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(4 + SpecialFireGeometry);
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_General")), QList<int>{GeneralPageLOD});
        QCOMPARE(Child<QComboBox>(*form_, "ComboBox_General_LOD")->count(), 4);
        QCOMPARE(Child<QComboBox>(*form_, "ComboBox_General_LOD")->currentIndex(), 0);
        Child<QComboBox>(*form_, "ComboBox_General_LOD")->setCurrentIndex(2);
        SaveScreenshot(form_, QStringLiteral("main-general-lod"));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_LOD_Change"), Qt::LeftButton);
        QCOMPARE(model.SpecialLOD(SpecialFireGeometry), 1);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 4 + SpecialFireGeometry, 2), QStringLiteral("Geometry (1)"));
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(4 + SpecialGeometry);
        QCOMPARE(Child<QComboBox>(*form_, "ComboBox_General_LOD")->currentText(), QStringLiteral("Geometry (1)"));
        Child<QComboBox>(*form_, "ComboBox_General_LOD")->setCurrentIndex(0);
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_LOD_Change"), Qt::LeftButton);
        QCOMPARE(model.SpecialLOD(SpecialGeometry), -1);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 4 + SpecialGeometry, 2), QString());
        Child<QTableView>(*form_, "StringGrid_General")->selectRow(15);
        Child<QComboBox>(*form_, "ComboBox_General_LOD")->setCurrentIndex(1);
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_LOD_Change"), Qt::LeftButton);
        QCOMPARE(GridText(Child<QTableView>(*form_, "StringGrid_General"), 15, 2), QString());

        const std::string saved = PathToUtf8(work_ / "general.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        auto reread = LoadModelFromFile(saved);
        QVERIFY(reread);
        QCOMPARE(reread->MapIconColor, 0x400A141Eu);
        QCOMPARE(reread->MapIconSelectedColor, 0xFF00FF00u);
        QCOMPARE(int(reread->MapIcon), 0);
        QCOMPARE(reread->SpecialLOD(SpecialFireGeometry), 1);
        QCOMPARE(reread->SpecialLOD(SpecialMemory), 2);
    }

    void lodLabelsEditOrdinaryResolutions()
    {
        const fs::path file = work_ / "tower.p3d";
        QVERIFY(SaveModelOdolFile(*demo::MakePrismModel("tower.p3d", "data\\tower_co.paa", {8, 6}, 1, 4), PathToUtf8(file)));
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QTreeWidgetItem* second = LODNode(*form_, 1);
        QCOMPARE(second->text(0), QStringLiteral("2.000"));
        form_->Tree()->EndEditLODLabel(second, QStringLiteral("2.5"));
        QCOMPARE(second->text(0), QStringLiteral("2.5"));
        QCOMPARE(form_->Document().Model()->LODs[1]->Resolution, 2.5f);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));

        // A decimal comma under a point locale: the message, the old label.
        form_->Tree()->EndEditLODLabel(second, QStringLiteral("3,5"));
        QCOMPARE(dialogs_->Messages(), QStringList{"Floating-point value expected instead of \"3,5\" !"});
        QCOMPARE(second->text(0), QStringLiteral("2.5"));
        QCOMPARE(form_->Document().Model()->LODs[1]->Resolution, 2.5f);

        // Through the tree's own editor.
        QTreeWidgetItem* first = LODNode(*form_, 0);
        form_->Tree()->setCurrentItem(first);
        form_->Tree()->editItem(first);
        auto* editor = form_->Tree()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("0.75"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(form_->Document().Model()->LODs[0]->Resolution, 0.75f);
        QCOMPARE(first->text(0), QStringLiteral("0.75"));

        const std::string saved = PathToUtf8(work_ / "relabelled.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        auto reread = LoadModelFromFile(saved);
        QCOMPARE(reread->LODs[0]->Resolution, 0.75f);
        QCOMPARE(reread->LODs[1]->Resolution, 2.5f);
    }

    // A click on a polygon row selects the face once: its texture is shown,
    // then the polygon; a texture row shows its texture once.
    void gridClicksSelectOnce()
    {
        QVERIFY(form_->OpenModel("data3d\\tower.p3d", TModelSource::Archive));
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(1));
        QStringList events;
        TModelDocument& doc = form_->Document();
        connect(&doc, &TModelDocument::TextureShown, this,
                [&events](const TTexture* t, const QString& name) { events << "texture " + name + (t ? "" : " (none)"); });
        connect(&doc, &TModelDocument::PolygonSelected, this, [&events](int i) { events << QStringLiteral("polygon %1").arg(i); });
        QTableView* polygons = Child<QTableView>(*form_, "StringGrid_Polygons");
        const QString texture = QString::fromStdString(LowerCase(doc.Model()->LODs[0]->Textures[0].Name));
        QTest::mouseClick(polygons->viewport(), Qt::LeftButton, {}, polygons->visualRect(polygons->model()->index(1, 1)).center());
        QCOMPARE(events.join(" | "), "texture " + texture + " | polygon 1");
        QCOMPARE(doc.CurrentFaceIndex(), 1);
        events.clear();
        QTest::keyClick(polygons, Qt::Key_Down);
        QCOMPARE(events.join(" | "), "texture " + texture + " | polygon 2");

        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(2));
        QTableView* textures = Child<QTableView>(*form_, "StringGrid_Textures");
        events.clear();
        QTest::mouseClick(textures->viewport(), Qt::LeftButton, {}, textures->visualRect(textures->model()->index(0, 1)).center());
        QCOMPARE(events.join(" | "), "texture " + texture);
        QCOMPARE(doc.CurrentFaceIndex(), -1);
    }

    // Property, value and LOD label edits all count as changes of the model.
    void editsMarkTheModelModified()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        TModelDocument& doc = form_->Document();
        QSignalSpy modified(&doc, &TModelDocument::ModifiedChanged);
        // Looking around changes nothing.
        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(6));
        Child<QTableView>(*form_, "StringGrid_Properties")->selectRow(1);
        form_->Tree()->ClickNode(form_->Tree()->topLevelItem(1));
        form_->GeneralPage()->SelectGeneralRow(4);
        QVERIFY(!doc.IsModified());

        form_->Tree()->ClickNode(LODNode(*form_, 0)->child(6));
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Name")->setText(QStringLiteral("lodnoshadow"));
        Child<QLineEdit>(*form_, "Edit_NamedProperty_Value")->setText(QStringLiteral("1"));
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_NamedProperty_Add"), Qt::LeftButton);
        QVERIFY(doc.IsModified());
        QCOMPARE(modified.count(), 1);

        QVERIFY(form_->OpenModel(path, TModelSource::File) == false);  // the question is cancelled
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(path)});
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        QVERIFY(!doc.IsModified());

        form_->Tree()->ClickNode(form_->Tree()->topLevelItem(1));
        form_->GeneralPage()->SelectGeneralRow(4);  // map icon
        Child<QComboBox>(*form_, "ComboBox_General_MapIcon")->setCurrentIndex(0);
        QTest::mouseClick(Child<QPushButton>(*form_, "Button_General_MapIcon_Change"), Qt::LeftButton);
        QVERIFY(doc.IsModified());
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(form_->OpenModel(path, TModelSource::File));

        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("abc"));  // refused: no change
        QVERIFY(!doc.IsModified());
        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("0.5"));
        QVERIFY(doc.IsModified());
    }

    // File > Close after an edit: Cancel keeps all, No drops the edit, Yes
    // saves through Save As (a cancelled or failed save keeps all).
    void closeAsksAboutEdits()
    {
        const std::string path = WriteCrate(work_);
        TModelDocument& doc = form_->Document();
        QAction* close = form_->Action("MenuItem_File_Close");

        // Nothing edited: no question.
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        close->trigger();
        QVERIFY(!doc.Model());
        QCOMPARE(dialogs_->Calls, QStringList());

        const auto edited = [&] {
            QVERIFY(form_->OpenModel(path, TModelSource::File));
            form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("0.5"));
            QVERIFY(doc.IsModified());
            dialogs_->Calls.clear();
        };
        edited();
        dialogs_->Answers.push_back(TAnswer::Cancel);
        close->trigger();
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(path)});
        QVERIFY(doc.Model());
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.Model()->LODs[0]->Resolution, 0.5f);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - crate.p3d [ODOL]"));

        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::Yes);  // the save dialog cancelled
        close->trigger();
        QCOMPARE(dialogs_->Calls, (QStringList{ModifiedQuestion(path), "save: Save As"}));
        QVERIFY(doc.Model());
        QVERIFY(doc.IsModified());

        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::Yes);  // a save that fails
        const std::string nowhere = PathToUtf8(work_ / "missing" / "x.p3d");
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(nowhere), 0});
        close->trigger();
        QVERIFY(doc.Model());
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.FileName(), path);

        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::No);
        close->trigger();
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(path)});
        QVERIFY(!doc.Model());
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft"));
        QCOMPARE(LoadModelFromFile(path)->LODs[0]->Resolution, 1.0f);  // the file as it was

        edited();
        const std::string saved = PathToUtf8(work_ / "closed-saved.p3d");
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        close->trigger();
        QCOMPARE(dialogs_->Calls, (QStringList{ModifiedQuestion(path), "save: Save As", "information: Ok Saved"}));
        QVERIFY(!doc.Model());
        auto reread = LoadModelFromFile(saved);
        QVERIFY(reread);
        QCOMPARE(reread->LODs[0]->Resolution, 0.5f);
    }

    // Exit (closing the main window) after an edit.
    void exitAsksAboutEdits()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        const std::string path = WriteCrate(work_);
        TModelDocument& doc = form_->Document();
        QAction* exit = form_->Action("MenuItem_File_Exit");
        int closeQueries = 0;
        form_->AddCloseQuery([&closeQueries] {
            ++closeQueries;
            return true;
        });

        QVERIFY(form_->OpenModel(path, TModelSource::File));
        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("7"));
        dialogs_->Answers.push_back(TAnswer::Cancel);
        exit->trigger();
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(path)});
        QVERIFY(form_->isVisible());
        QVERIFY(doc.IsModified());
        QCOMPARE(closeQueries, 0);  // the question comes before the other windows' queries

        dialogs_->Answers.push_back(TAnswer::Yes);  // save dialog cancelled: stays
        exit->trigger();
        QVERIFY(form_->isVisible());
        QVERIFY(doc.IsModified());

        const std::string saved = PathToUtf8(work_ / "exit-saved.p3d");
        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 1});
        exit->trigger();
        QCOMPARE(dialogs_->Calls, (QStringList{ModifiedQuestion(path), "save: Save As", "information: Ok Saved"}));
        QVERIFY(!form_->isVisible());
        QCOMPARE(closeQueries, 1);
        QCOMPARE(FileText(saved).substr(0, 4), std::string("MLOD"));
        QCOMPARE(LoadModelFromFile(saved)->LODs[0]->Resolution, 7.0f);

        // No: closes without saving.
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("8"));
        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(form_->close());
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(saved)});
        QCOMPARE(LoadModelFromFile(saved)->LODs[0]->Resolution, 7.0f);

        // Nothing edited: no question.
        form_->show();
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        dialogs_->Calls.clear();
        QVERIFY(form_->close());
        QCOMPARE(dialogs_->Calls, QStringList());
    }

    // Opening another model after an edit, from a file, the archives and a drop.
    void openAsksAboutEdits()
    {
        const std::string path = WriteCrate(work_);
        const std::string other = PathToUtf8(work_ / "tower.p3d");
        QVERIFY(SaveModelOdolFile(*demo::MakePrismModel("tower.p3d", "data\\tower_co.paa", {8, 6}, 1, 4), other));
        TModelDocument& doc = form_->Document();
        const auto edited = [&] {
            QVERIFY(form_->OpenModel(path, TModelSource::File));
            form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("0.25"));
            QVERIFY(doc.IsModified());
            dialogs_->Calls.clear();
        };

        // File > Open from > File...: Cancel keeps the model and its edit.
        edited();
        dialogs_->OpenFiles.push_back(QString::fromStdString(other));
        dialogs_->Answers.push_back(TAnswer::Cancel);
        form_->Action("MenuItem_File_Open_FromFile")->trigger();
        QVERIFY(dialogs_->Calls.contains(ModifiedQuestion(path)));
        QCOMPARE(doc.FileName(), path);
        QCOMPARE(doc.Model()->LODs[0]->Resolution, 0.25f);
        QVERIFY(doc.IsModified());

        // No: the other model opens, the edit is gone.
        dialogs_->Calls.clear();
        dialogs_->OpenFiles.push_back(QString::fromStdString(other));
        dialogs_->Answers.push_back(TAnswer::No);
        form_->Action("MenuItem_File_Open_FromFile")->trigger();
        QVERIFY(dialogs_->Calls.contains(ModifiedQuestion(path)));
        QCOMPARE(doc.FileName(), other);
        QVERIFY(!doc.IsModified());
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));

        // Yes from the archive picker: saved, then the game's model opens.
        edited();
        form_->SetModelPicker(TModelPicker::Archives, [] { return std::optional<std::string>("data3d\\tower.p3d"); });
        const std::string saved = PathToUtf8(work_ / "open-saved.p3d");
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        form_->Action("MenuItem_File_Open_FromPb")->trigger();
        QCOMPARE(dialogs_->Calls, (QStringList{ModifiedQuestion(path), "save: Save As", "information: Ok Saved"}));
        QCOMPARE(doc.FileName(), std::string("data3d\\tower.p3d"));
        QCOMPARE(LoadModelFromFile(saved)->LODs[0]->Resolution, 0.25f);

        // Yes with the save dialog cancelled: the picker's model does not open.
        edited();
        dialogs_->Answers.push_back(TAnswer::Yes);
        form_->Action("MenuItem_File_Open_FromPb")->trigger();
        QCOMPARE(doc.FileName(), path);
        QVERIFY(doc.IsModified());

        // A drop asks as well.
        dialogs_->Calls.clear();
        dialogs_->Answers.push_back(TAnswer::Cancel);
        DropFiles(form_, {QUrl::fromLocalFile(QString::fromStdString(other))});
        QTRY_COMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(path)});
        QCOMPARE(doc.FileName(), path);
        dialogs_->Answers.push_back(TAnswer::No);
        DropFiles(form_, {QUrl::fromLocalFile(QString::fromStdString(other))});
        QTRY_COMPARE(doc.FileName(), other);
    }

    // After Save As the caption and the question name the new file.
    void saveAsRenamesTheDocument()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("0.5"));
        const std::string saved = PathToUtf8(work_ / "renamed.p3d");
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(work_ / "renamed")), 1});
        QVERIFY(form_->SaveModelAs());
        QVERIFY(form_->windowTitle().startsWith(QLatin1String("Meshcraft - renamed.p3d [")));
        QCOMPARE(form_->Document().FileName(), saved);
        QVERIFY(!form_->Document().IsModified());
        form_->Tree()->EndEditLODLabel(LODNode(*form_, 0), QStringLiteral("0.75"));
        dialogs_->Calls.clear();
        form_->Action("MenuItem_File_Close")->trigger();
        QCOMPARE(dialogs_->Calls, QStringList{ModifiedQuestion(saved)});
    }

    // A refused model: the box keeps its text, the reason is its details.
    void failedOpenShowsTheReason()
    {
        const std::string folder = PathToUtf8(work_);
        QVERIFY(form_->OpenModel(PathToUtf8(WriteCrate(work_)), TModelSource::File));
        QVERIFY(!form_->OpenModel(folder, TModelSource::File));
        QCOMPARE(dialogs_->Messages(), QStringList{QStringLiteral("Model \"%1\" not loaded").arg(QString::fromStdString(folder))});
        QVERIFY2(dialogs_->Details.value(0).contains(QLatin1String("is a folder")), qPrintable(dialogs_->Details.value(0)));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - crate.p3d [ODOL]"));

        // Not a model at all.
        const fs::path text = work_ / "notes.p3d";
        std::ofstream(text) << "just some text, not a model";
        QVERIFY(!form_->OpenModel(PathToUtf8(text), TModelSource::File));
        QVERIFY(!dialogs_->Details.value(1).isEmpty());

        // The command line's way: a folder on disk is not looked up as a game path.
        dialogs_->Calls.clear();
        dialogs_->Details.clear();
        QVERIFY(!form_->OpenModelByName(folder));
        QVERIFY2(dialogs_->Details.value(0).contains(QLatin1String("is a folder")), qPrintable(dialogs_->Details.value(0)));
    }

    // A .p3d dropped from a file manager opens; other files are refused.
    void droppedModelOpens()
    {
        const std::string path = WriteCrate(work_);
        const fs::path notModel = work_ / "readme.txt";
        std::ofstream(notModel) << "text";
        bool accepted = true;
        DropFiles(form_, {QUrl::fromLocalFile(QString::fromStdString(PathToUtf8(notModel)))}, &accepted);
        QVERIFY(!accepted);
        QTest::qWait(50);
        QVERIFY(!form_->Document().Model());

        DropFiles(form_, {QUrl::fromLocalFile(QString::fromStdString(PathToUtf8(notModel))),
                          QUrl::fromLocalFile(QString::fromStdString(path))},
                  &accepted);
        QVERIFY(accepted);
        QTRY_VERIFY(form_->Document().Model());
        QCOMPARE(form_->Document().FileName(), path);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - crate.p3d [ODOL]"));
        QCOMPARE(Child<QLabel>(*form_, "StatusBar_Main_Panel0")->text(), QStringLiteral("Model loaded"));
        QCOMPARE(dialogs_->Calls, QStringList());
    }

    void updatesPageShowsThePageOrAnError()
    {
        // A page served from this machine.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray body = "<html><body><h1>Meshcraft downloads</h1></body></html>";
        connect(&server, &QTcpServer::newConnection, &server, [&server, &body] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        qputenv("MESHCRAFT_SITE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(server.serverPort()));
        form_->Action("MenuItem_Help_CheckUpdates")->trigger();
        QCOMPARE(VisibleTabs(Child<QTabWidget>(*form_, "PageControl_Main")), QList<int>{PageBrowser});
        QCOMPARE(Child<QTabWidget>(*form_, "PageControl_Main")->tabText(PageBrowser), QStringLiteral("Updates"));
        QTRY_VERIFY_WITH_TIMEOUT(Child<QTextBrowser>(*form_, "WebBrowser1")->toPlainText().contains(QLatin1String("Meshcraft downloads")), 10000);
        QVERIFY(!QApplication::overrideCursor());
        SaveScreenshot(form_, QStringLiteral("main-updates"));

        // A reply that never ends is cut off, not kept in memory.
        body = QByteArray(3 * 1024 * 1024, 'x');
        form_->CheckUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(Child<QTextBrowser>(*form_, "WebBrowser1")->toPlainText().contains(QLatin1String("larger than")), 10000);
        QVERIFY(!QApplication::overrideCursor());

        // Nothing listens there any more: an error text in the tab.
        const quint16 port = server.serverPort();
        server.close();
        qputenv("MESHCRAFT_SITE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(port));
        form_->CheckUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(Child<QTextBrowser>(*form_, "WebBrowser1")->toPlainText().contains(QLatin1String("cannot be shown")), 10000);
        qunsetenv("MESHCRAFT_SITE_URL");
    }
};

MC_WINDOW_TEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
