#include "generation/ui/atom_grid.h"

#include <QHeaderView>
#include <QTableWidget>

#include "generation/edit_asym.h"
#include "generation/ui/grid_cells.h"

namespace veldor {

QTableWidget* make_atom_grid(QWidget* parent) {
    auto* grid = new QTableWidget(0, 2, parent);
    grid->setObjectName(QStringLiteral("StringGrid2"));
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

void fill_atom_grid(QTableWidget* grid, const StructureDocument& doc) {
    const auto rows = atom_grid(doc);
    grid->clearContents();
    grid->setHorizontalHeaderLabels(
        {QString::fromStdString(rows[0][0]), QString::fromStdString(rows[0][1])});
    grid->setRowCount(static_cast<int>(rows.size()) - 1);
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (int c = 0; c < 2; ++c)
            set_grid_cell(grid, static_cast<int>(r) - 1, c,
                          QString::fromStdString(rows[r][static_cast<std::size_t>(c)]));
}

}  // namespace veldor
