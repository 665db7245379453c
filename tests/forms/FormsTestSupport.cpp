#include "FormsTestSupport.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "Main_F.h"
#include "ProgramWindows.h"

namespace mc::test {

namespace fs = std::filesystem;

namespace {

template <class T>
std::optional<T> TakeFront(std::deque<std::optional<T>>& queue)
{
    std::optional<T> answer;
    if (!queue.empty()) {
        answer = std::move(queue.front());
        queue.pop_front();
    }
    return answer;
}

}  // namespace

TScriptedDialogs::TScriptedDialogs() { SetDialogs(this); }
TScriptedDialogs::~TScriptedDialogs() { SetDialogs(nullptr); }

void TScriptedDialogs::Message(QWidget*, TMessageKind kind, const QString& text, const QString& details)
{
    const char* name = kind == TMessageKind::Information ? "information" : kind == TMessageKind::Warning ? "warning" : "error";
    Calls << QStringLiteral("%1: %2").arg(QString::fromLatin1(name), text);
    Details << details;
}

TAnswer TScriptedDialogs::Question(QWidget*, const QString& text)
{
    Calls << QStringLiteral("question: %1").arg(text);
    if (Answers.empty()) return TAnswer::Cancel;
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<QString> TScriptedDialogs::PickFolder(QWidget*, const QString& prompt, const QString& start)
{
    Calls << QStringLiteral("folder: %1").arg(prompt);
    FolderStarts << start;
    return TakeFront(Folders);
}

std::optional<QString> TScriptedDialogs::OpenFile(QWidget*, const QString& title, const QString&, const QString&,
                                                  const QString&)
{
    Calls << QStringLiteral("open: %1").arg(title);
    return TakeFront(OpenFiles);
}

std::optional<TSaveChoice> TScriptedDialogs::SaveFile(QWidget*, const QString& title, const QString&, const QString&,
                                                      const QString&)
{
    Calls << QStringLiteral("save: %1").arg(title);
    return TakeFront(SaveFiles);
}

std::optional<QColor> TScriptedDialogs::PickColor(QWidget*, const QColor&)
{
    Calls << QStringLiteral("color");
    return TakeFront(Colors);
}

QStringList TScriptedDialogs::Messages() const
{
    QStringList texts;
    for (const QString& call : Calls)
        if (call.startsWith(QLatin1String("information: ")) || call.startsWith(QLatin1String("warning: ")) ||
            call.startsWith(QLatin1String("error: ")))
            texts << call.mid(call.indexOf(QLatin1String(": ")) + 2);
    return texts;
}

void StartQuietly(TMainForm& form, TScriptedDialogs& dialogs)
{
    dialogs.Folders.push_front(std::nullopt);  // no MOD folder
    form.FirstActivation();
    dialogs.Calls.clear();
    dialogs.Details.clear();
    dialogs.FolderStarts.clear();
}

std::unique_ptr<TProgram> StartShownProgram(TScriptedDialogs& dialogs)
{
    auto program = std::make_unique<TProgram>();
    TMainForm& form = program->MainWindow();
    StartQuietly(form, dialogs);
    form.resize(760, 600);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return nullptr;
    return program;
}

void SaveScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = QStringLiteral(MESHCRAFT_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    QApplication::processEvents();
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

fs::path RealDataDir()
{
    const fs::path dir(MESHCRAFT_REALDATA);
    std::error_code ec;
    return fs::is_directory(dir, ec) ? dir : fs::path();
}

fs::path RealFile(const std::string& relative)
{
    const fs::path dir = RealDataDir();
    if (dir.empty()) return {};
    std::error_code ec;
    const fs::path file = dir / relative;
    return fs::is_regular_file(file, ec) ? file : fs::path();
}

fs::path DemoGameDir() { return fs::path(MESHCRAFT_DEMO_GAME_DIR); }

fs::path TempDir(const std::string& name)
{
    const fs::path dir = fs::temp_directory_path() / ("meshcraft-forms-" + std::to_string(QCoreApplication::applicationPid())) / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    return dir;
}

std::string FileText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TModalCloser::TModalCloser(const QString& screenshotPrefix) : prefix_(screenshotPrefix)
{
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TModalCloser::Check);
    timer->start(50);
}

void TModalCloser::Check()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    // A new box is left alone for a few ticks, until it is mapped and painted
    // (a file dialog takes a while to list its folder).
    if (modal != seen_) {
        seen_ = modal;
        ticks_ = 0;
        return;
    }
    if (++ticks_ < 4) return;
    seen_ = nullptr;
    if (!prefix_.isEmpty()) {
        // The whole screen, as the user sees the box over the main window.
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        const QString dir = QStringLiteral(MESHCRAFT_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        (screen.isNull() ? modal->grab() : screen)
            .save(QStringLiteral("%1/%2-%3.png").arg(dir, prefix_).arg(Texts.size() + 1));
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        Kinds << box->windowTitle();
        Texts << box->text();
        box->accept();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        Kinds << modal->metaObject()->className();
        Texts << dialog->windowTitle();
        dialog->reject();
    }
}

int RunWindowTests(int argc, char** argv, QObject& test)
{
    // Without a display (no xvfb-run) the offscreen platform still runs the
    // windows.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    return QTest::qExec(&test, argc, argv);
}

}  // namespace mc::test
