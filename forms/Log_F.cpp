#include "Log_F.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>

#include "Core/AppServices.h"
#include "Core/SafeSave.h"
#include "Core/Strings.h"
#include "Dialogs.h"
#include "GuiServices.h"
#include "QtText.h"
#include "sysinfo/SysInfo.h"

namespace mc {

namespace {

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

}  // namespace

TLogForm::TLogForm(QWidget* parent) : QMainWindow(parent)
{
    LogForm = this;
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Log"));
    resize(560, 360);

    Memo_Log = new QPlainTextEdit(this);
    Memo_Log->setObjectName(QStringLiteral("Memo_Log"));
    Memo_Log->setReadOnly(true);
    Memo_Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_Log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_Log->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(Memo_Log);

    StatusBar_Log = statusBar();
    StatusBar_Log->setObjectName(QStringLiteral("StatusBar_Log"));

    PopupMenu_Log = new QMenu(this);
    PopupMenu_Log->setObjectName(QStringLiteral("PopupMenu_Log"));
    MenuItem_Log_SaveAs = PopupMenu_Log->addAction(QStringLiteral("Save &As"));
    MenuItem_Log_SaveAs->setObjectName(QStringLiteral("MenuItem_Log_SaveAs"));
    MenuItem_Log_Clear = PopupMenu_Log->addAction(QStringLiteral("&Clear"));
    MenuItem_Log_Clear->setObjectName(QStringLiteral("MenuItem_Log_Clear"));
    MenuItem_Log_Close = PopupMenu_Log->addAction(QStringLiteral("&Close"));
    MenuItem_Log_Close->setObjectName(QStringLiteral("MenuItem_Log_Close"));
    connect(Memo_Log, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_Log->popup(Memo_Log->viewport()->mapToGlobal(at)); });
    connect(MenuItem_Log_SaveAs, &QAction::triggered, this, &TLogForm::OnClick_MenuItem_Log_SaveAs);
    connect(MenuItem_Log_Clear, &QAction::triggered, this, &TLogForm::OnClick_MenuItem_Log_Clear);
    connect(MenuItem_Log_Close, &QAction::triggered, this, &QWidget::close);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TLogForm::~TLogForm()
{
    if (GuiServices().LogLines() == Memo_Log) GuiServices().SetLogLines(nullptr);
    if (LogForm == this) LogForm = nullptr;
}

void TLogForm::TakeOverLog(QPlainTextEdit* startupLines)
{
    if (startupLines) {
        const QString text = startupLines->toPlainText();
        if (!text.isEmpty()) Memo_Log->appendPlainText(text);
    }
    GuiServices().SetLogLines(Memo_Log);
}

QStringList TLogForm::Lines() const
{
    QStringList lines;
    for (QTextBlock block = Memo_Log->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    // An empty document still has one empty block.
    if (lines.size() == 1 && lines.front().isEmpty()) lines.clear();
    return lines;
}

bool TLogForm::SaveLinesTo(const std::string& fileName)
{
    const QStringList lines = Lines();
    std::string error;
    const bool saved = SaveFileSafely(
        fileName,
        [&](TStream& stream) {
            for (const QString& line : lines) {
                const std::string text = FromQString(line) + kLineEnd;
                if (stream.Write(text.data(), text.size()) != text.size()) return false;
            }
            return true;
        },
        &error);
    if (!saved) ShowMessage(TMessageKind::Error, Format("Cannot save \"%s\": %s", fileName.c_str(), error.c_str()));
    return saved;
}

void TLogForm::OnClick_MenuItem_Log_SaveAs()
{
    const auto choice = Dialogs().SaveFile(this, QStringLiteral("Save Log"), QString::fromLatin1(kLogFilter),
                                           QStringLiteral("log"), ToQString(GetProgramFolder()));
    if (choice) SaveLinesTo(FromQString(WithDefaultExt(choice->FileName, QStringLiteral("log"))));
}

void TLogForm::OnClick_MenuItem_Log_Clear() { Memo_Log->clear(); }

}  // namespace mc
