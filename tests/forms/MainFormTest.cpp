// The main window with models open: caption, tree, grids, pages, saving and
// closing, and property editing seen in the saved file.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
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
#include "MainGridModels.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "ProgramWindows.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

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

QTreeWidgetItem* LODNode(TMainForm& form, int index) { return form.TreeView_Main->topLevelItem(0)->child(index); }

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> form_;
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
        form_ = CreateProgramWindows();
        form_->Started = true;  // the start-up work has its own test
        form_->resize(760, 600);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup()
    {
        form_.reset();
        delete dialogs_;
        dialogs_ = nullptr;
    }

    void withoutModelTheTreeIsEmptyAndPagesHidden()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft"));
        QCOMPARE(form_->TreeView_Main->topLevelItemCount(), 0);
        QVERIFY(VisibleTabs(form_->PageControl_Main).isEmpty());
        QVERIFY(VisibleTabs(form_->PageControl_General).isEmpty());
        QVERIFY(!form_->MenuItem_File_SaveAs->isEnabled());
        QVERIFY(!form_->MenuItem_File_Close->isEnabled());
        QVERIFY(!form_->MenuItem_File_MakeAddOn->isEnabled());
        QVERIFY(!form_->MenuItem_File_Open_FromPb->isEnabled());
        QCOMPARE(form_->MenuItem_File_Open_FromPb->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QCOMPARE(form_->MenuItem_View_AddOnOptions->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(form_->MenuItem_View_PbManager->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
        // Converter marks start as stored: all but "Save Animation".
        QCOMPARE(form_->ConverterFlags(), SaveFlags::GroupedVertices | SaveFlags::SharpEdges |
                                              SaveFlags::CorrectShining | SaveFlags::CorrectShadow);
        form_->MenuItem_Options_Converter_SaveAnimation->trigger();
        QVERIFY(form_->ConverterFlags() & SaveFlags::Animation);
        // The general grid shrinks to one blank row.
        QCOMPARE(form_->StringGrid_General->model()->rowCount(), 1);
        QCOMPARE(GridText(form_->StringGrid_General, 0, 0), QString());
    }

    void opensSharedOdolModelAndFillsGrids()
    {
        const fs::path file = RealFile("p3d/tzk210_A10_xj200.p3d");
        if (file.empty()) QSKIP("real data absent");
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tzk210_A10_xj200.p3d [ODOL]"));
        QCOMPARE(form_->StatusBar_Main_Panel0->text(), QStringLiteral("Model loaded"));
        QVERIFY(form_->MenuItem_File_SaveAs->isEnabled());
        QVERIFY(form_->MenuItem_File_Close->isEnabled());
        QCOMPARE(form_->CurrentLODIndex, 0);

        const TModel& model = *form_->Model;
        QCOMPARE(form_->TreeView_Main->topLevelItemCount(), 2);
        QTreeWidgetItem* lods = form_->TreeView_Main->topLevelItem(0);
        QCOMPARE(lods->text(0), QStringLiteral("LODs"));
        QCOMPARE(TMainForm::NodeKind(lods), int(NodeLODs));
        QCOMPARE(lods->childCount(), model.LODCount());
        QCOMPARE(TMainForm::NodeKind(form_->TreeView_Main->topLevelItem(1)), int(NodeGeneral));
        QCOMPARE(form_->TreeView_Main->topLevelItem(1)->text(0), QStringLiteral("General Properties"));
        for (int i = 0; i < model.LODCount(); ++i) {
            QTreeWidgetItem* node = lods->child(i);
            QCOMPARE(TMainForm::NodeKind(node), int(NodeLOD));
            QCOMPARE(node->text(0), QString::fromStdString(model.LODs[size_t(i)]->Name()));
            QCOMPARE(ChildTexts(node), (QStringList{"Vertices", "Polygons", "Textures", "Proxy", "Components",
                                                    "Animation", "Properties"}));
            QCOMPARE(node->child(3)->childCount(), model.LODs[size_t(i)]->ProxyCount());
            QCOMPARE(node->child(4)->childCount(), model.LODs[size_t(i)]->SelectionCount());
            QCOMPARE(bool(node->flags() & Qt::ItemIsEditable), !model.LODs[size_t(i)]->IsSpecial());
        }
        QCOMPARE(TMainForm::NodeKind(lods->child(0)->child(0)), int(NodeVertices));
        QCOMPARE(TMainForm::NodeKind(lods->child(0)->child(6)), int(NodeProperties));

        const TLOD& lod = *model.LODs[0];
        QCOMPARE(form_->StringGrid_Vertices->model()->rowCount(), std::max(1, lod.VertexCount()));
        QCOMPARE(form_->StringGrid_Polygons->model()->rowCount(), std::max(1, lod.FaceCount()));
        QCOMPARE(form_->StringGrid_Textures->model()->rowCount(), std::max(1, lod.TextureCount()));
        QCOMPARE(GridText(form_->StringGrid_Vertices, 5, 0), QStringLiteral("5"));
        QCOMPARE(GridText(form_->StringGrid_Vertices, 5, 2),
                 QString::fromStdString(Format("%.3f", double(lod.Positions[5].y))));
        QCOMPARE(form_->StringGrid_Vertices->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("x"));
        QCOMPARE(form_->StringGrid_Polygons->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("flags"));
        bool sawTriangle = false;
        for (int f = 0; f < lod.FaceCount(); ++f) {
            const TFace& face = lod.Faces[size_t(f)];
            const QString flags = GridText(form_->StringGrid_Polygons, f, 5);
            QCOMPARE(flags.size(), 8);
            QCOMPARE(flags, flags.toUpper());
            QCOMPARE(flags.toUInt(nullptr, 16), face.Flags);
            QCOMPARE(GridText(form_->StringGrid_Polygons, f, 1), QString::number(face.Vertices[0]));
            if (face.Count == 3) {
                sawTriangle = true;
                QCOMPARE(GridText(form_->StringGrid_Polygons, f, 4), QString());
            }
            const QString texture = GridText(form_->StringGrid_Polygons, f, 6);
            if (face.Texture == kNoTexture)
                QCOMPARE(texture, QString());
            else
                QCOMPARE(texture, QString::fromLatin1(lod.Textures[face.Texture].Name.c_str()));
        }
        QVERIFY(sawTriangle);
        QCOMPARE(GridText(form_->StringGrid_Textures, 0, 2), QString());

        // The general grid: 16 rows.
        QCOMPARE(form_->StringGrid_General->model()->rowCount(), 16);
        QCOMPARE(GridText(form_->StringGrid_General, 0, 0), QStringLiteral("Mass"));
        QCOMPARE(GridText(form_->StringGrid_General, 0, 2), QString::fromStdString(Format("%.3f", double(model.Mass))));
        QCOMPARE(GridText(form_->StringGrid_General, 1, 2), QString::fromStdString(ColorText(model.MapIconColor)));
        const int geometry = model.SpecialLOD(SpecialGeometry);
        QCOMPARE(GridText(form_->StringGrid_General, 4 + SpecialGeometry, 2),
                 geometry >= 0 ? LODEntryText(model, geometry) : QString());
        QCOMPARE(GridText(form_->StringGrid_General, 15, 2), QString());  // slot 11 always empty
    }

    void treeClicksSelectLODAndShowOnePage()
    {
        const fs::path file = RealFile("p3d/tzk210_A10_xj200.p3d");
        if (file.empty()) QSKIP("real data absent");
        QVERIFY(form_->OpenModel(PathToUtf8(file), TModelSource::File));
        QVERIFY(VisibleTabs(form_->PageControl_Main).isEmpty());

        form_->ClickNode(LODNode(*form_, 2)->child(1));  // Polygons of LOD 2
        QCOMPARE(form_->CurrentLODIndex, 2);
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PagePolygons});
        QCOMPARE(form_->PageControl_Main->currentIndex(), int(PagePolygons));
        QCOMPARE(form_->StringGrid_Polygons->model()->rowCount(), std::max(1, form_->Model->LODs[2]->FaceCount()));

        form_->ClickNode(form_->TreeView_Main->topLevelItem(1));
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PageGeneral});
        form_->ClickNode(form_->TreeView_Main->topLevelItem(0));
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PageLODResolution});
        QCOMPARE(form_->CurrentLODIndex, 2);  // the LODs node names no LOD

        // Keys released in the tree act as clicks.
        form_->TreeView_Main->setCurrentItem(LODNode(*form_, 1)->child(0));
        QTest::keyClick(form_->TreeView_Main, Qt::Key_Shift);
        QCOMPARE(form_->CurrentLODIndex, 1);
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PageVertices});

        // A polygon row selects the face; another LOD clears it.
        form_->ClickNode(LODNode(*form_, 0)->child(1));
        form_->StringGrid_Polygons->selectRow(3);
        QCOMPARE(form_->CurrentFaceIndex, 3);
        form_->ClickNode(LODNode(*form_, 1)->child(1));
        QCOMPARE(form_->CurrentFaceIndex, -1);
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
        QCOMPARE(TMainForm::NodeKind(proxy), int(NodeProxy));
        QCOMPARE(ChildTexts(proxy), (QStringList{"Vertices", "Polygons"}));
        QCOMPARE(TMainForm::NodeKind(proxy->child(1)), int(NodeProxyPolygons));
        QTreeWidgetItem* component = memory->child(4)->child(1);
        QCOMPARE(component->text(0), QStringLiteral("proxy:flag.1"));
        QCOMPARE(TMainForm::NodeKind(component), int(NodeComponent));
        QCOMPARE(TMainForm::NodeKind(component->child(0)), int(NodeComponentVertices));

        form_->ClickNode(proxy);
        QCOMPARE(form_->CurrentLODIndex, 2);
        QCOMPARE(form_->CurrentProxyIndex, 0);
        form_->ClickNode(component);
        QVERIFY(form_->Model->LODs[2]->IsVertexSelected(2));
        QVERIFY(!form_->Model->LODs[2]->IsVertexSelected(0));
        // A component's "Vertices" node selects its LOD and shows nothing new.
        form_->ClickNode(LODNode(*form_, 0)->child(0));
        form_->ClickNode(component->child(0));
        QCOMPARE(form_->CurrentLODIndex, 2);
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PageVertices});

        // A screenshot of each page with LOD 0 of the crate.
        form_->ClickNode(LODNode(*form_, 0)->child(0));
        const struct {
            QTreeWidgetItem* Node;
            const char* Name;
        } pages[] = {{form_->TreeView_Main->topLevelItem(0), "main-lod-resolution"},
                     {LODNode(*form_, 0)->child(0), "main-vertices"},
                     {LODNode(*form_, 0)->child(1), "main-polygons"},
                     {LODNode(*form_, 0)->child(2), "main-textures"},
                     {LODNode(*form_, 0)->child(6), "main-named-properties"},
                     {form_->TreeView_Main->topLevelItem(1), "main-general"}};
        for (const auto& page : pages) {
            form_->TreeView_Main->setCurrentItem(page.Node);
            form_->ClickNode(page.Node);
            SaveScreenshot(form_.get(), QString::fromLatin1(page.Name));
        }
        // No row chosen yet: none of the editing pages below the grid.
        QVERIFY(VisibleTabs(form_->PageControl_General).isEmpty());
        form_->StringGrid_General->selectRow(2);  // Map Icon Selected Color
        QCOMPARE(form_->GeneralRow, 3);
        QCOMPARE(VisibleTabs(form_->PageControl_General), QList<int>{GeneralPageColor});
        SaveScreenshot(form_.get(), QStringLiteral("main-general-color"));
        form_->StringGrid_General->selectRow(0);  // Mass: nothing to edit below
        QCOMPARE(form_->GeneralRow, 1);
        QVERIFY(VisibleTabs(form_->PageControl_General).isEmpty());
        form_->StringGrid_General->selectRow(5);
        QCOMPARE(VisibleTabs(form_->PageControl_General), QList<int>{GeneralPageLOD});
        // Another model drops the row chosen in the old one.
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        QCOMPARE(form_->GeneralRow, -1);
        QVERIFY(VisibleTabs(form_->PageControl_General).isEmpty());
    }

    void savesOdolAndReopens()
    {
        const std::string path = WriteCrate(work_);
        QVERIFY(form_->OpenModel(path, TModelSource::File));
        const std::string saved = PathToUtf8(work_ / "saved-odol.p3d");
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(saved), 0});
        form_->MenuItem_File_SaveAs->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Ok Saved"});
        QCOMPARE(form_->Model->SaveFlags, form_->ConverterFlags());
        QVERIFY(form_->OpenModel(saved, TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - saved-odol.p3d [ODOL]"));
        QCOMPARE(form_->Model->LODCount(), 3);
        QCOMPARE(form_->Model->LODs[0]->VertexCount(), 24);
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
        form_->MenuItem_File_SaveAs->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Ok Saved"});
        QCOMPARE(FileText(target).substr(0, 4), std::string("MLOD"));
        QVERIFY(form_->OpenModel(PathToUtf8(target), TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - saved-mlod.p3d [MLOD]"));
        QCOMPARE(form_->Model->LODCount(), 3);
        QCOMPARE(form_->StringGrid_Vertices->model()->rowCount(), form_->Model->LODs[0]->VertexCount());

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
        const TModel& model = *form_->Model;
        QTreeWidgetItem* lods = form_->TreeView_Main->topLevelItem(0);
        QCOMPARE(lods->childCount(), model.LODCount());
        QCOMPARE(lods->childCount(), 3);
        for (int i = 0; i < model.LODCount(); ++i) {
            QCOMPARE(TMainForm::NodeKind(lods->child(i)), int(NodeLOD));
            QCOMPARE(lods->child(i)->text(0), QString::fromStdString(model.LODs[size_t(i)]->Name()));
            QCOMPARE(lods->child(i)->child(4)->childCount(), model.LODs[size_t(i)]->SelectionCount());
        }
        const TLOD& lod = *model.LODs[0];
        QCOMPARE(form_->StringGrid_Vertices->model()->rowCount(), std::max(1, lod.VertexCount()));
        QCOMPARE(form_->StringGrid_Polygons->model()->rowCount(), std::max(1, lod.FaceCount()));
        QCOMPARE(GridText(form_->StringGrid_Vertices, 0, 1), QString::fromStdString(Format("%.3f", double(lod.Positions[0].x))));
        QCOMPARE(GridText(form_->StringGrid_Polygons, 0, 5).size(), 8);

        // Saved as ODOL and opened again.
        const std::string saved = PathToUtf8(work_ / "tomahawk-odol.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        QVERIFY(form_->OpenModel(saved, TModelSource::File));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tomahawk-odol.p3d [ODOL]"));
        QCOMPARE(form_->Model->LODCount(), 3);
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
        form_->Model->LODs[0]->Normals.pop_back();
        dialogs_->Calls.clear();
        QVERIFY(!form_->SaveModelTo(PathToUtf8(target), 0));
        QCOMPARE(dialogs_->Messages(), QStringList{"Error!"});
        QCOMPARE(FileText(target), std::string("the user's file"));
    }

    void exportsEveryLODAsObj()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        QVERIFY(form_->MenuItem_File_Export->isEnabled());
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(work_ / "crate")), 0});
        form_->MenuItem_File_Export->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"Export process done"});
        for (int i = 0; i < 3; ++i) QVERIFY(fs::exists(work_ / ("crate." + std::to_string(i) + ".obj")));
        QVERIFY(FileText(work_ / "crate.0.obj").rfind("#Exported by Meshcraft v0.28", 0) == 0);
        form_->CloseModel();
        QVERIFY(!form_->MenuItem_File_Export->isEnabled());
    }

    void closeClearsEverything()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        form_->ClickNode(LODNode(*form_, 0)->child(0));
        form_->MenuItem_File_Close->trigger();
        QVERIFY(!form_->Model);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft"));
        QCOMPARE(form_->TreeView_Main->topLevelItemCount(), 0);
        QCOMPARE(form_->CurrentLODIndex, -1);
        QVERIFY(VisibleTabs(form_->PageControl_Main).isEmpty());
        QVERIFY(!form_->MenuItem_File_SaveAs->isEnabled());
        QCOMPARE(form_->StatusBar_Main_Panel0->text(), QString());
        QCOMPARE(form_->StringGrid_Vertices->model()->rowCount(), 1);
        QCOMPARE(GridText(form_->StringGrid_Vertices, 0, 0), QString());

        // A failed open keeps the current model.
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        QVERIFY(!form_->OpenModel(PathToUtf8(work_ / "nothing.p3d"), TModelSource::File));
        QVERIFY(form_->Model);
        QCOMPARE(dialogs_->Messages().back(),
                 QStringLiteral("Model \"%1\" not loaded").arg(QString::fromStdString(PathToUtf8(work_ / "nothing.p3d"))));
    }

    void namedPropertiesEditedAndSaved()
    {
        QVERIFY(form_->OpenModel(WriteCrate(work_), TModelSource::File));
        form_->ClickNode(LODNode(*form_, 0)->child(6));
        QTableView* grid = form_->StringGrid_Properties;
        QCOMPARE(grid->model()->rowCount(), 2);
        QVERIFY(!form_->Button_NamedProperty_Add->isEnabled());

        grid->selectRow(1);
        QCOMPARE(form_->Edit_NamedProperty_Name->text(), QStringLiteral("map"));
        QCOMPARE(form_->Edit_NamedProperty_Value->text(), QStringLiteral("building"));
        QVERIFY(form_->Button_NamedProperty_Add->isEnabled());

        form_->Edit_NamedProperty_Name->setText(QStringLiteral("  "));
        QVERIFY(!form_->Button_NamedProperty_Add->isEnabled());
        QVERIFY(!form_->Button_NamedProperty_Rename->isEnabled());
        form_->Edit_NamedProperty_Name->setText(QStringLiteral(" lodnoshadow "));
        form_->Edit_NamedProperty_Value->setText(QStringLiteral(" 1 "));
        QTest::mouseClick(form_->Button_NamedProperty_Add, Qt::LeftButton);
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(GridText(grid, 2, 1), QStringLiteral("lodnoshadow"));
        QCOMPARE(GridText(grid, 2, 2), QStringLiteral("1"));

        form_->Edit_NamedProperty_Name->setText(QStringLiteral("MAP"));
        form_->Edit_NamedProperty_Value->setText(QStringLiteral("tree"));
        QTest::mouseClick(form_->Button_NamedProperty_Change, Qt::LeftButton);
        QCOMPARE(GridText(grid, 1, 2), QStringLiteral("tree"));
        form_->Edit_NamedProperty_Name->setText(QStringLiteral("nothing"));
        QTest::mouseClick(form_->Button_NamedProperty_Change, Qt::LeftButton);  // no such property
        QCOMPARE(grid->model()->rowCount(), 3);

        grid->selectRow(0);  // "class"
        form_->Edit_NamedProperty_Name->setText(QStringLiteral("klass"));
        QTest::mouseClick(form_->Button_NamedProperty_Rename, Qt::LeftButton);
        QCOMPARE(GridText(grid, 0, 1), QStringLiteral("klass"));
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::mouseClick(form_->Button_NamedProperty_Delete, Qt::LeftButton);
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
        TModel& model = *form_->Model;
        model.MapIconColor = 0x80FF0000;  // alpha 128, red 255
        form_->FillGeneralGrid();
        form_->ClickNode(form_->TreeView_Main->topLevelItem(1));
        QCOMPARE(GridText(form_->StringGrid_General, 1, 2), QStringLiteral("ARGB(128, 255, 0, 0)"));
        form_->StringGrid_General->selectRow(1);
        QCOMPARE(form_->GeneralRow, 2);
        QCOMPARE(form_->RGBSwatch(), qRgb(255, 0, 0));
        QCOMPARE(form_->AlphaSwatch(), qRgb(128, 128, 128));

        // A new colour from the colour dialog and alpha 64 from the alpha
        // dialog, then "Change".
        dialogs_->Colors.push_back(QColor(10, 20, 30));
        QTest::mouseClick(form_->Button_General_Color_RGB, Qt::LeftButton);
        QCOMPARE(form_->RGBSwatch(), qRgb(10, 20, 30));
        QTimer::singleShot(0, [] {
            AlphaColorForm->Edit_Value->setText(QStringLiteral("64"));
            AlphaColorForm->CheckEditValue();
            SaveScreenshot(AlphaColorForm, QStringLiteral("alpha-channel"));
            AlphaColorForm->Button_OK->click();
        });
        QTest::mouseClick(form_->Button_General_Color_Alpha, Qt::LeftButton);
        QCOMPARE(form_->AlphaSwatch(), qRgb(64, 64, 64));
        QTest::mouseClick(form_->Button_General_Color_Change, Qt::LeftButton);
        QCOMPARE(model.MapIconColor, 0x400A141Eu);
        QCOMPARE(GridText(form_->StringGrid_General, 1, 2), QStringLiteral("ARGB(64, 10, 20, 30)"));

        // The selected colour row.
        form_->StringGrid_General->selectRow(2);
        form_->SetRGBSwatch(qRgb(0, 255, 0));
        QTest::mouseClick(form_->Button_General_Color_Change, Qt::LeftButton);
        QCOMPARE(model.MapIconSelectedColor, 0xFF00FF00u);

        // Map icon.
        form_->StringGrid_General->selectRow(3);
        QCOMPARE(VisibleTabs(form_->PageControl_General), QList<int>{GeneralPageMapIcon});
        QCOMPARE(form_->ComboBox_General_MapIcon->count(), 24);
        QCOMPARE(form_->ComboBox_General_MapIcon->currentText(), QStringLiteral("building"));
        SaveScreenshot(form_.get(), QStringLiteral("main-general-mapicon"));
        form_->ComboBox_General_MapIcon->setCurrentIndex(0);
        QTest::mouseClick(form_->Button_General_MapIcon_Change, Qt::LeftButton);
        QCOMPARE(int(model.MapIcon), 0);
        QCOMPARE(GridText(form_->StringGrid_General, 3, 2), QStringLiteral("tree"));

        // Special LODs: assign Fire Geometry (slot 2) to LOD 1, clear the
        // Geometry slot, and try the last slot, which the model does not keep.
        form_->StringGrid_General->selectRow(4 + SpecialFireGeometry);
        QCOMPARE(VisibleTabs(form_->PageControl_General), QList<int>{GeneralPageLOD});
        QCOMPARE(form_->ComboBox_General_LOD->count(), 4);
        QCOMPARE(form_->ComboBox_General_LOD->currentIndex(), 0);
        form_->ComboBox_General_LOD->setCurrentIndex(2);
        SaveScreenshot(form_.get(), QStringLiteral("main-general-lod"));
        QTest::mouseClick(form_->Button_General_LOD_Change, Qt::LeftButton);
        QCOMPARE(model.SpecialLOD(SpecialFireGeometry), 1);
        QCOMPARE(GridText(form_->StringGrid_General, 4 + SpecialFireGeometry, 2), QStringLiteral("Geometry (1)"));
        form_->StringGrid_General->selectRow(4 + SpecialGeometry);
        QCOMPARE(form_->ComboBox_General_LOD->currentText(), QStringLiteral("Geometry (1)"));
        form_->ComboBox_General_LOD->setCurrentIndex(0);
        QTest::mouseClick(form_->Button_General_LOD_Change, Qt::LeftButton);
        QCOMPARE(model.SpecialLOD(SpecialGeometry), -1);
        QCOMPARE(GridText(form_->StringGrid_General, 4 + SpecialGeometry, 2), QString());
        form_->StringGrid_General->selectRow(15);
        form_->ComboBox_General_LOD->setCurrentIndex(1);
        QTest::mouseClick(form_->Button_General_LOD_Change, Qt::LeftButton);
        QCOMPARE(GridText(form_->StringGrid_General, 15, 2), QString());

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
        form_->EndEditLODLabel(second, QStringLiteral("2.5"));
        QCOMPARE(second->text(0), QStringLiteral("2.5"));
        QCOMPARE(form_->Model->LODs[1]->Resolution, 2.5f);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));

        // A decimal comma under a point locale: the message, the old label.
        form_->EndEditLODLabel(second, QStringLiteral("3,5"));
        QCOMPARE(dialogs_->Messages(), QStringList{"Floating-point value expected instead of \"3,5\" !"});
        QCOMPARE(second->text(0), QStringLiteral("2.5"));
        QCOMPARE(form_->Model->LODs[1]->Resolution, 2.5f);

        // Through the tree's own editor.
        QTreeWidgetItem* first = LODNode(*form_, 0);
        form_->TreeView_Main->setCurrentItem(first);
        form_->TreeView_Main->editItem(first);
        auto* editor = form_->TreeView_Main->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("0.75"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(form_->Model->LODs[0]->Resolution, 0.75f);
        QCOMPARE(first->text(0), QStringLiteral("0.75"));

        const std::string saved = PathToUtf8(work_ / "relabelled.p3d");
        QVERIFY(form_->SaveModelTo(saved, 0));
        auto reread = LoadModelFromFile(saved);
        QCOMPARE(reread->LODs[0]->Resolution, 0.75f);
        QCOMPARE(reread->LODs[1]->Resolution, 2.5f);
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
        form_->MenuItem_Help_CheckUpdates->trigger();
        QCOMPARE(VisibleTabs(form_->PageControl_Main), QList<int>{PageBrowser});
        QCOMPARE(form_->PageControl_Main->tabText(PageBrowser), QStringLiteral("Updates"));
        QTRY_VERIFY_WITH_TIMEOUT(form_->WebBrowser1->toPlainText().contains(QLatin1String("Meshcraft downloads")), 10000);
        QVERIFY(!QApplication::overrideCursor());
        SaveScreenshot(form_.get(), QStringLiteral("main-updates"));

        // A reply that never ends is cut off, not kept in memory.
        body = QByteArray(3 * 1024 * 1024, 'x');
        form_->CheckUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(form_->WebBrowser1->toPlainText().contains(QLatin1String("larger than")), 10000);
        QVERIFY(!QApplication::overrideCursor());

        // Nothing listens there any more: an error text in the tab.
        const quint16 port = server.serverPort();
        server.close();
        qputenv("MESHCRAFT_SITE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(port));
        form_->CheckUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(form_->WebBrowser1->toPlainText().contains(QLatin1String("cannot be shown")), 10000);
        qunsetenv("MESHCRAFT_SITE_URL");
    }
};

MC_WINDOW_TEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
