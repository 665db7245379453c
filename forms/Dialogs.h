// The standard dialogs the windows ask the user with: message boxes, file
// and folder pickers, the colour dialog. One object serves the whole program;
// tests put a scripted one in its place.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "Core/AppServices.h"

class QWidget;

namespace mc {

struct TSaveChoice {
    QString FileName;
    int FilterIndex = 0;  // 0-based position in the filter list
};

enum class TAnswer { Yes, No, Cancel };

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A modal box with one OK button; details, when given, can be unfolded.
    virtual void Message(QWidget* parent, TMessageKind kind, const QString& text, const QString& details = {});
    // A question with Yes, No and Cancel; closing the box cancels.
    virtual TAnswer Question(QWidget* parent, const QString& text);
    // A folder picker; nothing when cancelled.
    virtual std::optional<QString> PickFolder(QWidget* parent, const QString& prompt, const QString& start);
    // Filters in the form "Text (*.ext)|*.ext|...".
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                            const QString& defaultExt, const QString& start = {});
    // Asks before overwriting an existing file.
    virtual std::optional<TSaveChoice> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                                const QString& defaultExt, const QString& start = {});
    // Colour dialog with every colour available; nothing when cancelled.
    virtual std::optional<QColor> PickColor(QWidget* parent, const QColor& start);
};

// The program's dialogs; SetDialogs(nullptr) restores the standard ones.
TDialogs& Dialogs();
void SetDialogs(TDialogs* dialogs);

// "Text (*.a)|*.a|Other (*.*)|*.*" as Qt's name filters.
QStringList QtNameFilters(const QString& filter);
// The file name with defaultExt appended when it has no extension.
QString WithDefaultExt(const QString& fileName, const QString& defaultExt);

}  // namespace mc
