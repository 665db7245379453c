#include "Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace mc {

namespace {

TDialogs g_standard;
TDialogs* g_dialogs = nullptr;

}  // namespace

TDialogs& Dialogs() { return g_dialogs ? *g_dialogs : g_standard; }
void SetDialogs(TDialogs* dialogs) { g_dialogs = dialogs; }

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; keep the text when it
        // already names them.
        if (!text.contains(QLatin1Char('('))) text += QStringLiteral(" (%1)").arg(patterns);
        result << text;
    }
    return result;
}

QString WithDefaultExt(const QString& fileName, const QString& defaultExt)
{
    if (defaultExt.isEmpty() || !QFileInfo(fileName).suffix().isEmpty()) return fileName;
    return fileName + QLatin1Char('.') + defaultExt;
}

void TDialogs::Message(QWidget* parent, TMessageKind kind, const QString& text, const QString& details)
{
    const QMessageBox::Icon icon = kind == TMessageKind::Information ? QMessageBox::Information
                                   : kind == TMessageKind::Warning   ? QMessageBox::Warning
                                                                     : QMessageBox::Critical;
    const QString title = kind == TMessageKind::Information ? QStringLiteral("Information")
                          : kind == TMessageKind::Warning   ? QStringLiteral("Warning")
                                                            : QStringLiteral("Error");
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
}

TAnswer TDialogs::Question(QWidget* parent, const QString& text)
{
    const auto button = QMessageBox::question(parent, QStringLiteral("Confirm"), text,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    return button == QMessageBox::Yes ? TAnswer::Yes : button == QMessageBox::No ? TAnswer::No : TAnswer::Cancel;
}

std::optional<QString> TDialogs::PickFolder(QWidget* parent, const QString& prompt, const QString& start)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, prompt, start, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> TDialogs::OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                          const QString& defaultExt, const QString& start)
{
    QFileDialog dialog(parent, title, start);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

std::optional<TSaveChoice> TDialogs::SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                              const QString& defaultExt, const QString& start)
{
    QFileDialog dialog(parent, title, start);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    TSaveChoice choice;
    choice.FileName = QDir::toNativeSeparators(dialog.selectedFiles().front());
    choice.FilterIndex = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return choice;
}

std::optional<QColor> TDialogs::PickColor(QWidget* parent, const QColor& start)
{
    const QColor color = QColorDialog::getColor(start, parent);
    if (!color.isValid()) return std::nullopt;
    return color;
}

}  // namespace mc
