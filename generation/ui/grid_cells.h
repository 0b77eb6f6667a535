#pragma once
// Small helpers the dialogs share for their grids: centred read-only
// cells, the pink fill of a cell marked "*", and the text of a cell.

#include <QColor>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QTableWidget;

namespace veldor {

// A cell whose text holds "*" is filled with this colour.
inline const QColor kMarkedCellColour{255, 203, 238};

// Sets the text of a cell (creating its item), centred; read-only unless
// `editable`.
void set_grid_cell(QTableWidget* grid, int row, int column, const QString& text,
                   bool editable = false);
// The cell's text ("" for a cell without an item).
QString grid_cell(const QTableWidget* grid, int row, int column);
// The texts of one column's first `rows` cells (the marks a delete reads).
std::vector<std::string> column_cells(const QTableWidget* grid, int rows, int column);
// Fills a cell pink when its text holds a "*", plain otherwise.
void paint_mark(QTableWidget* grid, int row, int column);
// Space on the grid runs `toggle` (the keyboard's click on the current cell).
void on_space(QTableWidget* grid, std::function<void()> toggle);

}  // namespace veldor
