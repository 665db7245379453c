// The model catalog: the map-icon tree of the demo game, of generated
// archives and of the shared real models, the same tree whatever the number
// of loading threads, the shipped template tree and its editing (rename,
// delete, drag and drop, save and reload), the spinning picture with Look
// Close, and picking a model from the main window.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QScreen>
#include <fstream>

#include "../support/ArchiveBuilder.h"
#include "Core/Strings.h"
#include "CatalogClasses.h"
#include "CatalogTree.h"
#include "Camera/Camera.h"
#include "Config/Resources.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "DemoModel.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "MList.h"
#include "Main_F.h"
#include "MapIconScan.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ModelTables.h"
#include "PreviewSurface.h"
#include "ProgramWindows.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

// Records what the library reports, to read the status and the log.
class TRecordingServices : public IAppServices {
public:
    TRecordingServices() : previous_(GetAppServices()) { SetAppServices(this); }
    ~TRecordingServices() override { SetAppServices(previous_); }
    void AddLog(std::string_view line) override { Log.append(QString::fromStdString(std::string(line))); }
    void ShowStatus(std::string_view text) override { Status.append(QString::fromStdString(std::string(text))); }
    void ShowMessage(TMessageKind, std::string_view text) override { Log.append(QString::fromStdString(std::string(text))); }
    void BeginWait() override { ++Waits; }
    void EndWait() override {}
    QStringList Log, Status;
    int Waits = 0;

private:
    IAppServices* previous_;
};

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The demo crate as ODOL bytes, with the given map icon. The writer stores
// icons beyond the table as "hide", so the byte is set in the file: it
// follows the selected icon colour by 109 bytes.
std::vector<uint8_t> CrateBytes(int mapIcon)
{
    auto model = demo::MakeCrateModel();
    model->MapIconSelectedColor = 0x9ABCDEF0;
    const fs::path file = TempDir("catalog-crate") / "crate.p3d";
    std::string error;
    if (!SaveModelOdolFile(*model, PathToUtf8(file), &error)) qFatal("crate not written: %s", error.c_str());
    std::vector<uint8_t> bytes = ReadBytes(file);
    const uint8_t colour[] = {0xF0, 0xDE, 0xBC, 0x9A};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(colour), std::end(colour));
    if (at == bytes.end()) qFatal("no icon colour in the crate");
    *(at + 109) = uint8_t(mapIcon);
    const auto check = LoadModelFromMemory(bytes.data(), bytes.size(), "crate.p3d");
    if (!check || check->MapIcon != mapIcon) qFatal("map icon not where expected");
    return bytes;
}

std::unique_ptr<TGameData> OpenGame(const fs::path& folder)
{
    auto game = std::make_unique<TGameData>();
    game->GameFolder = PathToUtf8(folder);
    game->PbList.OpenGameArchives(game->GameFolder);
    return game;
}

QStringList Captions(const QTreeWidgetItem* parent)
{
    QStringList list;
    for (int i = 0; i < parent->childCount(); ++i) list << parent->child(i)->text(0);
    return list;
}

QStringList TopCaptions(const QTreeWidget* tree)
{
    QStringList list;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) list << tree->topLevelItem(i)->text(0);
    return list;
}

QTreeWidgetItem* FindNode(const QTreeWidget* tree, const QString& caption)
{
    const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) qFatal("no node %s", qPrintable(caption));
    return found.first();
}

std::string DocumentText(TResources& document)
{
    std::string text;
    document.AppendText(text);
    return text;
}

QString Quote(const char* text) { return QString::fromLatin1(text); }

void Settle(TMListForm& form)
{
    for (int i = 0; i < 8; ++i) {
        form.Tick();
        QTest::qWait(20);
    }
    form.Surface()->repaint();
    QApplication::processEvents();
}

fs::path ShippedTemplates() { return fs::path(MESHCRAFT_COMMON_FILES) / "Templates" / "ModelGroups.cpp"; }

}  // namespace

class CatalogFormTest : public QObject {
    Q_OBJECT

    TScriptedDialogs* dialogs_ = nullptr;

private slots:
    void init() { dialogs_ = new TScriptedDialogs; }
    void cleanup()
    {
        delete dialogs_;
        dialogs_ = nullptr;
    }

    void DemoModelsGoUnderTheirMapIcons()
    {
        if (!fs::exists(DemoGameDir() / "Dta")) QSKIP("demo game not built");
        auto game = OpenGame(DemoGameDir());
        TMListForm form(*game);
        TRecordingServices services;
        form.RefreshMapIcons();
        QCOMPARE(services.Status.last(), QStringLiteral("5 of 5 models"));
        QVERIFY(services.Waits > 0);
        // Groups in the table's order, only those with models.
        // Expected: each model under its own icon, archives in key order
        // ("\demo" before "data3d"), entries by name.
        std::map<int, QStringList> expected;
        for (const char* path : {"\\demo\\arm.p3d", "\\demo\\barrel.p3d", "data3d\\crate.p3d", "data3d\\flag.p3d",
                                 "data3d\\tower.p3d"}) {
            auto model = LoadModelFromArchives(*game, path);
            QVERIFY2(model, path);
            expected[model->MapIcon] << QString::fromLatin1(path);
        }
        QStringList groups;
        for (const auto& [icon, paths] : expected) groups << QString::fromStdString(MapIconName(icon));
        const QTreeWidget* tree = form.MapIconTree();
        QCOMPARE(TopCaptions(tree), groups);
        int g = 0;
        for (const auto& [icon, paths] : expected) {
            QCOMPARE(Captions(tree->topLevelItem(g)), paths);
            QCOMPARE(TMListForm::ImageOf(tree->topLevelItem(g)), int(TMListForm::kImageGroup));
            ++g;
        }
        // The document behind the tree: root group = 1, groups with name, items with file.
        TResources& doc = form.BuiltInDocument();
        QCOMPARE(doc.RootClass->FindField("group")->ValueText(), std::string("1"));
        TRClass* crateGroup = static_cast<TRClass*>(doc.RootClass->FindMember(CatalogClassName(MapIconName(3))));
        QVERIFY(crateGroup && IsCatalogGroup(*crateGroup));
        QVERIFY(crateGroup->FindMember("data3d_crate_p3d"));

        // Export writes config text that loads back into the same tree.
        const fs::path out = TempDir("catalog-export") / "icons";
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(out))});
        QVERIFY(form.ExportMapIcons());
        TResources again;
        QVERIFY(again.LoadFromFile(PathToUtf8(out) + ".cpp"));
        QCOMPARE(DocumentText(again), DocumentText(doc));
    }

    // Map icons beyond the table go into "Other", models that do not load
    // and files of other kinds are left out, and an empty group never shows.
    void GeneratedArchivesGroupOtherAndSkipBadModels()
    {
        const fs::path game = TempDir("catalog-generated");
        const auto crate3 = CrateBytes(3), crate40 = CrateBytes(40), crate0 = CrateBytes(0), crate27 = CrateBytes(27);
        WriteBytes(game / "Dta" / "models.pbo",
                   BuildArchive({{"b.p3d", crate3}, {"a.P3D", crate40}, {"c.p3d", crate0}, {"broken.p3d", Bytes("ODOL?")},
                                 {"readme.txt", Bytes("not a model")}, Packed("packed.p3d", crate3), {"d.p3d", crate27}}));
        auto data = OpenGame(game);
        TMListForm form(*data);
        TRecordingServices services;
        form.RefreshMapIcons();
        QCOMPARE(services.Status.last(), QStringLiteral("6 of 6 models"));
        const QTreeWidget* tree = form.MapIconTree();
        // An unnamed entry of the table gets its number; icons beyond the table go last.
        QCOMPARE(TopCaptions(tree), QStringList({QString::fromStdString(MapIconName(0)),
                                                 QString::fromStdString(MapIconName(3)), QStringLiteral("icon 27"),
                                                 QStringLiteral("Other")}));
        QCOMPARE(Captions(tree->topLevelItem(1)), QStringList({Quote("models\\b.p3d"), Quote("models\\packed.p3d")}));
        QCOMPARE(Captions(tree->topLevelItem(3)), QStringList({Quote("models\\a.P3D")}));
        QVERIFY(services.Log.join(u'\n').contains(QStringLiteral("models\\broken.p3d")));
        // Selecting an item shows its model and marks it loaded.
        QTreeWidgetItem* other = tree->topLevelItem(3)->child(0);
        form.SelectNode(other);
        QVERIFY(form.ShownModel());
        QCOMPARE(TMListForm::ImageOf(other), int(TMListForm::kImageLoaded));
        QCOMPARE(form.findChild<QLabel*>("Label_ModelName")->text(), Quote("models\\a.P3D"));

        // Refresh again over an archive set without models: no group at all.
        const fs::path empty = TempDir("catalog-empty");
        WriteBytes(empty / "Dta" / "data.pbo", BuildArchive({{"x.txt", Bytes("text")}}));
        auto none = OpenGame(empty);
        TMListForm emptyForm(*none);
        emptyForm.RefreshMapIcons();
        QCOMPARE(emptyForm.MapIconTree()->topLevelItemCount(), 0);
    }

    void ThreadsBuildTheSameTreeOverTheRealModels()
    {
        const fs::path dir = RealDataDir() / "p3d";
        if (RealDataDir().empty() || !fs::exists(dir)) QSKIP("real data absent");
        const fs::path game = TempDir("catalog-real");
        std::vector<TEntrySpec> entries;
        std::map<int, QStringList> expected;
        int failed = 0;
        for (const auto& file : fs::directory_iterator(dir)) {
            if (file.path().extension() != ".p3d") continue;
            const std::string name = file.path().filename().string();
            entries.push_back({name, ReadBytes(file.path())});
            auto model = LoadModelFromFile(PathToUtf8(file.path()));
            if (model) expected[std::min<int>(model->MapIcon, kMapIconCount)] << QString::fromStdString("real\\" + name);
            else ++failed;
        }
        std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return LowerCase(a.Name) < LowerCase(b.Name); });
        WriteBytes(game / "Dta" / "real.pbo", BuildArchive(entries));
        auto data = OpenGame(game);

        TResources one, many;
        TMapIconScan single(*data);
        single.SetThreads(1);
        single.Run();
        single.BuildDocument(one);
        TMapIconScan parallel(*data);
        parallel.SetThreads(4);
        parallel.Run();
        parallel.BuildDocument(many);
        QCOMPARE(DocumentText(many), DocumentText(one));
        QVERIFY(failed > 0);  // the refused models of the later game are skipped

        // Each real model sits under the group of its own map icon.
        QCOMPARE(one.RootClass->MemberCount() - 1, int(expected.size()));
        for (const auto& [icon, paths] : expected) {
            const std::string group = icon < kMapIconCount ? MapIconName(icon) : std::string(kOtherMapIconGroup);
            auto* groupClass = static_cast<TRClass*>(one.RootClass->FindMember(CatalogClassName(group)));
            QVERIFY2(groupClass, group.c_str());
            QStringList files;
            for (int i = 0; i < groupClass->MemberCount(); ++i)
                if (groupClass->MemberAt(i)->IsClass())
                    files << QString::fromStdString(CatalogFile(*static_cast<TRClass*>(groupClass->MemberAt(i))));
            QStringList sorted = paths;
            std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
                return a.toLower() < b.toLower();
            });
            QCOMPARE(files, sorted);
        }
    }

    void ShippedTemplatesLoadAndEditsFollowTheRules()
    {
        if (!fs::exists(DemoGameDir() / "Dta")) QSKIP("demo game not built");
        auto game = OpenGame(DemoGameDir());
        const fs::path work = TempDir("catalog-templates");
        const fs::path file = work / "ModelGroups.cpp";
        fs::copy_file(ShippedTemplates(), file);
        {
            // An empty group for the delete rule.
            std::ofstream extra(file, std::ios::app);
            extra << "class Empty { group = 1; name = \"Empty\"; };\n";
        }
        TMListForm form(*game);
        form.SetTemplateFile(PathToUtf8(file));
        form.RefreshTemplates();
        TCatalogTree* tree = form.TemplateTree();
        QCOMPARE(TopCaptions(tree), QStringList({"Structures", "Props", "Animated", "Empty"}));
        QCOMPARE(Captions(FindNode(tree, "Props")), QStringList({"Wooden crate", "Containers"}));
        QCOMPARE(Captions(FindNode(tree, "Structures")), QStringList({"Watch tower", Quote("data3d\\flag.p3d")}));
        QVERIFY(!form.TemplatesModified());

        // Every shipped item names a model of the demo game.
        for (QTreeWidgetItem* node : tree->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive)) {
            if (node->childCount() || IsCatalogGroup(*TCatalogTree::ClassOf(node))) continue;
            form.SelectNode(node);
            QVERIFY2(form.ShownModel(), qPrintable(node->text(0)));
        }

        // An empty caption is refused and changes nothing.
        QTreeWidgetItem* crate = FindNode(tree, "Wooden crate");
        crate->setText(0, QString());
        QCOMPARE(crate->text(0), QStringLiteral("Wooden crate"));
        QVERIFY(!form.TemplatesModified());
        // A caption sets the "name" field, made first when missing.
        QTreeWidgetItem* flag = FindNode(tree, Quote("data3d\\flag.p3d"));
        flag->setText(0, QStringLiteral("Flag pole"));
        QVERIFY(form.TemplatesModified());
        TRClass* flagClass = TCatalogTree::ClassOf(flag);
        QCOMPARE(flagClass->MemberAt(0)->Name, std::string("name"));
        QCOMPARE(CatalogCaption(*flagClass), std::string("Flag pole"));
        QCOMPARE(CatalogFile(*flagClass), std::string("data3d\\flag.p3d"));

        // Deleting an empty group asks nothing; a full one asks, No keeps it.
        dialogs_->Calls.clear();
        form.DeleteNode(FindNode(tree, "Empty"));
        QVERIFY(dialogs_->Calls.isEmpty());
        QCOMPARE(TopCaptions(tree), QStringList({"Structures", "Props", "Animated"}));
        dialogs_->Answers.push_back(TAnswer::No);
        form.DeleteNode(FindNode(tree, "Animated"));
        QCOMPARE(dialogs_->Calls, QStringList({"question: Group \"Animated\" is not empty. Are sure to delete this group?"}));
        QCOMPARE(TopCaptions(tree).size(), 3);

        // An item dropped onto an item of another group goes into that group, before it.
        QTreeWidgetItem* tower = FindNode(tree, "Watch tower");
        FindNode(tree, "Props")->setExpanded(true);
        QVERIFY(form.CanDropNode(tower, crate));
        form.DropNode(tower, crate);
        QCOMPARE(Captions(FindNode(tree, "Props")), QStringList({"Watch tower", "Wooden crate", "Containers"}));
        QCOMPARE(Captions(FindNode(tree, "Structures")), QStringList({"Flag pole"}));
        QCOMPARE(tree->currentItem(), tower);
        QCOMPARE(TMListForm::ImageOf(tower), int(TMListForm::kImageLoaded));  // keeps its picture
        auto* props = TCatalogTree::ClassOf(FindNode(tree, "Props"));
        QCOMPARE(props->IndexOfMember(TCatalogTree::ClassOf(tower)) + 1,
                 props->IndexOfMember(TCatalogTree::ClassOf(crate)));
        // Onto an expanded group: its first child. Onto a collapsed one: before it.
        QTreeWidgetItem* containers = FindNode(tree, "Containers");
        containers->setExpanded(true);
        form.DropNode(flag, containers);
        QCOMPARE(Captions(containers), QStringList({"Flag pole", "Barrel (add-on)"}));
        containers->setExpanded(false);
        QTreeWidgetItem* arm = FindNode(tree, "Two-bone arm");
        form.DropNode(arm, containers);
        QCOMPARE(Captions(FindNode(tree, "Props")), QStringList({"Watch tower", "Wooden crate", "Two-bone arm", "Containers"}));
        // Never onto itself, never into its own members.
        containers->setExpanded(true);
        QVERIFY(!form.CanDropNode(containers, containers));
        QVERIFY(!form.CanDropNode(FindNode(tree, "Props"), containers));
        QVERIFY(!form.CanDropNode(FindNode(tree, "Props"), flag));
        QVERIFY(form.CanDropNode(containers, FindNode(tree, "Structures")));

        // Save As writes a config text that loads again into the same tree.
        const fs::path saved = work / "Saved";
        dialogs_->SaveFiles.push_back(TSaveChoice{QString::fromStdString(PathToUtf8(saved))});
        QVERIFY(form.SaveTemplatesAs());
        QVERIFY(!form.TemplatesModified());
        const std::string before = DocumentText(form.TemplatesDocument());
        form.SetTemplateFile(PathToUtf8(saved) + ".cpp");
        form.RefreshTemplates();
        QCOMPARE(DocumentText(form.TemplatesDocument()), before);
        QCOMPARE(Captions(FindNode(form.TemplateTree(), "Props")),
                 QStringList({"Watch tower", "Wooden crate", "Two-bone arm", "Containers"}));
    }

    void RefreshAsksAboutModifiedTemplates()
    {
        const fs::path work = TempDir("catalog-refresh");
        const fs::path file = work / "ModelGroups.cpp";
        WriteBytes(file, Bytes("class A { group = 1; name = \"A\"; class x { file = \"data3d\\x.p3d\"; }; };\n"
                               "class B { group = 1; name = \"B\"; };\n"));
        TGameData none;
        TMListForm form(none);
        form.SetTemplateFile(PathToUtf8(file));
        form.RefreshTemplates();
        TCatalogTree* tree = form.TemplateTree();
        form.DeleteNode(FindNode(tree, "B"));
        QVERIFY(form.TemplatesModified());
        // Cancel keeps the edited tree; No reloads the file.
        dialogs_->Answers.push_back(TAnswer::Cancel);
        form.RefreshTemplates();
        QCOMPARE(TopCaptions(tree), QStringList({"A"}));
        QCOMPARE(dialogs_->Calls.last(), Quote("question: Model Groups tree were modified. Do you want so save changes?"));
        dialogs_->Answers.push_back(TAnswer::No);
        form.RefreshTemplates();
        QCOMPARE(TopCaptions(tree), QStringList({"A", "B"}));
        QVERIFY(!form.TemplatesModified());
        // Yes with the save dialog cancelled still reloads.
        form.DeleteNode(FindNode(tree, "B"));
        dialogs_->Answers.push_back(TAnswer::Yes);
        dialogs_->SaveFiles.push_back(std::nullopt);
        form.RefreshTemplates();
        QCOMPARE(TopCaptions(tree), QStringList({"A", "B"}));
        // The main window's close query: Cancel refuses, No agrees.
        form.DeleteNode(FindNode(tree, "B"));
        dialogs_->Answers.push_back(TAnswer::Cancel);
        QVERIFY(!form.QueryClose());
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(form.QueryClose());

        // A model path in no archive: the failed picture and "(not loaded) ".
        QTreeWidgetItem* x = FindNode(tree, Quote("data3d\\x.p3d"));
        TRecordingServices services;
        form.SelectNode(x);
        QVERIFY(!form.ShownModel());
        QCOMPARE(TMListForm::ImageOf(x), int(TMListForm::kImageFailed));
        QCOMPARE(form.findChild<QLabel*>("Label_ModelName")->text(), Quote("(not loaded) data3d\\x.p3d"));
        QVERIFY(services.Log.contains(Quote("Model file \"data3d\\x.p3d\" not found.")));

        // A file that does not parse leaves the tree empty.
        WriteBytes(file, Bytes("class A {{ group = 1; };\n"));
        dialogs_->Answers.push_back(TAnswer::No);  // B is still deleted
        form.RefreshTemplates();
        QCOMPARE(tree->topLevelItemCount(), 0);
    }

    void SpinningPictureAndLookClose()
    {
        if (!fs::exists(DemoGameDir() / "Dta")) QSKIP("demo game not built");
        auto game = OpenGame(DemoGameDir());
        TMListForm form(*game);
        form.SetTemplateFile(PathToUtf8(ShippedTemplates()));
        auto* lookClose = form.findChild<QCheckBox*>("CheckBox_LookClose");
        QVERIFY(!lookClose->isChecked());
        QVERIFY(form.findChild<QCheckBox*>("CheckBox_Light")->isChecked());
        QVERIFY(form.findChild<QCheckBox*>("CheckBox_Rotate")->isChecked());
        QVERIFY(!form.findChild<QCheckBox*>("CheckBox_CullNone")->isChecked());
        QCOMPARE(form.Surface()->size(), QSize(240, 240));
        QCOMPARE(form.Camera().Position().y, 1.0f);
        QCOMPARE(form.Camera().Position().z, -5.0f);
        QCOMPARE(form.FitAngle(), form.Camera().FieldOfView());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(form.MapIconTree()->topLevelItemCount() > 0);  // built when first shown
        QTRY_VERIFY(form.TemplateTree()->topLevelItemCount() > 0);
        QVERIFY2(form.Surface()->CanDraw(), form.Surface()->InitError().c_str());

        form.MapIconTree()->setCurrentItem(FindNode(form.MapIconTree(), Quote("data3d\\crate.p3d")));
        QVERIFY(form.ShownModel());
        Settle(form);
        SaveScreenshot(&form, QStringLiteral("catalog-map-icons"));
        // Hidden and shown again, the picture comes back with the next model.
        form.hide();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.MapIconTree()->setCurrentItem(FindNode(form.MapIconTree(), Quote("data3d\\tower.p3d")));
        Settle(form);
        const QImage first = form.Surface()->grabFramebuffer();
        QCOMPARE(first.pixelColor(2, 2), QColor(240, 128, 128));
        QVERIFY(first.pixelColor(first.width() / 2, first.height() / 2) != QColor(240, 128, 128));
        // It spins: a moment later the picture differs.
        QTest::qWait(300);
        Settle(form);
        QVERIFY(form.Surface()->grabFramebuffer() != first);

        // Look Close glides in one step a frame up to twice the field of view,
        // and back in as many frames to the same framing.
        const Vector3 start = form.Camera().Position();
        const float fov = form.Camera().FieldOfView();
        lookClose->setChecked(true);
        int in = 0;
        for (float last = -1; form.FitAngle() != last; ++in) {
            last = form.FitAngle();
            form.Tick();
        }
        --in;
        QVERIFY(in > 300);
        QVERIFY(form.FitAngle() >= 2 * fov);
        QVERIFY(form.Camera().DistanceTo(start) > 0.1f);
        Settle(form);
        form.Surface()->grab().save(QStringLiteral(MESHCRAFT_SCREENSHOT_DIR "/catalog-look-close.png"));
        lookClose->setChecked(false);
        for (int i = 0; i < in; ++i) form.Tick();
        QCOMPARE(form.FitAngle(), fov);
        QVERIFY(form.Camera().DistanceTo(start) < 1e-4f);
        form.Tick();
        QVERIFY(form.Camera().DistanceTo(start) < 1e-4f);

        // The template page with a shipped item shown.
        auto* pages = form.findChild<QTabWidget*>("PageControl_Main");
        pages->setCurrentIndex(1);
        form.TemplateTree()->setCurrentItem(FindNode(form.TemplateTree(), "Barrel (add-on)"));
        QVERIFY(form.ShownModel());
        Settle(form);
        SaveScreenshot(&form, QStringLiteral("catalog-templates"));

        // Closing while a caption is edited ends the edit instead.
        QTreeWidgetItem* crate = FindNode(form.TemplateTree(), "Wooden crate");
        form.TemplateTree()->setCurrentItem(crate);
        form.TemplateTree()->editItem(crate);
        QTRY_VERIFY(form.TemplateTree()->IsEditing());
        auto* editor = form.TemplateTree()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Crate"));
        form.close();
        QVERIFY(form.isVisible());
        QVERIFY(!form.TemplateTree()->IsEditing());
        QCOMPARE(crate->text(0), QStringLiteral("Crate"));
        QVERIFY(form.TemplatesModified());
        form.close();
        QVERIFY(!form.isVisible());
    }

    void MainWindowOpensTheModelPickedInTheCatalog()
    {
        if (!fs::exists(DemoGameDir() / "Dta")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", QByteArray::fromStdString(PathToUtf8(DemoGameDir())));
        auto program = std::make_unique<TProgram>();
        TMainForm& main = program->MainWindow();
        StartQuietly(main, *dialogs_);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto* catalog = main.findChild<TMListForm*>();
        QVERIFY(catalog);
        catalog->SetTemplateFile(PathToUtf8(ShippedTemplates()));
        QAction* view = main.Action("MenuItem_View_Catalog");
        QCOMPARE(view->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G));
        QVERIFY(view->isEnabled());
        view->trigger();
        QVERIFY(catalog->isVisible());
        QTRY_VERIFY(catalog->MapIconTree()->topLevelItemCount() > 0);
        catalog->hide();

        // File > Open from > Catalog...: a double-clicked item closes it with OK.
        bool picked = false;
        QColor cornerShown, centreShown;
        QTimer::singleShot(200, catalog, [&] {
            QTreeWidget* tree = catalog->MapIconTree();
            QTreeWidgetItem* crate = FindNode(tree, Quote("data3d\\crate.p3d"));
            tree->scrollToItem(crate);
            const QRect rect = tree->visualItemRect(crate);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
            // What the screen shows: the chosen model on the picture's background.
            QImage screen;
            const QPoint surface = catalog->Surface()->mapTo(catalog, QPoint(0, 0));
            for (int i = 0; i < 50; ++i) {
                catalog->Tick();
                QTest::qWait(30);
                screen = QGuiApplication::primaryScreen()->grabWindow(catalog->winId()).toImage();
                cornerShown = screen.pixelColor(surface + QPoint(2, 2));
                centreShown = screen.pixelColor(surface + QPoint(120, 120));
                if (cornerShown == QColor(240, 128, 128) && centreShown != cornerShown) break;
            }
            screen.save(QStringLiteral(MESHCRAFT_SCREENSHOT_DIR "/catalog-choose.png"));
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
            picked = true;
        });
        QAction* open = main.Action("MenuItem_File_Open_FromCatalog");
        QVERIFY(open->isEnabled());
        open->trigger();
        QVERIFY(picked);
        QCOMPARE(cornerShown, QColor(240, 128, 128));
        QVERIFY(centreShown != QColor(240, 128, 128));
        QVERIFY(!catalog->isVisible());
        QVERIFY(program->Document().Model());
        QCOMPARE(program->Document().Model()->FileName, std::string("data3d\\crate.p3d"));

        // Cancel while a caption is edited cancels the edit and keeps the
        // window; the next Cancel closes it and nothing opens.
        bool stillOpen = false;
        QString caption;
        QTimer::singleShot(200, catalog, [&] {
            TCatalogTree* tree = catalog->TemplateTree();
            QTreeWidgetItem* crate = FindNode(tree, "Wooden crate");
            tree->setCurrentItem(crate);
            tree->editItem(crate);
            if (auto* editor = tree->findChild<QLineEdit*>()) editor->setText(QStringLiteral("Typed"));
            catalog->reject();
            stillOpen = catalog->isVisible() && !tree->IsEditing();
            caption = crate->text(0);
            catalog->reject();
        });
        open->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(caption, QStringLiteral("Wooden crate"));
        QVERIFY(!catalog->TemplatesModified());
        QCOMPARE(program->Document().Model()->FileName, std::string("data3d\\crate.p3d"));
        program.reset();
    }
};

MC_WINDOW_TEST_MAIN(CatalogFormTest)
#include "CatalogFormTest.moc"
