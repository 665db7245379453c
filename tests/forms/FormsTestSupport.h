// Shared helpers of the window tests: scripted standard dialogs, screenshots,
// the real data and demo game folders, and the test program's entry.
#pragma once

#include <QApplication>
#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "Dialogs.h"

namespace mc {
class TMainForm;
class TProgram;
}

namespace mc::test {

// Answers the standard dialogs from queues and records every call in order:
// "information: text", "warning: text", "error: text", "question: text",
// "folder: prompt", "open: title", "save: title", "color". A question
// without a scripted answer is cancelled.
class TScriptedDialogs : public TDialogs {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;

    void Message(QWidget* parent, TMessageKind kind, const QString& text, const QString& details) override;
    TAnswer Question(QWidget* parent, const QString& text) override;
    std::optional<QString> PickFolder(QWidget* parent, const QString& prompt, const QString& start) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultExt, const QString& start) override;
    std::optional<TSaveChoice> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& defaultExt, const QString& start) override;
    std::optional<QColor> PickColor(QWidget* parent, const QColor& start) override;

    // Only the message texts, in order.
    QStringList Messages() const;

    QStringList Calls;
    // The detailed text of each message box, in the order of the boxes.
    QStringList Details;
    QStringList FolderStarts;
    std::deque<TAnswer> Answers;
    std::deque<std::optional<QString>> Folders, OpenFiles;
    std::deque<std::optional<TSaveChoice>> SaveFiles;
    std::deque<std::optional<QColor>> Colors;
};

// The start-up work of the main window done at once, its boxes answered by
// dialogs (no MOD folder) and then forgotten, so that a test meets only the
// boxes of what it does.
void StartQuietly(TMainForm& form, TScriptedDialogs& dialogs);

// A program after its quiet start-up, its main window shown at 760 x 600;
// nullptr when the window was not exposed.
std::unique_ptr<TProgram> StartShownProgram(TScriptedDialogs& dialogs);

// Writes the widget's picture to <build>/screenshots/<name>.png.
void SaveScreenshot(QWidget* widget, const QString& name);

// Folder of real files made by others; empty when it is not there.
std::filesystem::path RealDataDir();
// The real file, or an empty path when it is absent.
std::filesystem::path RealFile(const std::string& relative);
// The demo game folder made by the build.
std::filesystem::path DemoGameDir();
// A fresh empty folder for one test.
std::filesystem::path TempDir(const std::string& name);
std::string FileText(const std::filesystem::path& path);

// Closes modal message boxes and file dialogs as they appear, recording
// the message texts (real dialogs, as a user would meet them).
class TModalCloser : public QObject {
public:
    // With a prefix, the screen is saved as <prefix>-<n> before each close.
    explicit TModalCloser(const QString& screenshotPrefix = {});
    QStringList Texts;
    QStringList Kinds;

private:
    void Check();
    QString prefix_;
    QPointer<QWidget> seen_;
    int ticks_ = 0;
};

// Runs the test object with a platform that works without a display.
int RunWindowTests(int argc, char** argv, QObject& test);

}  // namespace mc::test

#define MC_WINDOW_TEST_MAIN(TestClass)                            \
    int main(int argc, char** argv)                               \
    {                                                             \
        TestClass test;                                           \
        return mc::test::RunWindowTests(argc, argv, test);        \
    }
