// The program's start-up on the demo game: the order of its boxes and
// pickers, the MOD folder rule, the data it loads (config.bin before
// config.cpp), and the same with the real modal boxes a user meets.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTimer>
#include <fstream>

#include "Archive/PbList.h"
#include "Config/GameData.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/FilePaths.h"
#include "Core/ModFolder.h"
#include "FormsTestSupport.h"
#include "GuiServices.h"
#include "Log_F.h"
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

void Reset()
{
    SetGameConfig(nullptr);
    SetGameStringTable(nullptr);
    PbList()->CloseAll();
    SetModFolder("");
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Reset(); }

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
        auto main = CreateProgramWindows();
        QCOMPARE(main->GamePath, PathToUtf8(game));
        QVERIFY(!main->Started);
        main->show();
        QTRY_VERIFY(main->Started);
        QTRY_COMPARE(main->StatusBar_Main_Panel0->text(), QStringLiteral("Ready"));

        QCOMPARE(dialogs.Calls.size(), 4);
        QVERIFY(dialogs.Calls[0].startsWith(
            QLatin1String("warning: This is the confidential alpha-version (v0.28)! Please, replace it by beta-version.\nVisit ")));
        QCOMPARE(dialogs.Calls[1], QStringLiteral("folder: Select MOD folder or cancel for default folder:"));
        QCOMPARE(dialogs.FolderStarts[0], Q(game));
        QCOMPARE(dialogs.Calls[2], QStringLiteral("warning: MOD folder must be inside main \"%1\" folder").arg(Q(game)));
        QCOMPARE(dialogs.Calls[3], dialogs.Calls[1]);
        QCOMPARE(GetModFolder(), std::string());

        // The log window took over the start-up lines.
        QVERIFY(LogForm);
        QCOMPARE(GuiServices().LogLines(), LogForm->Memo_Log);
        QCOMPARE(LogForm->Lines().value(0), QStringLiteral("Flashpoint detected at \"%1\"").arg(Q(game)));

        QVERIFY(GameStringTable());
        QVERIFY(GameStringTable()->Find("STR_DN_CRATE", "English"));
        QCOMPARE(*GameStringTable()->Find("str_dn_crate", "German"), std::string("Kiste"));
        QVERIFY(GameConfig());
        QCOMPARE(GameConfig()->FileKind, int(kConfigBinary));
        QVERIFY(GameConfig()->FileName.find("config.bin") != std::string::npos);
        QCOMPARE(PbList()->Count(), 3);
        QVERIFY(PbList()->ArchiveByKey("data3d"));
        QVERIFY(PbList()->ArchiveByKey("\\demo"));

        // Models open from the archives, game and add-on alike.
        QVERIFY(main->OpenModel("data3d\\tower.p3d", TModelSource::Archive));
        QCOMPARE(main->windowTitle(), QStringLiteral("Meshcraft - tower.p3d [ODOL]"));
        QCOMPARE(main->Model->LODCount(), 5);
        QVERIFY(main->OpenModel("\\demo\\barrel.p3d", TModelSource::Archive));
        QVERIFY(!main->OpenModel("data3d\\none.p3d", TModelSource::Archive));
        QVERIFY(LogForm->Lines().contains(QStringLiteral("Model file \"data3d\\none.p3d\" not found.")));
        // The textures of the grid load from the archives and are kept.
        main->ClickNode(main->TreeView_Main->topLevelItem(0)->child(0)->child(2));
        main->ShowFaceTexture(0);
        QCOMPARE(main->TextureCache.Count(), 1);
        QVERIFY(main->TextureCache.Object(0) != nullptr);
        QCOMPARE(main->TextureIndexOf(main->TextureCache.Object(0).get()), 0);
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
        auto main = CreateProgramWindows();
        main->FirstActivation();
        QCOMPARE(GetModFolder(), std::string("\\MyMod"));
        // No string table and no archives in the MOD: the warning, an empty list.
        const QString table = Q(game / "MyMod" / "Bin" / "stringtable.csv");
        QCOMPARE(dialogs.Messages().value(1), QStringLiteral("File \"%1\" not loaded!").arg(table));
        QVERIFY(!GameStringTable());
        QVERIFY(GameConfig());
        QCOMPARE(PbList()->Count(), 0);
        QCOMPARE(main->StatusBar_Main_Panel0->text(), QStringLiteral("Ready"));
    }

    void modFolderBesideGameIsRefused()
    {
        // "<game>2" starts with the game folder's text but is not inside it.
        const fs::path game = TempDir("beside");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        dialogs.Folders.push_back(Q(game) + QStringLiteral("2"));
        dialogs.Folders.push_back(Q(game / "MyMod"));
        auto main = CreateProgramWindows();
        main->FirstActivation();
        QCOMPARE(dialogs.Calls.value(2), QStringLiteral("warning: MOD folder must be inside main \"%1\" folder").arg(Q(game)));
        QCOMPARE(dialogs.Calls.value(3), QStringLiteral("folder: Select MOD folder or cancel for default folder:"));
        QCOMPARE(GetModFolder(), std::string("\\MyMod"));
    }

    void brokenConfigBinIsNotFollowedByConfigCpp()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        const fs::path game = CopyOfDemoGame("badbin");
        std::ofstream(game / "Bin" / "config.bin", std::ios::binary) << "not a config";
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        auto main = CreateProgramWindows();
        main->FirstActivation();
        const QStringList messages = dialogs.Messages();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[1].startsWith(QStringLiteral("File \"%1\" not loaded:\n").arg(Q(game / "Bin" / "config.bin"))));
        QVERIFY(!GameConfig());
        QCOMPARE(PbList()->Count(), 3);
    }

    void missingGameWarnsAndGoesOn()
    {
        const fs::path game = TempDir("nogame");
        qputenv("MESHCRAFT_GAME_DIR", Q(game).toUtf8());
        TScriptedDialogs dialogs;
        auto main = CreateProgramWindows();
        main->FirstActivation();
        const QString bin = Q(game / "Bin");
        QCOMPARE(dialogs.Messages().mid(1),
                 (QStringList{QStringLiteral("File \"%1/stringtable.csv\" not loaded!").arg(bin),
                              QStringLiteral("Neither \"%1/config.bin\" nor \"%1/config.cpp\" were found.").arg(bin)}));
        QVERIFY(!GameConfig());
        QCOMPARE(PbList()->Count(), 0);
        QCOMPARE(main->StatusBar_Main_Panel0->text(), QStringLiteral("Ready"));

        qunsetenv("MESHCRAFT_GAME_DIR");
        qputenv("WINEPREFIX", Q(TempDir("emptyprefix")).toUtf8());
        auto second = CreateProgramWindows();
        QCOMPARE(second->Memo_StartupLog->toPlainText().split(QLatin1Char('\n')).value(0),
                 QStringLiteral("Flashpoint not detected."));
        qunsetenv("WINEPREFIX");
    }

    void realBoxesAsAUserMeetsThem()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        qputenv("MESHCRAFT_GAME_DIR", Q(DemoGameDir()).toUtf8());
        TModalCloser closer(QStringLiteral("startup"));  // accepts the boxes, cancels the folder picker
        auto main = CreateProgramWindows();
        main->show();
        QTRY_COMPARE_WITH_TIMEOUT(main->StatusBar_Main_Panel0->text(), QStringLiteral("Ready"), 20000);
        QCOMPARE(closer.Texts.size(), 2);
        QCOMPARE(closer.Kinds.value(0), QStringLiteral("Warning"));
        QVERIFY(closer.Texts[0].startsWith(QLatin1String("This is the confidential alpha-version (v0.28)!")));
        QCOMPARE(closer.Texts[1], QStringLiteral("Select MOD folder or cancel for default folder:"));
        QVERIFY(LogForm->Lines().value(0).startsWith(QLatin1String("Flashpoint detected at \"")));
        QCOMPARE(PbList()->Count(), 3);
        main->MenuItem_View_Log->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(LogForm));
        SaveScreenshot(LogForm, QStringLiteral("log-window"));
        SaveScreenshot(main.get(), QStringLiteral("main-ready"));
    }
};

MC_WINDOW_TEST_MAIN(StartupTest)
#include "StartupTest.moc"
