// The log window: the lines the program reports without interrupting the
// user (refused files, conversion warnings), with Save As, Clear and Close.
#pragma once

#include <QMainWindow>
#include <string>

class QAction;
class QMenu;
class QPlainTextEdit;
class QStatusBar;

namespace mc {

inline constexpr const char* kLogFilter = "Log files (*.log)|*.log|Any files (*.*)|*.*";

class TLogForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TLogForm(QWidget* parent = nullptr);
    ~TLogForm() override;

    // Becomes the target of the log, after the lines collected so far in
    // startupLines are copied in.
    void TakeOverLog(QPlainTextEdit* startupLines);

    QStringList Lines() const;
    // Writes every line to the file; false (with an error box) when it
    // cannot be written. The file there before is replaced only by a
    // complete new one.
    bool SaveLinesTo(const std::string& fileName);

    void OnClick_MenuItem_Log_SaveAs();
    void OnClick_MenuItem_Log_Clear();

    QPlainTextEdit* Memo_Log = nullptr;
    QStatusBar* StatusBar_Log = nullptr;
    QMenu* PopupMenu_Log = nullptr;
    QAction* MenuItem_Log_SaveAs = nullptr;
    QAction* MenuItem_Log_Clear = nullptr;
    QAction* MenuItem_Log_Close = nullptr;
};

// The program's log window while it exists.
inline TLogForm* LogForm = nullptr;

}  // namespace mc
