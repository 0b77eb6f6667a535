#pragma once
// "Mean plane determination": the planes picked in the drawing (at most 7
// of at most 29 atoms), computed by Veldor's mean-plane calculator through
// "plan.dat" and "plan.sor"; the newest plane's part of the report in the
// result list.
//
// The drawing window's "Mean Plane determination" tool calls begin_picking()
// when it starts and add_picked_atom() for each atom clicked; it redraws on
// redraw_requested() and leaves its picking mode on picking_ended().

#include <QWidget>
#include <vector>

#include "analysis/mean_plane.h"
#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"

class QListWidget;
class QTableWidget;

namespace veldor {

class Tfdisp_coord;

class Tfplan_moyen : public QWidget {
    Q_OBJECT
  public:
    Tfplan_moyen(const StructureDocument& doc, ProgramPaths paths, Messages& messages,
                 QWidget* parent = nullptr);

    // The tool starts: results and atom cells cleared, "plan.dat" and
    // "plan.sor" deleted, the window shown, picking on.
    void begin_picking();
    // An atom clicked in the drawing (0-based index into the display copy)
    // joins the plane under construction; false when refused, with
    // "Nb of atoms exceeding 30!" or "Nb of planes exceeding 7!".
    bool add_picked_atom(int display_atom);
    // The atoms of the plane under construction (0-based), for the drawing
    // to mark.
    std::vector<int> picked_atoms() const;
    bool picking() const { return picking_; }

    // The coordinate window "Display the list of the generated coordinates"
    // shows; without one the window makes its own.
    void set_coordinate_window(Tfdisp_coord* window) { coordinates_ = window; }

    QTableWidget* grid() const { return grid_; }
    QListWidget* results() const { return results_; }
    const PlaneTable& table() const { return table_; }

  public slots:
    // "Compute the mean plane equation of the selected planes".
    void calcul_plan();
    // "Edit (Print) the results": opens "plan.sor" when it exists.
    void edit_results();
    // "Display the list of the generated coordinates".
    void show_coordinates();
    // "Help": help_requested(11); without a receiver the user guide opens.
    void show_help();
    // "End. Return to the plot".
    void end_planes();
    // A click in the plane grid: column 0 deletes the plane, an atom cell
    // (while picking) removes the atom.
    void select_cell(int row, int column);

  signals:
    void redraw_requested();
    void picking_ended();
    void help_requested(int context);

  private:
    void show_table();

    const StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    PlaneTable table_;
    bool picking_ = false;
    QTableWidget* grid_;
    QListWidget* results_;
    Tfdisp_coord* coordinates_ = nullptr;
};

}  // namespace veldor
