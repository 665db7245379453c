// A string table as a grid: row 0 names the columns (the header row of the
// file), then one row per key with the key in column 0 and its texts. The
// column count grows to the longest row; an empty table leaves two columns
// and two empty rows.
#pragma once

#include <QAbstractTableModel>
#include <memory>

namespace mc {

class TStringTable;

class TStringTableGridModel : public QAbstractTableModel {
public:
    explicit TStringTableGridModel(QObject* parent);
    ~TStringTableGridModel() override;

    // Takes the table (nullptr: the empty grid).
    void SetTable(std::unique_ptr<TStringTable> table);
    const TStringTable* Table() const { return table_.get(); }
    QString Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::unique_ptr<TStringTable> table_;
    int columns_ = 2;
};

}  // namespace mc
