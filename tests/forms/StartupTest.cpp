// The program's start-up on the demo game: the order of its boxes and
// pickers, the MOD folder rule, the data it loads (config.bin before
// config.cpp), and the same with the real modal boxes a user meets.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTimer>
#include <fstream>

#include "Archive/PbList.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "MainTree.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "ProgramWindows.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

// A copy of the demo game that a test may change.
fs::path CopyOfDemoGame(const std::string& name)
{
    const fs::path dir = TempDir(name);
    fs::copy(DemoGameDir(), dir, fs::copy_options::recursive);
    return dir;
}

QString Q(const fs::path& p) { return QString::fromStdString(PathToUtf8(p)); }

template <class T>
T* Child(const QWidget& form, const char* name)
{
    return form.findChild<T*>(QString::fromLatin1(name));
}

QString StatusText(const QWidget& form) { return Child<QLabel>(form, "StatusBar_Main_Panel0")->text(); }

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("MESHCRAFT_GAME_DIR"); }

    void startsOnDemoGameInOrder()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        const fs::path game = CopyOfDemoGame("order");
        // config.bin made from config.cpp; the text then made unreadable, so
        // only a config.bin read first gets through.
        {
            TResources config;
            QVERIFY(config.LoadFromFile(PathToUtf8(game / "Bin" / "config.cpp")));
            QVERIFY(config.SaveToFile(PathToUtf8(game / "Bin" / "config.bin"), kConfigBinary));
            std::ofstream(game / "Bin" / "config.cpp") << "class Broken {";
        }
        fs::create_directories(game / "MyMod" / "Bin");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());

        TScriptedDialogs dialogs;
        dialogs.Folders.push_back(Q(fs::temp_directory_path()));  // outside: asked again
        dialogs.Folders.push_back(Q(game));                       // the game folder itself: no MOD
        TProgram program;
        TMainForm* main = &program.MainWindow();
        QCOMPARE(main->GamePath(), PathToUtf8(game));
        QVERIFY(!main->Started());
        main->show();
        QTRY_VERIFY(main->Started());
        QTRY_COMPARE(StatusText(*main), QStringLiteral("Ready"));

        QCOMPARE(dialogs.Calls.size(), 4);
        QVERIFY(dialogs.Calls[0].startsWith(
            QLatin1String("warning: This is the confidential alpha-version (v0.28)! Please, replace it by beta-version.\nVisit ")));
        QCOMPARE(dialogs.Calls[1], QStringLiteral("folder: Select MOD folder or cancel for default folder:"));
        QCOMPARE(dialogs.FolderStarts[0], Q(game));
        QCOMPARE(dialogs.Calls[2], QStringLiteral("warning: MOD folder must be inside main \"%1\" folder").arg(Q(game)));
        QCOMPARE(dialogs.Calls[3], dialogs.Calls[1]);
        QCOMPARE(program.Game().ModFolder, std::string());

        // The log window took over the start-up lines.
        QVERIFY(LogForm);
        QCOMPARE(GuiServices().LogLines(), LogForm->Memo_Log);
        QCOMPARE(LogForm->Lines().value(0), QStringLiteral("Flashpoint detected at \"%1\"").arg(Q(game)));

        QVERIFY(program.Game().GameStringTable);
        QVERIFY(program.Game().GameStringTable->Find("STR_DN_CRATE", "English"));
        QCOMPARE(*program.Game().GameStringTable->Find("str_dn_crate", "German"), std::string("Kiste"));
        QVERIFY(program.Game().GameConfig);
        QCOMPARE(program.Game().GameConfig->FileKind, int(kConfigBinary));
        QVERIFY(program.Game().GameConfig->FileName.find("config.bin") != std::string::npos);
        QCOMPARE(program.Game().PbList.Count(), 4);
        QVERIFY(program.Game().PbList.ArchiveByKey("data3d"));
        QVERIFY(program.Game().PbList.ArchiveByKey("\\demo"));

        // Models open from the archives, game and add-on alike.
        QVERIFY(main->OpenModel("data3d\\tower.p3d", TModelSource::Archive));
        QCOMPARE(main->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));
        QCOMPARE(main->Document().Model()->LODCount(), 5);
        QVERIFY(main->OpenModel("\\demo\\barrel.p3d", TModelSource::Archive));
        QVERIFY(!main->OpenModel("data3d\\none.p3d", TModelSource::Archive));
        QVERIFY(LogForm->Lines().contains(QStringLiteral("Model file \"data3d\\none.p3d\" not found.")));
        // The textures of the grid load from the archives and are kept.
        main->Tree()->ClickNode(main->Tree()->topLevelItem(0)->child(0)->child(2));
        main->Document().SelectTextureRow(0);
        QCOMPARE(main->Document().TextureCache().Count(), 1);
        QVERIFY(main->Document().TextureCache().Object(0) != nullptr);
        QCOMPARE(main->Document().TextureIndexOf(main->Document().TextureCache().Object(0).get()), 0);
    }

    void modFolderInsideGameIsKept()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        const fs::path game = CopyOfDemoGame("mod");
        fs::create_directories(game / "MyMod" / "Bin");
        fs::copy(game / "Bin" / "config.cpp", game / "MyMod" / "Bin" / "config.cpp");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        dialogs.Folders.push_back(Q(game / "MyMod"));
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->FirstActivation();
        QCOMPARE(program.Game().ModFolder, std::string("\\MyMod"));
        // No string table and no archives in the MOD: the warning, an empty list.
        const QString table = Q(game / "MyMod" / "Bin" / "stringtable.csv");
        QCOMPARE(dialogs.Messages().value(1), QStringLiteral("File \"%1\" not loaded!").arg(table));
        QVERIFY(!program.Game().GameStringTable);
        QVERIFY(program.Game().GameConfig);
        QCOMPARE(program.Game().PbList.Count(), 0);
        QCOMPARE(StatusText(*main), QStringLiteral("Ready"));
    }

    void modFolderBesideGameIsRefused()
    {
        // "<game>2" starts with the game folder's text but is not inside it.
        const fs::path game = TempDir("beside");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        dialogs.Folders.push_back(Q(game) + QStringLiteral("2"));
        dialogs.Folders.push_back(Q(game / "MyMod"));
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->FirstActivation();
        QCOMPARE(dialogs.Calls.value(2), QStringLiteral("warning: MOD folder must be inside main \"%1\" folder").arg(Q(game)));
        QCOMPARE(dialogs.Calls.value(3), QStringLiteral("folder: Select MOD folder or cancel for default folder:"));
        QCOMPARE(program.Game().ModFolder, std::string("\\MyMod"));
    }

    void brokenConfigBinIsNotFollowedByConfigCpp()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        const fs::path game = CopyOfDemoGame("badbin");
        std::ofstream(game / "Bin" / "config.bin", std::ios::binary) << "not a config";
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->FirstActivation();
        const QStringList messages = dialogs.Messages();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[1].startsWith(QStringLiteral("File \"%1\" not loaded:\n").arg(Q(game / "Bin" / "config.bin"))));
        QVERIFY(!program.Game().GameConfig);
        QCOMPARE(program.Game().PbList.Count(), 4);
    }

    void missingGameWarnsAndGoesOn()
    {
        const fs::path game = TempDir("nogame");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->FirstActivation();
        const QString bin = Q(game / "Bin");
        QCOMPARE(dialogs.Messages().mid(1),
                 (QStringList{QStringLiteral("File \"%1/stringtable.csv\" not loaded!").arg(bin),
                              QStringLiteral("Neither \"%1/config.bin\" nor \"%1/config.cpp\" were found.").arg(bin)}));
        QVERIFY(!program.Game().GameConfig);
        QCOMPARE(program.Game().PbList.Count(), 0);
        QCOMPARE(StatusText(*main), QStringLiteral("Ready"));

        qunsetenv("MESHCRAFT_GAME_DIR");
        qputenv("WINEPREFIX", Q(TempDir("emptyprefix")).toUtf8());
        TProgram secondProgram;
        TMainForm* second = &secondProgram.MainWindow();
        QCOMPARE(Child<QPlainTextEdit>(*second, "Memo_StartupLog")->toPlainText().split(QLatin1Char('\n')).value(0),
                 QStringLiteral("Flashpoint not detected."));
        qunsetenv("WINEPREFIX");
    }

    // "meshcraft FILE": the model opens once the start-up boxes are closed,
    // a file on disk as a file, anything else as a game path.
    void commandLineModelOpensAfterStartup()
    {
        const fs::path file = RealFile("p3d/tzk210_VME_KJ2000.p3d");
        if (file.empty()) QSKIP("real data absent");
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", Q(DemoGameDir()).toUtf8());
        TScriptedDialogs dialogs;  // the warning closed, the MOD picker cancelled
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->SetStartupFile(PathToUtf8(file));
        qsizetype boxesBeforeOpen = -1;
        bool startedBeforeOpen = false;
        connect(&program.Document(), &TModelDocument::ModelOpened, main, [&] {
            boxesBeforeOpen = dialogs.Calls.size();
            startedBeforeOpen = main->Started();
        });
        QVERIFY(!program.Document().Model());
        main->resize(900, 700);
        main->show();
        QTRY_VERIFY_WITH_TIMEOUT(program.Document().Model(), 30000);
        QVERIFY(startedBeforeOpen);
        QCOMPARE(boxesBeforeOpen, 2);
        QVERIFY(dialogs.Calls.value(0).startsWith(QLatin1String("warning: This is the confidential alpha-version")));
        QCOMPARE(dialogs.Calls.value(1), QStringLiteral("folder: Select MOD folder or cancel for default folder:"));
        QCOMPARE(dialogs.Calls.size(), 2);  // no box about the model
        QCOMPARE(program.Document().FileName(), PathToUtf8(file));
        QCOMPARE(main->windowTitle(), QStringLiteral("Meshcraft - tzk210_VME_KJ2000.p3d [ODOL]"));
        QCOMPARE(StatusText(*main), QStringLiteral("Model loaded"));
        QCOMPARE(main->Tree()->topLevelItem(0)->childCount(), program.Document().Model()->LODCount());
        // Another start-up file is not opened again by a later activation.
        main->FirstActivation();
        QCOMPARE(dialogs.Calls.size(), 2);

        // The largest LOD's polygons, as a user would look at them.
        int largest = 0;
        const TModel& model = *program.Document().Model();
        for (int i = 1; i < model.LODCount(); ++i)
            if (model.LODs[size_t(i)]->FaceCount() > model.LODs[size_t(largest)]->FaceCount()) largest = i;
        QTreeWidgetItem* polygons = main->Tree()->topLevelItem(0)->child(largest)->child(1);
        main->Tree()->setCurrentItem(polygons);
        main->Tree()->ClickNode(polygons);
        QCOMPARE(main->ActivePage(), int(PagePolygons));
        SaveScreenshot(main, QStringLiteral("main-startup-file"));
    }

    void commandLineGamePathOpensFromTheArchives()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", Q(DemoGameDir()).toUtf8());
        TScriptedDialogs dialogs;
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->SetStartupFile("data3d\\tower.p3d");
        main->show();
        QTRY_VERIFY_WITH_TIMEOUT(program.Document().Model(), 30000);
        QCOMPARE(program.Document().FileName(), std::string("data3d\\tower.p3d"));
        QCOMPARE(main->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));
        QCOMPARE(program.Document().Model()->LODCount(), 5);
        QCOMPARE(dialogs.Calls.size(), 2);

        // A name that is neither a file nor in the archives: the box, no model.
        TProgram other;
        other.MainWindow().SetStartupFile("data3d\\none.p3d");
        dialogs.Calls.clear();
        other.MainWindow().FirstActivation();
        QVERIFY(!other.Document().Model());
        QCOMPARE(dialogs.Messages().last(), QStringLiteral("Model \"data3d\\none.p3d\" not loaded"));
        QVERIFY(dialogs.Details.last().contains(QLatin1String("not found")));
    }

    void realBoxesAsAUserMeetsThem()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", Q(DemoGameDir()).toUtf8());
        TModalCloser closer(QStringLiteral("startup"));  // accepts the boxes, cancels the folder picker
        TProgram program;
        TMainForm* main = &program.MainWindow();
        main->show();
        QTRY_COMPARE_WITH_TIMEOUT(StatusText(*main), QStringLiteral("Ready"), 20000);
        QCOMPARE(closer.Texts.size(), 2);
        QCOMPARE(closer.Kinds.value(0), QStringLiteral("Warning"));
        QVERIFY(closer.Texts[0].startsWith(QLatin1String("This is the confidential alpha-version (v0.28)!")));
        QCOMPARE(closer.Texts[1], QStringLiteral("Select MOD folder or cancel for default folder:"));
        QVERIFY(LogForm->Lines().value(0).startsWith(QLatin1String("Flashpoint detected at \"")));
        QCOMPARE(program.Game().PbList.Count(), 4);
        main->Action("MenuItem_View_Log")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(LogForm));
        SaveScreenshot(LogForm, QStringLiteral("log-window"));
        SaveScreenshot(main, QStringLiteral("main-ready"));
    }
};

MC_WINDOW_TEST_MAIN(StartupTest)
#include "StartupTest.moc"
