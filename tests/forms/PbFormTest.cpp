// The archive manager: the tree of archives and folders, the list, adding
// and removing archives, the model picker and the preview pages.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <fstream>

#include "../support/ArchiveBuilder.h"
#include "Archive/PbList.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "PbFileTypes.h"
#include "PbIcons.h"
#include "PbListModel.h"
#include "PbSoundPage.h"
#include "PbTextureBox.h"
#include "Pb_F.h"
#include "StringTableGridModel.h"
#include "jpeg/TurboJpegDecoder.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

QString Q(const fs::path& p) { return QString::fromStdString(PathToUtf8(p)); }

// Counts the busy cursors and keeps the log.
class TServices : public IAppServices {
public:
    TServices() : previous_(GetAppServices()) { SetAppServices(this); }
    ~TServices() override { SetAppServices(previous_); }
    void AddLog(std::string_view line) override { Log << QString::fromUtf8(line.data(), qsizetype(line.size())); }
    void ShowStatus(std::string_view) override {}
    void ShowMessage(TMessageKind, std::string_view text) override
    {
        Messages << QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    void BeginWait() override { ++Waits; }
    void EndWait() override {}
    QStringList Log, Messages;
    int Waits = 0;

private:
    IAppServices* previous_;
};

// A sound output that records what it is asked.
struct TFakeLog {
    QStringList Calls;
    int64_t Played = 0;
    bool Ended = false;
    bool Refuse = false;
};

class TFakeSoundOutput : public ISoundOutput {
public:
    explicit TFakeSoundOutput(TFakeLog& log) : log_(log) {}
    bool Open(const TWaveInfo& format, std::vector<uint8_t> samples, std::string& reason) override
    {
        log_.Calls << QStringLiteral("open %1").arg(samples.size());
        if (log_.Refuse) reason = "no audio device in this test";
        return !log_.Refuse;
    }
    void Play() override { log_.Calls << "play"; }
    void Pause() override { log_.Calls << "pause"; }
    void Stop() override
    {
        log_.Calls << "stop";
        log_.Played = 0;
    }
    int64_t PlayedBytes() const override { return log_.Played; }
    bool Ended() const override { return log_.Ended; }

private:
    TFakeLog& log_;
};

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A PCM WSS file of n data bytes: mono, 22050 Hz, 16 bits.
std::vector<uint8_t> PcmWss(size_t n)
{
    std::vector<uint8_t> out;
    for (char c : std::string("WSS0")) out.push_back(uint8_t(c));
    PutLE32(out, 0);
    const uint8_t format[18] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 0, 0};
    out.insert(out.end(), format, format + 18);
    out.insert(out.end(), n, 0x10);
    return out;
}

int RowOf(const TPbListModel& model, const QString& name)
{
    for (int r = 0; r < model.RowCount(); ++r)
        if (model.Cell(r, PbColumnName) == name) return r;
    return -1;
}

QTreeWidgetItem* TopNode(TPbForm& form, const QString& label)
{
    for (int i = 0; i < form.TreeView->topLevelItemCount(); ++i)
        if (form.TreeView->topLevelItem(i)->text(0) == label) return form.TreeView->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* ChildNode(QTreeWidgetItem* node, const QString& label)
{
    for (int i = 0; node && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == label) return node->child(i);
    return nullptr;
}

void SelectRow(TPbForm& form, const QString& name)
{
    const int row = RowOf(*form.ListModel(), name);
    QVERIFY2(row >= 0, qPrintable(name));
    form.ListView->setCurrentIndex(form.ListModel()->index(row, 0));
}

}  // namespace

class PbFormTest : public QObject {
    Q_OBJECT

    fs::path dir_;
    std::unique_ptr<TPbList> list_;
    std::unique_ptr<TServices> services_;

    std::unique_ptr<TPbForm> MakeForm()
    {
        return std::make_unique<TPbForm>(TPbGameAccess{list_.get(), PathToUtf8(dir_)});
    }

    // Dta\data.pbo (game) and AddOns\myaddon.pbo (add-on) with a few entries.
    void OpenTwoArchives()
    {
        WriteBytes(dir_ / "Dta" / "data.pbo",
                   BuildArchive({{"tex\\a.paa", Bytes("x")}, {"b.txt", Bytes("text")}, {"sub\\deep\\c.p3d", Bytes("m")}}));
        WriteBytes(dir_ / "AddOns" / "myaddon.pbo",
                   BuildArchive({{"x.p3d", Bytes("model")}, {"X2.P3D", Bytes("model")}, {"readme.txt", Bytes("r")},
                                 {"sub\\y.p3d", Bytes("m")}}));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "data.pbo"), false);
        list_->AddArchive(PathToUtf8(dir_ / "AddOns" / "myaddon.pbo"), true);
    }

    // Picks with the row of that name selected (none: cancels).
    std::string Pick(TPbForm& form, QTreeWidgetItem* node, const QString& row)
    {
        QTimer::singleShot(0, &form, [&form, node, row] {
            form.TreeView->setCurrentItem(node);
            if (row.isEmpty()) {
                form.reject();
                return;
            }
            SelectRow(form, row);
            form.Button_Ok->click();
        });
        return form.PickModel();
    }

private slots:
    void init()
    {
        dir_ = TempDir("pbform");
        list_ = std::make_unique<TPbList>();
        services_ = std::make_unique<TServices>();
    }

    void cleanup()
    {
        services_.reset();
        list_.reset();
    }

    void typeTableAndRows()
    {
        QCOMPARE(PbFileType("a\\b.PAA").Text, std::string("Texture"));
        QCOMPARE(PbFileType("x.jpeg").Icon, int(PbIconTexture));
        QCOMPARE(PbFileType("f.fxy").Text, std::string("Font file"));
        QCOMPARE(PbFileType("p.html").Text, std::string("HTML Document"));
        QCOMPARE(PbFileType("m.sqs").Text, std::string("Mission script"));
        QCOMPARE(PbFileType("s.ogg").Text, std::string("Sound file"));
        QCOMPARE(PbFileType("c.inc").Text, std::string("Configuration file"));
        QCOMPARE(PbFileType("m.p3d").Icon, int(PbIconModel));
        QCOMPARE(PbFileType("data.rtm").Text, std::string("RTM File"));
        QCOMPARE(PbFileType("dir.x\\noext").Text, std::string("File"));

        std::vector<uint8_t> content(300, 'a');
        TEntrySpec packed = Packed("packed.txt", content);
        packed.TimeStamp = 1000000000;
        WriteBytes(dir_ / "Dta" / "data.pbo", BuildArchive({{"zz\\f.txt", Bytes("1")}, packed, {"aa\\g.txt", Bytes("2")},
                                                           {"plain.bin", Bytes("12345")}}));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "data.pbo"), false);
        auto form = MakeForm();
        form->RefreshAll();
        const TPbListModel& m = *form->ListModel();
        QCOMPARE(m.RowCount(), 4);
        // Folders first, then files, each in key order.
        QCOMPARE(m.Cell(0, PbColumnName), QStringLiteral("aa"));
        QCOMPARE(m.Cell(0, PbColumnType), QStringLiteral("File Folder"));
        QCOMPARE(m.Cell(0, PbColumnSize), QString());
        QCOMPARE(m.Cell(1, PbColumnName), QStringLiteral("zz"));
        QCOMPARE(m.Cell(2, PbColumnName), QStringLiteral("packed.txt"));
        QCOMPARE(m.Cell(2, PbColumnOriginalSize), QStringLiteral("300"));
        QCOMPARE(m.Cell(2, PbColumnAttributes), QStringLiteral("packed"));
        QVERIFY(!m.Cell(2, PbColumnModified).isEmpty());
        QCOMPARE(m.Cell(3, PbColumnName), QStringLiteral("plain.bin"));
        QCOMPARE(m.Cell(3, PbColumnSize), QStringLiteral("5"));
        QCOMPARE(m.Cell(3, PbColumnOriginalSize), QString());
        QCOMPARE(m.Cell(3, PbColumnAttributes), QString());
        QCOMPARE(m.Cell(3, PbColumnModified), QString());
        QCOMPARE(m.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Original Size"));
        QCOMPARE(form->ListView->columnWidth(PbColumnModified), 110);

        // A folder row opens its node; Up goes back.
        form->OpenListItem(1);
        QCOMPARE(form->CurrentNode()->text(0), QStringLiteral("zz"));
        QCOMPARE(form->ListModel()->Cell(0, PbColumnName), QStringLiteral("f.txt"));
        QVERIFY(form->ToolButton_UpFolder->isEnabled());
        QVERIFY(form->MenuItem_Left_Up->isEnabled());
        form->OnClick_Up();
        QCOMPARE(form->CurrentNode()->text(0), QStringLiteral("data"));
        QVERIFY(!form->ToolButton_UpFolder->isEnabled());
    }

    void controlsAsDescribed()
    {
        auto form = MakeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Pb Manager"));
        QCOMPARE(form->ToolButton_AddPb->text(), QStringLiteral("  &Add  "));
        QCOMPARE(form->ToolButton_AddPb->toolTip(), QStringLiteral("Add Pb-file"));
        QCOMPARE(form->ToolButton_RemoveFile->toolTip(), QStringLiteral("Remove Pb-File"));
        QCOMPARE(form->ToolButton_UpFolder->toolTip(), QStringLiteral("Folder Up"));
        QCOMPARE(form->ToolButton_Refresh->toolTip(), QStringLiteral("Refresh Folders List"));
        QCOMPARE(form->PageControl_Left->count(), 6);
        QCOMPARE(form->PageControl_Left->tabText(5), QStringLiteral("String Table"));
        QVERIFY(form->Button_Ok->isDefault());
        QVERIFY(!form->MenuItem_Right_Delete->isEnabled());
        QVERIFY(!form->MenuItem_Right_Rename->isEnabled());
        QCOMPARE(form->PopupMenu_Right->defaultAction(), form->MenuItem_Right_Open);
        QCOMPARE(QString::fromLatin1(kPbArchiveFilter), QStringLiteral("Archive (*.pb?)|*.pb?|All files (*.*)|*.*"));
        // Only page 0's tab is visible before any preview.
        for (int i = 1; i < 6; ++i) QVERIFY(!form->PageControl_Left->isTabVisible(i));
    }

    void addOnNamingAndPicking()
    {
        OpenTwoArchives();
        auto form = MakeForm();
        form->RefreshAll();
        QCOMPARE(form->TreeView->topLevelItemCount(), 2);
        // Key order puts the add-on ("\myaddon") first; its label has no backslash.
        QCOMPARE(form->TreeView->topLevelItem(0)->text(0), QStringLiteral("myaddon"));
        QCOMPARE(form->TreeView->topLevelItem(1)->text(0), QStringLiteral("data"));
        QCOMPARE(form->TreeView->topLevelItem(0)->icon(0).cacheKey(), form->Icons().FolderPair(true).cacheKey());
        QCOMPARE(form->TreeView->topLevelItem(1)->icon(0).cacheKey(), form->Icons().FolderPair(false).cacheKey());
        QCOMPARE(ChildNode(form->TreeView->topLevelItem(0), "sub")->icon(0).cacheKey(),
                 form->Icons().FolderPair(true).cacheKey());
        // Nested folders of the game archive.
        QVERIFY(ChildNode(ChildNode(TopNode(*form, "data"), "sub"), "deep"));

        QTreeWidgetItem* addOn = TopNode(*form, "myaddon");
        QCOMPARE(Pick(*form, addOn, "x.p3d"), std::string("myaddon\\x.p3d"));
        QVERIFY(!form->PickerActive());
        // Folder rows and other files come back unchanged; so does ".P3D".
        QCOMPARE(Pick(*form, addOn, "sub"), std::string("\\myaddon\\sub"));
        QCOMPARE(Pick(*form, addOn, "readme.txt"), std::string("\\myaddon\\readme.txt"));
        QCOMPARE(Pick(*form, addOn, "X2.P3D"), std::string("\\myaddon\\X2.P3D"));
        QCOMPARE(Pick(*form, TopNode(*form, "data"), "b.txt"), std::string("data\\b.txt"));
        QCOMPARE(Pick(*form, addOn, QString()), std::string());
        // The picker allowed one row; the window allows several again.
        QCOMPARE(form->ListView->selectionMode(), QAbstractItemView::ExtendedSelection);

        // Enter on a model row while picking closes with OK.
        QTimer::singleShot(0, form.get(), [&] {
            form->TreeView->setCurrentItem(addOn);
            SelectRow(*form, "x.p3d");
            QTest::keyClick(form->ListView, Qt::Key_Return);
        });
        QCOMPARE(form->PickModel(), std::string("myaddon\\x.p3d"));
    }

    void removeOnlyTopLevel()
    {
        OpenTwoArchives();
        auto form = MakeForm();
        form->RefreshAll();
        QTreeWidgetItem* data = TopNode(*form, "data");
        form->TreeView->setCurrentItem(ChildNode(data, "sub"));
        QVERIFY(!form->ToolButton_RemoveFile->isEnabled());
        form->OnClick_Remove();
        QCOMPARE(list_->Count(), 2);

        // A preview of the archive goes with it.
        form->TreeView->setCurrentItem(data);
        SelectRow(*form, "b.txt");
        QVERIFY(form->CurrentItem());
        QVERIFY(form->ToolButton_RemoveFile->isEnabled());
        form->OnClick_Remove();
        QCOMPARE(list_->Count(), 1);
        QVERIFY(!list_->HasArchiveFor("data\\b.txt"));
        QCOMPARE(form->TreeView->topLevelItemCount(), 1);
        QVERIFY(!form->CurrentItem());
        QCOMPARE(form->CurrentNode(), TopNode(*form, "myaddon"));
        QCOMPARE(form->ListModel()->Folder(), &list_->Archive(0)->Root);
        // The file is free to be written again.
        WriteBytes(dir_ / "Dta" / "data.pbo", BuildArchive({{"new.txt", Bytes("n")}}));
    }

    void addAndRefresh()
    {
        auto form = MakeForm();
        // Never shown: the first showing lists what Make AddOn added meanwhile.
        WriteBytes(dir_ / "AddOns" / "made.pbo", BuildArchive({{"a.txt", Bytes("a")}}));
        list_->AddArchive(PathToUtf8(dir_ / "AddOns" / "made.pbo"), true);
        QVERIFY(form->NeedsRefresh);
        form->show();
        QVERIFY(!form->NeedsRefresh);
        QCOMPARE(form->TreeView->topLevelItemCount(), 1);

        // Once filled, a new archive shows only after Refresh.
        WriteBytes(dir_ / "AddOns" / "later.pbo", BuildArchive({{"b.txt", Bytes("b")}}));
        list_->AddArchive(PathToUtf8(dir_ / "AddOns" / "later.pbo"), true);
        form->hide();
        form->show();
        QCOMPARE(form->TreeView->topLevelItemCount(), 1);
        form->ToolButton_Refresh->click();
        QCOMPARE(form->TreeView->topLevelItemCount(), 2);

        // Add: the dialog starts in the game's AddOns folder; the archive is
        // an add-on; the same file twice is opened once.
        TScriptedDialogs dialogs;
        WriteBytes(dir_ / "elsewhere" / "third.pbo", BuildArchive({{"c.txt", Bytes("c")}}));
        dialogs.OpenFiles.push_back(Q(dir_ / "elsewhere" / "third.pbo"));
        dialogs.OpenFiles.push_back(Q(dir_ / "elsewhere" / "third.pbo"));
        form->ToolButton_AddPb->click();
        QCOMPARE(dialogs.Calls.value(0), QStringLiteral("open: Add Pb-file"));
        QVERIFY(list_->ArchiveByKey("\\third"));
        QCOMPARE(form->TreeView->topLevelItemCount(), 3);
        form->MenuItem_Left_Add->trigger();
        QCOMPARE(list_->Count(), 3);
        QVERIFY(TopNode(*form, "third"));
    }

    void busyCursorAbove100()
    {
        std::vector<TEntrySpec> hundred, hundredOne;
        for (int i = 0; i < 101; ++i) {
            TEntrySpec e{QStringLiteral("f\\e%1.txt").arg(i, 3, 10, QLatin1Char('0')).toStdString(), Bytes("x")};
            if (i < 100) hundred.push_back(e);
            e.Name = "g" + e.Name.substr(1);
            hundredOne.push_back(e);
        }
        std::vector<TEntrySpec> all = hundred;
        all.insert(all.end(), hundredOne.begin(), hundredOne.end());
        WriteBytes(dir_ / "Dta" / "big.pbo", BuildArchive(all));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "big.pbo"), false);
        auto form = MakeForm();
        form->RefreshAll();
        QTreeWidgetItem* top = TopNode(*form, "big");
        services_->Waits = 0;
        form->TreeView->setCurrentItem(ChildNode(top, "f"));
        QCOMPARE(form->ListModel()->RowCount(), 100);
        QCOMPARE(services_->Waits, 0);
        form->TreeView->setCurrentItem(ChildNode(top, "g"));
        QCOMPARE(form->ListModel()->RowCount(), 101);
        QCOMPARE(services_->Waits, 1);
    }

    void stringTablePreview()
    {
        const std::string table = "LANGUAGE,English,German\r\nSTR_A,\"a\",\"b\",\"extra\"\r\nSTR_B,\"c\"\r\n";
        WriteBytes(dir_ / "Dta" / "t.pbo", BuildArchive({{"StringTable.CSV", Bytes(table)},
                                                        {"sub\\stringtable.csv", Bytes("")},
                                                        {"other.csv", Bytes(table)}}));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "t.pbo"), false);
        auto form = MakeForm();
        form->RefreshAll();
        SelectRow(*form, "StringTable.CSV");
        QCOMPARE(form->PreviewPage(), int(PbPreviewStringTable));
        QVERIFY(form->PageControl_Left->isTabVisible(PbPreviewStringTable));
        QVERIFY(!form->PageControl_Left->isTabVisible(0));
        const TStringTableGridModel& m = *form->StringTableModel();
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.columnCount(), 4);  // grows to the longest entry
        QCOMPARE(m.Cell(0, 1), QStringLiteral("English"));
        QCOMPARE(m.Cell(1, 0), QStringLiteral("STR_A"));
        QCOMPARE(m.Cell(1, 3), QStringLiteral("extra"));
        QCOMPARE(m.Cell(2, 1), QStringLiteral("c"));
        QCOMPARE(m.Cell(2, 2), QString());

        // Another CSV is no string table.
        SelectRow(*form, "other.csv");
        QCOMPARE(form->PreviewPage(), 0);

        // An empty table: two columns and two empty rows.
        form->OpenListItem(RowOf(*form->ListModel(), "sub"));
        SelectRow(*form, "stringtable.csv");
        QCOMPARE(form->PreviewPage(), int(PbPreviewStringTable));
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.columnCount(), 2);
        QCOMPARE(m.Cell(0, 0), QString());
        QCOMPARE(m.Cell(1, 1), QString());
    }

    void scriptAndHtmlPreviews()
    {
        const std::string page = "<html><body><h1>Title</h1><a href=\"https://example.org/\">out</a></body></html>";
        WriteBytes(dir_ / "Dta" / "d.pbo",
                   BuildArchive({{"intro.sqs", Bytes("hint \"hello\"\r\nexit\r\n")}, {"page.html", Bytes(page)}}));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "d.pbo"), false);
        auto form = MakeForm();
        form->RefreshAll();
        SelectRow(*form, "intro.sqs");
        QCOMPARE(form->PreviewPage(), int(PbPreviewScript));
        QVERIFY(form->Memo_Script->isReadOnly());
        QVERIFY(form->Memo_Script->toPlainText().startsWith("hint \"hello\""));

        SelectRow(*form, "page.html");
        QCOMPARE(form->PreviewPage(), int(PbPreviewHtml));
        const QString file = form->HtmlPreviewFile();
        const QString folder = form->HtmlFolder();
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(QFileInfo(file).fileName().contains(QRegularExpression("^preview\\d{1,2}\\.html$")));
        QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(folder).absoluteFilePath());
        QVERIFY(form->WebBrowser_HTML->toPlainText().contains("Title"));
        QVERIFY(form->WebBrowser_HTML->openExternalLinks());
        // The temporary folder goes with the window.
        form.reset();
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(folder));
    }

    void soundPageButtons()
    {
        WriteBytes(dir_ / "Dta" / "s.pbo", BuildArchive({{"beep.wss", PcmWss(44100)}, {"bad.wss", Bytes("WSS1xxxxxxxxxxxxxxxxxxxxxxxxxx")}}));
        list_->AddArchive(PathToUtf8(dir_ / "Dta" / "s.pbo"), false);
        TFakeLog log;  // outlives the window, whose sound output writes to it
        auto form = MakeForm();
        form->SetSoundOutputFactory([&log] { return std::make_unique<TFakeSoundOutput>(log); });
        form->RefreshAll();
        TPbSoundPage& page = *form->SoundPage();

        SelectRow(*form, "beep.wss");
        QCOMPARE(form->PreviewPage(), int(PbPreviewSound));
        QCOMPARE(log.Calls, QStringList({"open 44100"}));
        QCOMPARE(page.Label_Channels->text(), QStringLiteral("Mono"));
        QCOMPARE(page.Label_Frequency->text(), QStringLiteral("22050"));
        QCOMPARE(page.Label_BitsPerSample->text(), QStringLiteral("16"));
        QCOMPARE(page.TrackBar_Position->maximum(), 44100);
        QVERIFY(page.Button_Play->isEnabled());
        QVERIFY(!page.Button_Pause->isEnabled());
        QVERIFY(!page.Button_Stop->isEnabled());

        page.Button_Play->click();
        QVERIFY(!page.Button_Play->isEnabled());
        QVERIFY(page.Button_Pause->isEnabled() && page.Button_Stop->isEnabled());
        QVERIFY(page.Timer_Sound->isActive());
        QCOMPARE(page.Timer_Sound->interval(), 10);
        log.Played = 88200;  // two seconds of 16-bit mono at 22050 Hz
        page.OnTimer_Sound();
        QCOMPARE(page.Label_Time->text(), QStringLiteral("Time: 00:00:02"));
        QCOMPARE(page.TrackBar_Position->value(), 44100);  // held at the end of the bar

        page.Button_Pause->click();
        QVERIFY(page.Button_Play->isEnabled());
        QVERIFY(!page.Button_Pause->isEnabled() && !page.Button_Stop->isEnabled());
        QVERIFY(!page.Timer_Sound->isActive());

        page.Button_Play->click();
        page.Button_Stop->click();
        QVERIFY(page.Button_Play->isEnabled() && !page.Button_Pause->isEnabled() && !page.Button_Stop->isEnabled());
        QCOMPARE(page.TrackBar_Position->value(), 0);
        QCOMPARE(page.Label_Time->text(), QStringLiteral("Time: 00:00:00"));

        // The end of the sound acts as Stop.
        page.Button_Play->click();
        log.Ended = true;
        page.OnTimer_Sound();
        QVERIFY(!page.Timer_Sound->isActive());
        QVERIFY(page.Button_Play->isEnabled() && !page.Button_Stop->isEnabled());
        QCOMPARE(log.Calls.last(), QStringLiteral("stop"));
        QCOMPARE(PlayTimeText(22050 * 2 * 3661, 22050 * 2), QStringLiteral("Time: 01:01:01"));
        QCOMPARE(ChannelsText(2), QStringLiteral("Stereo"));
        QCOMPARE(ChannelsText(6), QStringLiteral("6"));

        // A failed conversion leaves the page as it was.
        log.Calls.clear();
        SelectRow(*form, "bad.wss");
        QCOMPARE(form->PreviewPage(), int(PbPreviewSound));
        QVERIFY(log.Calls.isEmpty());
        QCOMPARE(page.Label_Channels->text(), QStringLiteral("Mono"));

        // No audio device: the labels are shown, Play is disabled, the log says why.
        log.Refuse = true;
        SelectRow(*form, "beep.wss");
        QCOMPARE(form->PreviewPage(), int(PbPreviewSound));
        QCOMPARE(page.Label_Frequency->text(), QStringLiteral("22050"));
        QVERIFY(!page.Button_Play->isEnabled());
        QVERIFY(services_->Log.last().contains("no audio device in this test"));
    }

    void texturePreviewOfDemoGame()
    {
        const fs::path game = DemoGameDir();
        if (!fs::exists(game / "Dta" / "data.pbo")) QSKIP("no demo game");
        list_->OpenGameArchives(PathToUtf8(game));
        auto form = MakeForm();
        form->RefreshAll();
        form->TreeView->setCurrentItem(TopNode(*form, "data"));
        SelectRow(*form, "tower_co.paa");
        QCOMPARE(form->PreviewPage(), int(PbPreviewTexture));
        QCOMPARE(form->Label_Texture_Name->text(), QStringLiteral("data\\tower_co.paa"));
        QCOMPARE(form->Label_Texture_Type->text(), QStringLiteral("ARGB4444"));
        QCOMPARE(form->Label_Texture_Palette->text(), QStringLiteral("None"));
        QCOMPARE(form->ComboBox_Texture_MipMaps->itemText(0), QStringLiteral("Pref.(128 x 64)"));
        QCOMPARE(form->ComboBox_Texture_MipMaps->itemText(1), QStringLiteral("128 x 64"));
        QCOMPARE(form->ComboBox_Texture_MipMaps->currentIndex(), 0);
        QCOMPARE(form->PaintBox_Texture->DrawSize(), QSize(128, 64));
        const QImage colour = form->PaintBox_Texture->Picture();
        form->ComboBox_Texture_Data->setCurrentIndex(1);
        QVERIFY(form->PaintBox_Texture->Picture().cacheKey() != colour.cacheKey());
        form->ComboBox_Texture_MipMaps->setCurrentIndex(2);
        QCOMPARE(form->PaintBox_Texture->DrawSize(), QSize(64, 32));
        QCOMPARE(HalvedToFit(QSize(1024, 512), QSize(256, 256)), QSize(256, 128));
        QCOMPARE(HalvedToFit(QSize(64, 2048), QSize(256, 256)), QSize(8, 256));

        // A texture that does not load leaves the page empty.
        WriteBytes(dir_ / "AddOns" / "broken.pbo", BuildArchive({{"bad.paa", Bytes("\x02\xFFxxxx")}}));
        list_->AddArchive(PathToUtf8(dir_ / "AddOns" / "broken.pbo"), true);
        form->RefreshAll();
        form->TreeView->setCurrentItem(TopNode(*form, "broken"));
        SelectRow(*form, "bad.paa");
        QCOMPARE(form->PreviewPage(), int(PbPreviewTexture));
        QVERIFY(!form->PreviewTexture());
        QCOMPARE(form->Label_Texture_Type->text(), QString());
        QVERIFY(!form->ComboBox_Texture_MipMaps->isEnabled());
        QVERIFY(!form->ComboBox_Texture_Data->isEnabled());
    }

    // Every preview page on the demo game, as a user would see it.
    void demoGameScreenshots()
    {
        const fs::path game = DemoGameDir();
        if (!fs::exists(game / "AddOns" / "demo.pbo")) QSKIP("no demo game");
        list_->OpenGameArchives(PathToUtf8(game));
        TFakeLog log;  // outlives the window, whose sound output writes to it
        auto form = MakeForm();
        form->SetSoundOutputFactory([&log] { return std::make_unique<TFakeSoundOutput>(log); });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->TreeView->topLevelItemCount(), 4);

        form->TreeView->setCurrentItem(TopNode(*form, "data"));
        SelectRow(*form, "tower_co.paa");
        SaveScreenshot(form.get(), "pb-texture");

        QTreeWidgetItem* demo = TopNode(*form, "demo");
        form->TreeView->setCurrentItem(demo);
        SelectRow(*form, "readme.html");
        QCOMPARE(form->PreviewPage(), int(PbPreviewHtml));
        QVERIFY(form->WebBrowser_HTML->toPlainText().contains("Demo add-on"));
        SaveScreenshot(form.get(), "pb-html");

        SelectRow(*form, "stringtable.csv");
        QCOMPARE(form->StringTableModel()->Cell(1, 0), QStringLiteral("STR_DEMO_WELCOME"));
        SaveScreenshot(form.get(), "pb-stringtable");

        form->OpenListItem(RowOf(*form->ListModel(), "scripts"));
        SelectRow(*form, "intro.sqs");
        QVERIFY(form->Memo_Script->toPlainText().contains("createVehicle"));
        SaveScreenshot(form.get(), "pb-script");

        form->TreeView->setCurrentItem(ChildNode(demo, "sounds"));
        SelectRow(*form, "chime.wss");
        QCOMPARE(form->PreviewPage(), int(PbPreviewSound));
        QCOMPARE(form->SoundPage()->Label_Channels->text(), QStringLiteral("Mono"));
        SaveScreenshot(form.get(), "pb-sound");
    }

    // The system's own sound output on the demo chime: it plays where there
    // is an audio device; without one Play is disabled and the log says why.
    void systemSoundOutput()
    {
        const fs::path game = DemoGameDir();
        if (!fs::exists(game / "AddOns" / "demo.pbo")) QSKIP("no demo game");
        list_->OpenGameArchives(PathToUtf8(game));
        auto form = MakeForm();
        form->RefreshAll();
        form->TreeView->setCurrentItem(ChildNode(TopNode(*form, "demo"), "sounds"));
        SelectRow(*form, "chime.wss");
        TPbSoundPage& page = *form->SoundPage();
        QCOMPARE(page.Label_Frequency->text(), QStringLiteral("22050"));
        if (!page.Output()) {
            QVERIFY(!page.Button_Play->isEnabled());
            QVERIFY(services_->Log.last().startsWith("Sound \"\\demo\\sounds\\chime.wss\" cannot be played: "));
            qInfo("%s", qPrintable(services_->Log.last()));
            return;
        }
        page.Button_Play->click();
        QTRY_VERIFY_WITH_TIMEOUT(page.Button_Play->isEnabled(), 5000);
    }

    // Add on a real add-on: its JPEG pictures and its string table preview.
    void realAddOnPreviews()
    {
        const fs::path xfaces = RealFile("pbo/ofp_xfaces.pbo");
        if (xfaces.empty()) QSKIP("real data absent");
        InstallTurboJpegDecoder();
        auto form = MakeForm();
        form->RefreshAll();
        TScriptedDialogs dialogs;
        dialogs.OpenFiles.push_back(Q(xfaces));
        form->OnClick_Add();
        QTreeWidgetItem* node = TopNode(*form, "ofp_xfaces");
        QVERIFY(node);
        form->resize(1000, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->TreeView->setCurrentItem(node);
        // The pictures may lie in a folder of the archive.
        std::function<bool(QTreeWidgetItem*, const QString&)> findRow = [&](QTreeWidgetItem* n, const QString& ext) {
            form->TreeView->setCurrentItem(n);
            for (int r = 0; r < form->ListModel()->RowCount(); ++r)
                if (form->ListModel()->Cell(r, PbColumnName).toLower().endsWith(ext)) {
                    form->ListView->setCurrentIndex(form->ListModel()->index(r, 0));
                    return true;
                }
            for (int i = 0; i < n->childCount(); ++i)
                if (findRow(n->child(i), ext)) return true;
            return false;
        };
        QVERIFY(findRow(node, ".jpg"));
        QCOMPARE(form->PreviewPage(), int(PbPreviewTexture));
        QCOMPARE(form->Label_Texture_Type->text(), QStringLiteral("JPEG"));
        QVERIFY(!form->PaintBox_Texture->Picture().isNull());
        SaveScreenshot(form.get(), "pb-real-jpeg");
        QVERIFY(findRow(node, "stringtable.csv"));
        QCOMPARE(form->PreviewPage(), int(PbPreviewStringTable));
        QVERIFY(form->StringTableModel()->rowCount() > 2);
        SaveScreenshot(form.get(), "pb-real-stringtable");
        form->TreeView->setCurrentItem(node);
        form->OnClick_Remove();
        QVERIFY(!TopNode(*form, "ofp_xfaces"));
        QCOMPARE(list_->Count(), 0);
    }
};

MC_WINDOW_TEST_MAIN(PbFormTest)
#include "PbFormTest.moc"
