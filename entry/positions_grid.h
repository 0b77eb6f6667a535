#pragma once
// The positions grid of the main window ("StringGrid1": "Nb", "a", "b",
// "c", "Selected") as plain texts: its rows for the document's equivalent
// positions, the "Select All" / "Unselect All" buttons and the clicks in
// the "Selected" column, and the reading of the grid back into the
// document, operators typed by the user included.

#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"
#include "symmetry/operators.h"

namespace veldor {

// The grid has this many rows, so that operators can be typed below a list.
inline constexpr int kPositionsGridRows = 200;

// One row per equivalent position: its three components as stored (each
// trimmed; a text cut at its 24 characters is written again from the
// matrix), and "*" when selected.
std::vector<PositionsGridRow> positions_grid_rows(const StructureDocument& doc);

// "Select All" and "Unselect All": "*" written into, or cleared from, the
// "Selected" column of every filled row (a row whose "a" is not blank).
void select_all_positions(std::vector<PositionsGridRow>& rows);
void unselect_all_positions(std::vector<PositionsGridRow>& rows);

// A click in the "Selected" column of row `index` (0-based): toggles "*"
// in a filled row; false (nothing changed) for an empty row.
bool toggle_position(std::vector<PositionsGridRow>& rows, std::size_t index);

// Reads the grid into the document. The equivalent positions become the
// filled rows up to the first row whose "a" is blank (at most 192): a row
// that still shows its position keeps that operator exactly; a row the user
// changed or added is decoded by the grid grammar and keeps its text
// (upper case, blanks removed).
// Then the selection flags and the generation operators are read from the
// "Selected" column. A row that does not decode shows
// "Decoding Error: " a ", " b ", " c ". Position Nb " n, and the positions
// are emptied, so nothing is generated until the grid is corrected. More
// than 192 filled rows show kTooManyPositions and read the first 192.
inline constexpr const char* kTooManyPositions =
    "More than 192 equivalent positions: the rows after the 192nd are not read";
bool read_positions_from_grid(const std::vector<PositionsGridRow>& rows, StructureDocument& doc,
                              Messages& messages);

}  // namespace veldor
