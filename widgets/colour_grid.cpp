#include "widgets/colour_grid.h"

#include <QHeaderView>

namespace veldor {

ColourGrid::ColourGrid(QWidget* parent) : QTableWidget(parent) {
    setColumnCount(2);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { emit row_chosen(row); });
    connect(this, &QTableWidget::cellActivated, this,
            [this](int row, int) { emit row_chosen(row); });
}

void ColourGrid::set_rows(const std::vector<std::pair<QString, QColor>>& rows) {
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto* name = new QTableWidgetItem(rows[static_cast<std::size_t>(r)].first);
        auto* swatch = new QTableWidgetItem;
        swatch->setBackground(rows[static_cast<std::size_t>(r)].second);
        swatch->setData(Qt::UserRole, rows[static_cast<std::size_t>(r)].second);
        setItem(r, 0, name);
        setItem(r, 1, swatch);
    }
}

QColor ColourGrid::row_colour(int row) const {
    const QTableWidgetItem* i = item(row, 1);
    return i ? i->data(Qt::UserRole).value<QColor>() : QColor();
}

QString ColourGrid::row_name(int row) const {
    const QTableWidgetItem* i = item(row, 0);
    return i ? i->text() : QString();
}

}  // namespace veldor
