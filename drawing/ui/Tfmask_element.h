#pragma once
// "Mask elements": the element symbols in a grid; a click marks or unmarks
// an element ("*", pink), OK hides every displayed atom of the marked ones.

#include <QDialog>
#include <string>
#include <vector>

#include "core/document.h"

class QTableWidget;

namespace veldor {

inline constexpr int kMaskGridRowHeight = 21;
inline constexpr int kMaskGridMaxHeight = 425;

class Tfmask_element : public QDialog {
    Q_OBJECT
  public:
    explicit Tfmask_element(StructureDocument& doc, QWidget* parent = nullptr);

    // Lists the elements again, none marked (every activation).
    void init_grid();
    // Marks or unmarks the element of a grid row (1-based: row 0 is the heading).
    void toggle_row(int row);
    // The symbols marked so far.
    std::vector<std::string> marked() const;
    QTableWidget* grid() const { return grid_; }
    // OK: masks the marked elements and closes.
    void ok_masque();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    QTableWidget* grid_;
};

}  // namespace veldor
