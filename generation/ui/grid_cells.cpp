#include "generation/ui/grid_cells.h"

#include <QTableWidget>

namespace veldor {

void set_grid_cell(QTableWidget* grid, int row, int column, const QString& text, bool editable) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
    item->setTextAlignment(Qt::AlignCenter);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
}

QString grid_cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void paint_mark(QTableWidget* grid, int row, int column) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) return;
    if (item->text().trimmed().contains(QLatin1Char('*'))) {
        item->setBackground(kMarkedCellColour);
        item->setForeground(Qt::black);
    } else {
        item->setData(Qt::BackgroundRole, QVariant());
        item->setData(Qt::ForegroundRole, QVariant());
    }
}

}  // namespace veldor
