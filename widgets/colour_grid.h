#pragma once
// The colour grid: two columns, a name and a cell painted in its colour.
// Choosing either cell of a row reports the row.

#include <QColor>
#include <QTableWidget>
#include <utility>
#include <vector>

namespace veldor {

class ColourGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit ColourGrid(QWidget* parent = nullptr);
    void set_rows(const std::vector<std::pair<QString, QColor>>& rows);
    QColor row_colour(int row) const;
    QString row_name(int row) const;

  signals:
    void row_chosen(int row);
};

}  // namespace veldor
