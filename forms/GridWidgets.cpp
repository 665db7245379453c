#include "GridWidgets.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>

namespace mc {

QTableView* MakeGrid(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->verticalHeader()->hide();
    // Uniform rows: the view never measures the cells of a large LOD.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void RefreshKeepingRow(QTableView* grid, const std::function<void()>& refresh)
{
    const int row = grid->currentIndex().row();
    refresh();
    if (row < 0) return;
    const QModelIndex index = grid->model()->index(std::min(row, grid->model()->rowCount() - 1), 0);
    QSignalBlocker block(grid->selectionModel());
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->viewport()->update();
}

}  // namespace mc
