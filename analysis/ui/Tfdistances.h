#pragma once
// "Display distances": one row per calculated bond with both atoms, their
// coordinates and places and the length, rebuilt from the document each
// time the window is shown or activated; "distances.txt" for the viewer.

#include <QWidget>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

class QTableWidget;

namespace veldor {

class Tfdistances : public QWidget {
    Q_OBJECT
  public:
    Tfdistances(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                QWidget* parent = nullptr);

    QTableWidget* grid() const { return grid_; }

  public slots:
    // Fills the grid from the bonds (row count grows with the bonds).
    void fill_grid();
    // "Edit/Print the list": writes "distances.txt" and opens it.
    void edit_list();
    // Exit: deletes "distances.txt" and closes the window.
    void exit_window();

  protected:
    bool event(QEvent* e) override;

  private:
    const StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    QTableWidget* grid_;
};

}  // namespace veldor
