#include "generation/ui/grid_cells.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTableWidget>
#include <algorithm>

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

std::vector<std::string> column_cells(const QTableWidget* grid, int rows, int column) {
    std::vector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(std::max(rows, 0)));
    for (int r = 0; r < rows; ++r)
        cells.push_back(grid_cell(grid, r, column).toStdString());
    return cells;
}

namespace {
class SpaceFilter : public QObject {
  public:
    SpaceFilter(QObject* parent, std::function<void()> toggle)
        : QObject(parent), toggle_(std::move(toggle)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) return false;
        toggle_();
        return true;
    }

  private:
    std::function<void()> toggle_;
};
}  // namespace

void on_space(QTableWidget* grid, std::function<void()> toggle) {
    grid->installEventFilter(new SpaceFilter(grid, std::move(toggle)));
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
