// The archive manager's list: the rows of one archive folder, sub-folders
// first, then its files, each in key order. Cells are formatted only when
// the view draws them, so that a folder of any size fills at once.
#pragma once

#include <QAbstractTableModel>
#include <vector>

namespace mc {

class TPbDirectory;
class TPbIconList;
class TPbItem;

enum TPbListColumn : int {
    PbColumnName = 0,
    PbColumnType,
    PbColumnSize,
    PbColumnOriginalSize,
    PbColumnModified,
    PbColumnAttributes,
    PbColumnCount,
};

class TPbListModel : public QAbstractTableModel {
public:
    TPbListModel(const TPbIconList& icons, QObject* parent);

    // Shows the folder's items (nullptr: none).
    void SetFolder(const TPbDirectory* folder);
    const TPbDirectory* Folder() const { return folder_; }
    // The item a row carries; nullptr outside the rows.
    TPbItem* Item(int row) const;
    int RowCount() const { return static_cast<int>(rows_.size()); }

    // The text of a cell as the list shows it.
    QString Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TPbIconList& icons_;
    const TPbDirectory* folder_ = nullptr;
    std::vector<TPbItem*> rows_;
};

// Widths of the list's columns: 150, 100, 70, 70, 110, 70.
int PbColumnWidth(int column);

}  // namespace mc
