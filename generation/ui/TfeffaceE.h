#pragma once
// "Delete Elements of the asymetric unit": the element sorts in a grid; a
// click marks or unmarks an element with "*", "OK" deletes every atom of
// the marked elements after the question, and rebuilds the element and
// bond sorts. Stays above the other windows.

#include <QDialog>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

class QTableWidget;

namespace veldor {

class TfeffaceE : public QDialog {
    Q_OBJECT
  public:
    TfeffaceE(StructureDocument& doc, ProgramPaths paths, Messages& messages,
              QWidget* parent = nullptr);
    QTableWidget* grid() const { return grid_; }

  public slots:
    void initialise();                             // fills the grid
    void selecte_elem_todel(int row, int column);  // remembers the cell
    void onclic();                                 // toggles its mark
    void del_elem_system();                        // "OK"

  signals:
    void elements_deleted();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    QTableWidget* grid_;
    int row_ = -1;
};

}  // namespace veldor
