#include "PbListModel.h"

#include "Archive/PbFile.h"
#include "PbFileTypes.h"
#include "PbIcons.h"
#include "QtText.h"
#include "Core/Strings.h"

namespace mc {

namespace {
const char* const kHeaders[PbColumnCount] = {"Name", "Type", "Size", "Original Size", "Modified", "Attributes"};
const int kWidths[PbColumnCount] = {150, 100, 70, 70, 110, 70};
}  // namespace

int PbColumnWidth(int column) { return column >= 0 && column < PbColumnCount ? kWidths[column] : 0; }

TPbListModel::TPbListModel(const TPbIconList& icons, QObject* parent) : QAbstractTableModel(parent), icons_(icons) {}

void TPbListModel::SetFolder(const TPbDirectory* folder)
{
    beginResetModel();
    folder_ = folder;
    rows_.clear();
    if (folder) {
        const int n = folder->Items.Count();
        rows_.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            if (folder->Items.Object(i)->IsDirectory()) rows_.push_back(folder->Items.Object(i));
        for (int i = 0; i < n; ++i)
            if (folder->Items.Object(i)->IsFile()) rows_.push_back(folder->Items.Object(i));
    }
    endResetModel();
}

TPbItem* TPbListModel::Item(int row) const
{
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)] : nullptr;
}

QString TPbListModel::Cell(int row, int column) const
{
    const TPbItem* item = Item(row);
    if (!item) return {};
    if (item->IsDirectory()) {
        if (column == PbColumnName) return ToQString(item->Name);
        if (column == PbColumnType) return QStringLiteral("File Folder");
        return {};
    }
    const auto* file = static_cast<const TPbFileItem*>(item);
    switch (column) {
    case PbColumnName: return ToQString(PbFileNamePart(file->Name));
    case PbColumnType: return QString::fromStdString(PbFileType(file->Name).Text);
    case PbColumnSize: return QString::number(file->DataSize);
    case PbColumnOriginalSize: return file->IsPacked() ? QString::number(file->OriginalSize) : QString();
    case PbColumnModified: return QString::fromStdString(file->ModifiedText());
    case PbColumnAttributes: return file->IsPacked() ? QStringLiteral("packed") : QString();
    default: return {};
    }
}

int TPbListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : RowCount(); }

int TPbListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : PbColumnCount; }

QVariant TPbListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole: return Cell(index.row(), index.column());
    case Qt::DecorationRole: {
        if (index.column() != PbColumnName) return {};
        const TPbItem* item = Item(index.row());
        if (!item) return {};
        if (item->IsDirectory()) {
            const bool addOn = item->Owner && StartsWithBackslash(item->Owner->Name);
            return icons_.Icon(addOn ? PbIconAddOnFolder : PbIconGameFolder);
        }
        return icons_.Icon(PbFileType(item->Name).Icon);
    }
    case Qt::TextAlignmentRole:
        if (index.column() == PbColumnSize || index.column() == PbColumnOriginalSize)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

QVariant TPbListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= PbColumnCount) return {};
    // Headers stay left-aligned so that a narrow column keeps the start of its name.
    if (role == Qt::DisplayRole) return QString::fromLatin1(kHeaders[section]);
    return {};
}

}  // namespace mc
