#pragma once
// "Delete a bloc of atoms of the asymetric unit": the atoms in a grid, the
// numbers "From Nb" and "To Nb", and "OK", which deletes that block after
// the question. Stays above the other windows.

#include <QDialog>

#include "core/document.h"
#include "core/messages.h"

class QLineEdit;
class QTableWidget;

namespace veldor {

class TfeffaceB : public QDialog {
    Q_OBJECT
  public:
    TfeffaceB(StructureDocument& doc, Messages& messages, QWidget* parent = nullptr);
    QTableWidget* grid() const { return grid_; }

  public slots:
    void initialise();   // fills the grid
    void efface_bloc();  // "OK"

  signals:
    void atoms_deleted();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    Messages& messages_;
    QTableWidget* grid_;
    QLineEdit* from_ = nullptr;  // Edit1
    QLineEdit* to_ = nullptr;    // Edit2
};

}  // namespace veldor
