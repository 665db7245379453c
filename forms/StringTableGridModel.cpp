#include "StringTableGridModel.h"

#include <QBrush>
#include <QFont>
#include <QPalette>
#include <algorithm>

#include "Config/StringTable.h"
#include "QtText.h"

namespace mc {

TStringTableGridModel::TStringTableGridModel(QObject* parent) : QAbstractTableModel(parent) {}

TStringTableGridModel::~TStringTableGridModel() = default;

void TStringTableGridModel::SetTable(std::unique_ptr<TStringTable> table)
{
    beginResetModel();
    table_ = std::move(table);
    size_t widest = 1;
    if (table_) {
        widest = std::max(widest, table_->Languages.size() + 1);
        for (const auto& row : table_->Rows) widest = std::max(widest, row.Cells.size() + 1);
    }
    columns_ = static_cast<int>(std::max<size_t>(widest, 2));
    endResetModel();
}

QString TStringTableGridModel::Cell(int row, int column) const
{
    if (!table_ || column < 0 || row < 0) return {};
    const auto cell = [&](const std::vector<std::string>& cells, int k) -> QString {
        return k >= 0 && k < static_cast<int>(cells.size()) ? ToQString(cells[static_cast<size_t>(k)]) : QString();
    };
    if (row == 0) {
        if (column == 0) return table_->Languages.empty() ? QString() : QStringLiteral("LANGUAGE");
        return cell(table_->Languages, column - 1);
    }
    if (row - 1 >= table_->RowCount()) return {};
    const auto& entry = table_->Rows[static_cast<size_t>(row - 1)];
    return column == 0 ? ToQString(entry.Key) : cell(entry.Cells, column - 1);
}

int TStringTableGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return std::max(2, table_ ? table_->RowCount() + 1 : 2);
}

int TStringTableGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant TStringTableGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const bool fixed = index.row() == 0 || index.column() == 0;
    switch (role) {
    case Qt::DisplayRole: return Cell(index.row(), index.column());
    case Qt::BackgroundRole: return fixed ? QVariant(QPalette().brush(QPalette::Button)) : QVariant();
    case Qt::FontRole:
        if (index.row() == 0) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default: return {};
    }
}

}  // namespace mc
