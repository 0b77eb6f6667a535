#pragma once
// "Delete atoms of the asymetric unit": the atoms in a two-column grid; a
// click on an atom marks or unmarks it with "*", "OK" deletes the marked
// atoms after the question. Stays above the other windows.

#include <QDialog>

#include "core/document.h"
#include "core/messages.h"

class QTableWidget;

namespace veldor {

class TfeffaceA : public QDialog {
    Q_OBJECT
  public:
    TfeffaceA(StructureDocument& doc, Messages& messages, QWidget* parent = nullptr);
    QTableWidget* grid() const { return grid_; }

  public slots:
    void initialise();                             // fills the grid
    void select_atom_to_del(int row, int column);  // remembers the cell
    void onclic();                                 // toggles the mark of that cell
    void del_atom();                               // "OK"

  signals:
    // Atoms were deleted: the main window refills its grid.
    void atoms_deleted();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    Messages& messages_;
    QTableWidget* grid_;
    int row_ = -1, column_ = -1;
};

}  // namespace veldor
