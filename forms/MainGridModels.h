// The grids of the main window as table models over the current LOD (or the
// model), so that a LOD of any size fills at once: cells are formatted only
// when the view draws them. Column 0 shows the 0-based index of the row's
// item; an empty list leaves one blank row.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace mc {

class TLOD;
class TModel;

class TLODGridModel : public QAbstractTableModel {
public:
    TLODGridModel(QStringList headers, QObject* parent);

    void SetLOD(const TLOD* lod);
    const TLOD* LOD() const { return lod_; }
    // Rebuilds the view after the LOD's items changed.
    void Refresh();
    // Repaints the marks after the LOD's selection changed.
    void RefreshMarks();

    // Items of the current LOD shown by this grid.
    virtual int ItemCount() const = 0;
    // The text of a cell of column 1 or later for an item.
    virtual QString Cell(int item, int column) const = 0;
    // Items selected in the LOD (by the model view) get a marked background.
    virtual bool ItemMarked(int item) const { return false; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    const TLOD* lod_ = nullptr;

private:
    QStringList headers_;
};

// "" "x" "y" "z": coordinates with "%.3f".
class TVerticesGridModel : public TLODGridModel {
public:
    explicit TVerticesGridModel(QObject* parent);
    int ItemCount() const override;
    QString Cell(int item, int column) const override;
    bool ItemMarked(int item) const override;
};

// "" "1" "2" "3" "4" "flags" "texture".
class TPolygonsGridModel : public TLODGridModel {
public:
    explicit TPolygonsGridModel(QObject* parent);
    int ItemCount() const override;
    QString Cell(int item, int column) const override;
    bool ItemMarked(int item) const override;
};

// "" "name" "flags" "ext.flags": only the name is filled.
class TTexturesGridModel : public TLODGridModel {
public:
    explicit TTexturesGridModel(QObject* parent);
    int ItemCount() const override;
    QString Cell(int item, int column) const override;
};

// "" "name" "value": the named properties.
class TPropertiesGridModel : public TLODGridModel {
public:
    explicit TPropertiesGridModel(QObject* parent);
    int ItemCount() const override;
    QString Cell(int item, int column) const override;
};

// "name" "type" "value": the 16 model-wide rows (grid rows 1 to 16; the
// model's row r is grid row r + 1). Without a model one blank row.
class TGeneralGridModel : public QAbstractTableModel {
public:
    static constexpr int kRows = 16;
    static constexpr int kFirstSpecialRow = 5;  // grid row of special slot 0
    static constexpr int kLastSpecialSlot = 11;

    explicit TGeneralGridModel(QObject* parent);
    void SetModel(const TModel* model);
    void Refresh();

    // The text of a cell by grid row (1..16) and column (0..2).
    QString Cell(int gridRow, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TModel* model_ = nullptr;
};

// "%s (%d)" with a LOD's resolution name and index: the LOD entries of the
// general grid and its LOD list.
QString LODEntryText(const TModel& model, int index);
// The LOD assigned to a special slot as the model keeps it: slots 0 to 10;
// slot 11 always reads as unassigned.
int AssignedSpecialLOD(const TModel& model, int slot);

}  // namespace mc
