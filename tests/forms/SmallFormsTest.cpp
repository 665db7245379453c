// The log window, the about box, the add-on options with "Make AddOn", and
// the alpha-channel dialog.
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "AOptions_F.h"
#include "About_F.h"
#include "AlphaColor_F.h"
#include "Archive/PbFile.h"
#include "Archive/PbList.h"
#include "Game/GameData.h"
#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "FormsTestSupport.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "Main_F.h"
#include "ProgramWindows.h"
#include "jpeg/TurboJpegDecoder.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {
QString Q(const fs::path& p) { return QString::fromStdString(PathToUtf8(p)); }
}  // namespace

class SmallFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TProgram> program_;
    TMainForm* main_ = nullptr;
    TScriptedDialogs* dialogs_ = nullptr;
    fs::path game_;

private slots:
    void init()
    {
        game_ = TempDir("game");
        fs::create_directories(game_ / "AddOns");
        qputenv("MESHCRAFT_GAME_DIR", Q(game_).toUtf8());
        dialogs_ = new TScriptedDialogs;
        // The start-up work is not done: the main window is never shown.
        program_ = std::make_unique<TProgram>();
        main_ = &program_->MainWindow();
    }

    void cleanup()
    {
        main_ = nullptr;
        program_.reset();
        delete dialogs_;
    }

    void logKeepsStartupLinesFirstAndSaves()
    {
        AddLog("later than creation");
        LogForm->TakeOverLog(main_->findChild<QPlainTextEdit*>(QStringLiteral("Memo_StartupLog")));
        AddLog("after the take-over");
        const QStringList lines = LogForm->Lines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Flashpoint detected at \"%1\"").arg(Q(game_)));
        QCOMPARE(lines[1], QStringLiteral("later than creation"));
        QCOMPARE(lines[2], QStringLiteral("after the take-over"));

        const fs::path saved = TempDir("log") / "run.log";
        dialogs_->SaveFiles.push_back(TSaveChoice{Q(saved.parent_path() / "run"), 0});
        LogForm->MenuItem_Log_SaveAs->trigger();
        QCOMPARE(FileText(saved), "Flashpoint detected at \"" + PathToUtf8(game_) +
                                      "\"\nlater than creation\nafter the take-over\n");

        LogForm->MenuItem_Log_Clear->trigger();
        QVERIFY(LogForm->SaveLinesTo(PathToUtf8(saved)));
        QCOMPARE(FileText(saved), std::string());
        QVERIFY(!LogForm->SaveLinesTo(PathToUtf8(saved.parent_path() / "no" / "x.log")));
        QCOMPARE(dialogs_->Messages().size(), 1);
    }

    void aboutBoxShowsVersionSystemAndMemory()
    {
        QCOMPARE(AboutForm->windowTitle(), QStringLiteral("About Meshcraft"));
        QCOMPARE(AboutForm->Label_Version->text(), QStringLiteral("Version 0.28"));
        QCOMPARE(AboutForm->Label_MemoryCaption->text(), QStringLiteral("Phis.Mem. (Total/Avail.), Kb:"));
        QVERIFY(!AboutForm->Label_OS->text().isEmpty());
        QVERIFY(!AboutForm->Label_OS->text().contains(QLatin1Char('\r')));
        QVERIFY(AboutForm->Label_Memory->text().contains(QStringLiteral(" / ")));
        QCOMPARE(MemoryText(524288ull * 1024, 123456ull * 1024 + 1023, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("524,288 / 123,456"));
        QCOMPARE(MemoryText(524288ull * 1024, 123456ull * 1024, QLocale(QLocale::German, QLocale::Germany)),
                 QStringLiteral("524.288 / 123.456"));
        QTimer::singleShot(0, [] {
            SaveScreenshot(AboutForm, QStringLiteral("about-box"));
            AboutForm->Button_OK->click();
        });
        main_->Action("MenuItem_Help_About")->trigger();
        QVERIFY(!AboutForm->isVisible());
    }

    void addOnOptionsAndMakeAddOn()
    {
        // Source: a.txt and sub/b.p3d (upper-case name kept).
        const fs::path source = TempDir("addon-src");
        fs::create_directories(source / "sub");
        std::ofstream(source / "a.txt") << "hello";
        std::ofstream(source / "sub" / "B.p3d") << "model";

        TAOptionsForm& options = *AOptionsForm;
        QVERIFY(!options.Button_OK->isEnabled());
        QVERIFY(options.CheckBox_Recursive->isChecked());
        QVERIFY(options.CheckBox_AddToPbManager->isChecked());
        options.Edit_AddOnName->setText(QStringLiteral(" myaddon "));
        QVERIFY(!options.Button_OK->isEnabled());
        QCOMPARE(options.Edit_DstFile->text(), Q(game_ / "AddOns" / "myaddon.pbo"));
        QCOMPARE(options.Edit_SrcFiles->text(), QString());
        dialogs_->Folders.push_back(Q(source) + QLatin1Char('/'));
        QTest::mouseClick(options.Button_BrowseSrcFlder, Qt::LeftButton);
        QCOMPARE(dialogs_->Calls.back(), QStringLiteral("folder: Select source files folder:"));
        QVERIFY(options.Button_OK->isEnabled());
        QCOMPARE(options.Edit_SrcFiles->text(), Q(source / "*.*"));

        QVERIFY(!main_->Action("MenuItem_File_MakeAddOn")->isEnabled());
        QTimer::singleShot(0, [] {
            SaveScreenshot(AOptionsForm, QStringLiteral("addon-options"));
            AOptionsForm->Button_OK->click();
        });
        main_->Action("MenuItem_View_AddOnOptions")->trigger();
        QVERIFY(main_->Action("MenuItem_File_MakeAddOn")->isEnabled());
        QCOMPARE(options.Options().SourceFolder, PathToUtf8(source));
        QCOMPARE(options.Options().DestFile, PathToUtf8(game_ / "AddOns" / "myaddon.pbo"));

        dialogs_->Calls.clear();
        main_->Action("MenuItem_File_MakeAddOn")->trigger();
        QCOMPARE(dialogs_->Messages(), QStringList{"OK Created"});
        TPbFile archive;
        QVERIFY(archive.Open(PathToUtf8(game_ / "AddOns" / "myaddon.pbo")));
        QCOMPARE(int(archive.Entries().size()), 2);
        QCOMPARE(archive.Entries()[0]->Name, std::string("a.txt"));
        QCOMPARE(archive.Entries()[1]->Name, std::string("sub\\B.p3d"));
        // Listed as a game archive because of "Add to Pb-manager".
        QVERIFY(main_->Game().PbList.ArchiveByKey("myaddon"));

        // Cancel turns "Make AddOn" off again.
        QTimer::singleShot(0, [] { AOptionsForm->Button_Cancel->click(); });
        main_->Action("MenuItem_View_AddOnOptions")->trigger();
        QVERIFY(!main_->Action("MenuItem_File_MakeAddOn")->isEnabled());
    }

    void alphaSliderEditAndPreview()
    {
        TAlphaColorForm& form = *AlphaColorForm;
        QCOMPARE(form.AlphaValue, 255);
        QCOMPARE(AlphaFromSliderX(2, 264), 0);
        QCOMPARE(AlphaFromSliderX(4, 264), 0);
        QCOMPARE(AlphaFromSliderX(100, 264), 96);
        QCOMPARE(AlphaFromSliderX(259, 264), 255);
        QCOMPARE(AlphaFromSliderX(260, 264), 255);
        QCOMPARE(AlphaFromSliderX(400, 264), 255);

        form.Refresh();
        QTest::mouseClick(form.PaintBox_Value, Qt::LeftButton, {}, QPoint(100, 20));
        QCOMPARE(form.AlphaValue, 96);
        QCOMPARE(form.Edit_Value->text(), QStringLiteral("96"));
        QTest::mouseClick(form.PaintBox_Value, Qt::LeftButton, {}, QPoint(2, 20));
        QCOMPARE(form.AlphaValue, 0);

        form.Edit_Value->setText(QStringLiteral("300"));
        QVERIFY(!form.CheckEditValue());
        QCOMPARE(dialogs_->Messages(), QStringList{"Value from range 0..255 expected!"});
        QCOMPARE(form.AlphaValue, 0);
        form.Edit_Value->setText(QStringLiteral(" x1 "));
        QVERIFY(!form.CheckEditValue());
        QCOMPARE(dialogs_->Messages().back(), QStringLiteral("Integer value expected instead of \"x1\" !"));
        form.Edit_Value->setText(QStringLiteral(" 200 "));
        QVERIFY(form.CheckEditValue());
        QCOMPARE(form.AlphaValue, 200);
        QCOMPARE(form.AlphaColor(), 0x00C8C8C8u);
        form.SetAlpha(0x00808080);
        QCOMPARE(form.AlphaValue, 0x80);

        // Preview: alpha 0 is the background alone, 255 the foreground in
        // its 96 x 96 corner.
        QImage background(128, 128, QImage::Format_RGB32), foreground(96, 96, QImage::Format_RGB32);
        background.fill(qRgb(0, 0, 200));
        foreground.fill(qRgb(250, 100, 0));
        QCOMPARE(BlendAlphaPreview(background, foreground, 0), background);
        const QImage full = BlendAlphaPreview(background, foreground, 255);
        QCOMPARE(full.pixel(95, 95), qRgb(250, 100, 0));
        QCOMPARE(full.pixel(96, 96), qRgb(0, 0, 200));
        QCOMPARE(BlendAlphaPreview(background, foreground, 128).pixel(10, 10), qRgb(125, 50, 99));

        form.SetForeground(0x000000FF);  // red
        QCOMPARE(form.Image_Foreground.pixel(0, 0), qRgb(255, 0, 0));
        bool inverse = false;  // the text in cyan
        for (int y = 10; y < 30 && !inverse; ++y)
            for (int x = 10; x < 60 && !inverse; ++x) inverse = form.Image_Foreground.pixel(x, y) == qRgb(0, 255, 255);
        QVERIFY(inverse);
        QTest::mouseClick(form.Button_Default, Qt::LeftButton);
        QCOMPARE(form.Image_Foreground.pixel(0, 0), qRgb(255, 255, 255));
    }

    void jpegPicturesDecodeAndHugeHeadersAreRefused()
    {
        QImage picture(24, 16, QImage::Format_RGB32);
        picture.fill(qRgb(200, 40, 10));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(picture.save(&buffer, "JPEG", 95));
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());

        const auto bitmap = TTurboJpegDecoder().Decode(data, size_t(bytes.size()));
        QVERIFY(bitmap);
        QCOMPARE(bitmap->Width, 24);
        QCOMPARE(bitmap->Height, 16);
        QCOMPARE(bitmap->Stride, size_t(72));
        QVERIFY(std::abs(int(bitmap->Pixels[2]) - 200) < 8);  // red is the third byte
        QVERIFY(std::abs(int(bitmap->Pixels[0]) - 10) < 8);

        // The same few hundred bytes claiming 2000 x 2000 pixels (16 MB if
        // believed), and 8000 x 8000.
        const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(sof > 0);
        for (const int side : {2000, 8000}) {
            QByteArray huge = bytes;
            for (int at : {5, 7}) {  // height, then width, big-endian
                huge[sof + at] = char(side >> 8);
                huge[sof + at + 1] = char(side & 0xFF);
            }
            QVERIFY(!TTurboJpegDecoder().Decode(reinterpret_cast<const uint8_t*>(huge.constData()), size_t(huge.size())));
        }
        QVERIFY(!TTurboJpegDecoder().Decode(data, 10));
    }
};

MC_WINDOW_TEST_MAIN(SmallFormsTest)
#include "SmallFormsTest.moc"
