#pragma once
// "Veldor. Coordination calculation": the coordination shells of chosen
// atoms of the asymmetric unit from the crystal data, with their operators
// and site symmetry codes and, on request, the angles; "dist.txt" for the
// viewer, and the result as the geometry loops of a CIF.

#include <QWidget>
#include <functional>

#include "analysis/coordination.h"
#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "formats/cif_write.h"

class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QTableWidget;

namespace veldor {

inline constexpr const char* kVarnelHelpLines[3] = {
    "1-Select the atoms in the asymetric unit to act as the central atoms.",
    "2-Modify possibly the maximum bond lengths. ", "3-click on the \"Calc\" button"};

class Tfvarnel : public QWidget {
    Q_OBJECT
  public:
    Tfvarnel(StructureDocument& doc, ProgramPaths paths, Messages& messages,
             QWidget* parent = nullptr);

    // "Export CIF" hands the coordination result to the program's CIF
    // command (file choice, "Create a CIF" with "Include the bonds" hidden).
    // Without one, the window asks for the file itself and writes the CIF
    // with the computed formula and the default Z.
    using CifSaver = std::function<void(const CifWriteOptions& coordination)>;
    void set_cif_saver(CifSaver saver) { cif_saver_ = std::move(saver); }

    // The coordination result as the CIF writer takes it; empty lines when
    // there is no result.
    CifWriteOptions coordination_options() const;

    QTableWidget* atom_grid() const { return atoms_; }
    QTableWidget* pair_grid() const { return pairs_; }
    QTableWidget* positions_grid() const { return positions_; }
    QPlainTextEdit* result_memo() const { return memo_; }
    QPlainTextEdit* help_memo() const { return help_; }
    QRadioButton* angles_button() const { return with_angles_; }
    QLabel* result_caption() const { return caption_; }

  public slots:
    // Fills the three grids from the document (what showing the window does).
    void fill_grids();
    void select_all();
    void unselect_all();
    // "Calc.".
    void calcul();
    // "Edit/Print": the result lines to "dist.txt", opened in the viewer.
    void edit_print();
    // "Export CIF".
    void export_cif();
    // "Return to the previous window".
    void return_back();

  protected:
    bool event(QEvent* e) override;

  private:
    void clear_results();
    void atom_cell_clicked(int row, int column);
    void kind_changed();
    void save_cif_here(const CifWriteOptions& options);

    StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    CifSaver cif_saver_;
    QTableWidget* atoms_;
    QTableWidget* pairs_;
    QTableWidget* positions_;
    QPlainTextEdit* help_;
    QPlainTextEdit* memo_;
    QRadioButton* distances_only_;
    QRadioButton* with_angles_;
    QLabel* caption_;
    std::vector<int> asym_index_;      // row -> index in doc.asym
    std::vector<PairRow> pair_table_;  // the window's own maximum distances
};

}  // namespace veldor
