#pragma once
// Symmetry operators ("equivalent positions") as text and as matrices:
// the strict decoder used by the catalogue and the file readers, the
// formatter that writes a matrix row back as text, expansion of an operator
// list by lattice centring and by the inversion centre, the reading of the
// main window's positions grid, and site symmetry codes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// One matrix row: three rotation coefficients and a translation.
struct OperatorRow {
    double r[3] = {0, 0, 0};
    double t = 0;
};

// Strict decoding of one upper-case component such as "-X+1/2" or "1/2+X".
// Coefficients and translation pass through six-byte real precision.
// An unrecognised component reports "Cannot decode " + text and gives
// nullopt (the caller stops its operation).
std::optional<OperatorRow> decode_component(std::string_view text, Messages& messages);

// Strict decoding of a whole operator "X,Y+1/2,-Z" (three components,
// upper case). Reports like decode_component.
std::optional<SymOp> decode_operator(std::string_view text, Messages& messages);

// Formats one row as text (" X", "-Y+1/2", ...); rows outside the known
// table give an empty rotation text.
std::string format_row(const OperatorRow& row);
// The stored form of an operator: the three rows formatted, upper case,
// joined by "," (at most 24 characters kept). Blanks are kept as formatted.
std::string format_operator(const SymOp& op);

// The lattice-centring vectors of a lattice letter ("R" only with "HEXA").
std::vector<Vec3> centring_vectors(std::string_view lattice_letter, std::string_view crystal_system);

// Appends, for each centring vector in order, a copy of every operator
// present before the expansion with the vector added to its translation
// (components above 1 reduced by 1). Texts of the new entries are rebuilt
// by format_operator; selection flags are 0. Stops at the 192-operator
// capacity.
void expand_by_centring(std::vector<EquivalentPosition>& positions,
                        const std::vector<Vec3>& vectors);
// Appends (-R, -t) for every operator; the count doubles (within 192).
void expand_by_inversion(std::vector<EquivalentPosition>& positions);

// One row of the main window's positions grid: the three component texts
// and the "Selected" column.
struct PositionsGridRow {
    std::string a, b, c, selected;
};

// Reads the positions grid (rows until the first whose first column is
// empty, at most positions.size()): sets the selection flags of
// doc.positions and fills doc.generation_ops with the selected rows.
// A row that does not decode reports "Decoding Error: a, b, c. Position Nb n",
// empties doc.positions and returns false.
bool read_positions_grid(const std::vector<PositionsGridRow>& rows, StructureDocument& doc,
                         Messages& messages);

// Site symmetry code: 1-based operator number and lattice translation + 5.
struct SiteCode {
    int n = 0, k = 0, l = 0, m = 0;
    bool operator==(const SiteCode&) const = default;
};
// "2_565"; the code (0, 0, 0, 0) is written "0_000".
std::string format_site_code(const SiteCode& code);

// The site symmetry code of a generated atom (0-based index into doc.gen):
// the first operator n of doc.positions and translation t in -3..3 whose
// image of the generated atom's asymmetric-unit atom matches it within
// 0.001. An atom whose name is in no asymmetric-unit atom reports
// name + " not decoded" and gives nullopt; no match gives (0, 0, 0, 0).
std::optional<SiteCode> site_code(const StructureDocument& doc, int gen_index, Messages& messages);

}  // namespace veldor
