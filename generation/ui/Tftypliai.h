#pragma once
// "Modif the bond lengths": one row per bond sort, the two elements and the
// longest bonded distance, which the user edits. "OK" stores the distances
// (a row that does not read: "Read error at line N", the dialog stays).

#include <QDialog>

#include "core/document.h"
#include "core/messages.h"

class QTableWidget;

namespace veldor {

class Tftypliai : public QDialog {
    Q_OBJECT
  public:
    Tftypliai(StructureDocument& doc, Messages& messages, QWidget* parent = nullptr);
    QTableWidget* grid() const { return grid_; }

  public slots:
    void initialise();  // fills the grid from the bond sorts
    void accept() override;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    Messages& messages_;
    QTableWidget* grid_;
};

}  // namespace veldor
