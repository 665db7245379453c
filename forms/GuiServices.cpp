#include "GuiServices.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "Dialogs.h"
#include "QtText.h"

namespace mc {

TGuiServices& GuiServices()
{
    static TGuiServices services;
    return services;
}

void TGuiServices::AddLog(std::string_view line)
{
    if (lines_) lines_->appendPlainText(ToQString(line));
}

void TGuiServices::ShowStatus(std::string_view text)
{
    if (!panel_) return;
    panel_->setText(ToQString(text));
    if (text.empty() && progressPanel_) progressPanel_->clear();
    // Seen during long work that does not return to the event loop.
    if (QWidget* window = panel_->window()) window->repaint();
}

void TGuiServices::ShowMessage(TMessageKind kind, std::string_view text)
{
    QWidget* parent = messageParent_ ? messageParent_.data() : QApplication::activeWindow();
    Dialogs().Message(parent, kind, MessageText(text));
}

void TGuiServices::BeginWait()
{
    if (waiting_) return;
    waiting_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TGuiServices::EndWait()
{
    if (!waiting_) return;
    waiting_ = false;
    QApplication::restoreOverrideCursor();
}

void TGuiServices::ShowProgress(uint64_t done, uint64_t total)
{
    if (!progressPanel_) return;
    const int percent = total ? static_cast<int>(done * 100 / total) : 0;
    progressPanel_->setText(done >= total ? QString() : QStringLiteral("%1%").arg(percent));
    progressPanel_->repaint();
}

void TGuiServices::SetStatusPanel(QLabel* panel, QLabel* progressPanel)
{
    panel_ = panel;
    progressPanel_ = progressPanel;
}

void TGuiServices::ClearStatusPanel()
{
    panel_ = nullptr;
    progressPanel_ = nullptr;
}

void TGuiServices::SetLogLines(QPlainTextEdit* lines) { lines_ = lines; }

QPlainTextEdit* TGuiServices::LogLines() const { return lines_.data(); }

}  // namespace mc
