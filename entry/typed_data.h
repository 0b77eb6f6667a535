#pragma once
// A structure typed in the main window instead of read from a file
// ("Data keybord", then "OK"), and the drawing check boxes that every
// load clears.

#include <array>
#include <string>
#include <vector>

#include "core/adp.h"
#include "core/document.h"
#include "core/elements.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "entry/asym_grid.h"
#include "symmetry/operators.h"

namespace veldor {

inline constexpr const char* kNoEquivalentPositions = "No equivalent positions";

// Clears the drawing window's "Draw the planes", "Draw planes and axes",
// "Draw the cell", "Labels in centre", "Color gradation", "Black and White"
// and "Labels off centre" before a structure is loaded or typed. (The
// label tools going back to "Font" is the drawing window's own business.)
void reset_drawing_checks(DrawingOptions& options);

// "Data keybord": a new structure. The file names, the asymmetric unit, the
// space group with its positions and generation operators, the generated
// atoms, the display copy and the bonds are emptied, the drawing checks
// cleared and the regeneration-needed flag set. The cell and crystal system
// stay, to be edited.
void start_typed_data(StructureDocument& doc, DrawingState& drawing);

enum class TypedDataStatus {
    Taken,          // the structure is in the document, its sorts built
    CellError,      // "Cell parameters error" shown
    PositionError,  // a typed position did not decode (message shown)
    GridError,      // a grid cell did not read: see `grid.error`
    NoPositions,    // "No equivalent positions" shown
    NoAtoms,        // "No coordinates!" shown
    SortsFailed,    // too many elements (message shown)
};
struct TypedDataResult {
    TypedDataStatus status = TypedDataStatus::CellError;
    AsymGridRead grid;
};

// "OK" of typed data: reads the cell fields (an unreadable field or a
// product of 0 shows "Cell parameters error") and computes the metric,
// reads the positions grid, then the asymmetric grid in the expression
// (more than 1000 atoms show "The number of atoms is > 1000!"); an empty
// position list shows "No equivalent positions", no atom "No coordinates!".
// Otherwise the element and bond sorts are built and the
// regeneration-needed flag set. What was typed stays in the grids.
TypedDataResult take_typed_data(StructureDocument& doc, const std::array<std::string, 6>& cell,
                                const std::vector<PositionsGridRow>& positions,
                                std::vector<AsymGridRow>& atoms, ThermalExpression expr,
                                const RadiiTable& radii, Messages& messages);

}  // namespace veldor
