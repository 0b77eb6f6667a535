#pragma once
// The two-column atom grid of the deletion dialogs ("Nb", "Atom").

#include "core/document.h"

class QTableWidget;
class QWidget;

namespace veldor {

// A grid of two columns, row k (0-based here) the number k + 1 and the
// name of atom k + 1, and one empty row at the end.
QTableWidget* make_atom_grid(QWidget* parent);
void fill_atom_grid(QTableWidget* grid, const StructureDocument& doc);

}  // namespace veldor
