#pragma once
// The asymmetric-unit grid of the main window ("StringGrid2") as plain
// texts: its headings in each thermal expression, its filling from the
// document, the reading of what the user typed back into the document
// (with the cell that stopped the reading), and the tidying or deletion of
// a row when the user leaves it.
//
// Rows are numbered as the user sees them: row 1 is the first data row
// (row 0 is the heading row, kept apart).

#include <array>
#include <string>
#include <vector>

#include "core/adp.h"
#include "core/document.h"

namespace veldor {

inline constexpr int kAsymColumns = 13;
// Columns: "No", "Elem.", "Label", "X", "Y", "Z", the six displacement
// values (11, 22, 33, 12, 13, 23) and the isotropic value.
inline constexpr int kColumnNumber = 0;
inline constexpr int kColumnElement = 1;
inline constexpr int kColumnLabel = 2;
inline constexpr int kColumnX = 3;
inline constexpr int kColumnFirstAdp = 6;
inline constexpr int kColumnLastAdp = 11;
inline constexpr int kColumnIso = 12;
// Data rows of an unfilled grid; a unit of more than 99 atoms gets count + 5.
inline constexpr int kAsymGridRows = 100;

inline constexpr const char* kCoordinatesReadError = "Coordinates read error";
inline constexpr const char* kNoCoordinates = "No coordinates!";

using AsymGridRow = std::array<std::string, kAsymColumns>;

// "No", "Elem.", "Label", "X", "Y", "Z", then "u11" ... "u23", "Uiso";
// "B11" ... "B23", "Biso"; or "Beta11" ... "Beta23", "BETAiso".
AsymGridRow asym_grid_headings(ThermalExpression expr);

// The empty grid: kAsymGridRows empty rows.
std::vector<AsymGridRow> empty_asym_grid();

// One row per asymmetric-unit atom (deleted records passed over): its
// number, the element with its second letter in lower case, the label,
// x, y, z with 5 decimals, and the displacement cells in the expression
// (an atom whose 22 and 33 values are 0 is marked isotropic); then empty
// rows up to kAsymGridRows, or 5 of them beyond 99 atoms.
std::vector<AsymGridRow> fill_asym_grid(StructureDocument& doc, ThermalExpression expr);

// A cell of the grid: row 1-based as shown, column 0-based; -1 for none.
struct GridCell {
    int row = -1;
    int column = -1;
    bool operator==(const GridCell&) const = default;
};

// "Erreur à la ligne " + row + " ,colonne " + (column + 1).
std::string asym_grid_error_text(const GridCell& cell);

struct AsymGridRead {
    bool ok = false;
    GridCell error;         // the cell that did not read
    bool too_many = false;  // more than 1000 atoms: nothing read
};

// Reads the grid into doc.asym. Rows with an empty "Elem." are skipped.
// Element: "Elem." trimmed, upper case, 4 characters; label: "Label"
// trimmed, 4 characters; name: element and label by the atom-name rule.
// x, y, z read as numbers, an empty cell written back as "0"; the
// displacement cells read in the expression and converted to U (the
// isotropic cell written back). A cell that does not read stops the reading:
// its cell is returned and the document is left as it was. Otherwise the
// atoms replace the asymmetric unit; an atom keeps the part number of the
// atom of the same name it replaces, and the element index of its element
// sort (0, and the elements-changed flag set, when there is none yet).
// More than 1000 atoms read nothing and set `too_many`.
AsymGridRead read_asym_grid(std::vector<AsymGridRow>& rows, StructureDocument& doc,
                            ThermalExpression expr);

// What leaving a cell did to the grid.
enum class RowEdit {
    None,     // nothing to do
    Deleted,  // the row was removed, the rows below moved up and renumbered
    Tidied,   // the row was upper-cased and its empty cells right of the cell filled with "0"
};

// The user leaves cell `left` for a cell of row `entering_row`. When the
// row left behind has an empty "Elem." (and the cell was not the number
// column) the row is removed, the rows below move up by one and are
// renumbered, and an empty row is added at the end. Otherwise, when the
// row has an element, every cell is upper-cased ("Elem." keeps its second
// letter in lower case), the row gets its number, and every empty cell
// right of the left cell up to the last displacement column, except
// "Label", gets "0". Staying in the same row never deletes it.
RowEdit leave_asym_cell(std::vector<AsymGridRow>& rows, const GridCell& left, int entering_row);

}  // namespace veldor
