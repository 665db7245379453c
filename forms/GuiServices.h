// The application services bound to the windows: the status text goes to a
// panel of the main window's status bar, log lines to a line list (first the
// main window's hidden start-up memo, later the log window), messages to
// modal boxes, the busy cursor to the application's override cursor.
#pragma once

#include <QPointer>
#include <QStringList>

#include "Core/AppServices.h"

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace mc {

class TGuiServices : public IAppServices {
public:
    void AddLog(std::string_view line) override;
    void ShowStatus(std::string_view text) override;
    void ShowMessage(TMessageKind kind, std::string_view text) override;
    void BeginWait() override;
    void EndWait() override;
    void ShowProgress(uint64_t done, uint64_t total) override;

    // Registers or forgets the status panel; the window is repainted at
    // once with each text.
    void SetStatusPanel(QLabel* panel, QLabel* progressPanel = nullptr);
    void ClearStatusPanel();
    // Registers the line list that AddLog appends to.
    void SetLogLines(QPlainTextEdit* lines);
    QPlainTextEdit* LogLines() const;
    // The window message boxes are shown over.
    void SetMessageParent(QWidget* parent) { messageParent_ = parent; }

    bool Waiting() const { return waiting_; }

private:
    QPointer<QLabel> panel_, progressPanel_;
    QPointer<QPlainTextEdit> lines_;
    QPointer<QWidget> messageParent_;
    bool waiting_ = false;
};

// The program's one instance.
TGuiServices& GuiServices();

}  // namespace mc
