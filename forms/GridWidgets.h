// Small builders the main window's pages share: grids over item models,
// named buttons, and refilling a grid without losing its row.
#pragma once

#include <functional>

class QAbstractItemModel;
class QPushButton;
class QString;
class QTableView;
class QWidget;

namespace mc {

// A read-only grid of whole rows over the model, with uniform row heights.
QTableView* MakeGrid(const char* name, QAbstractItemModel* model, QWidget* parent);
QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent);
// Refills a grid keeping its current row, without the row's selection
// handlers running again.
void RefreshKeepingRow(QTableView* grid, const std::function<void()>& refresh);

}  // namespace mc
