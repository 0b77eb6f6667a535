#pragma once
// Symmetry operators ("equivalent positions") as text and as matrices:
// the strict decoder used by the catalogue and the file readers, the
// formatter that writes a matrix row back as text, expansion of an operator
// list by lattice centring and by the inversion centre, the reading of the
// main window's positions grid, and site symmetry codes.
//
// Nothing here ends the program: a text that cannot be decoded is reported
// through Messages and the caller stops its own operation.

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
    bool operator==(const OperatorRow&) const = default;
};

// Strict decoding of one upper-case component such as "-X+1/2" or "1/2+X".
// The translation is one of the fractions 1/2, 1/3, 2/3, 1/4, 3/4, 1/6, 5/6
// (signed or not, before or after the rotation term); the rotation one of
// X, Y, Z, -X, -Y, -Z, X-Y, Y-X, -X+Y, -Y+X, X+Y. Decimal translations
// ("X+0.5") and lower case are refused. Coefficients and translation pass
// through six-byte real precision, so "+1/6" stores round_real48(0.166667).
// The silent form only answers; the other reports "Cannot decode " followed
// by what is left of the text once the translation has been taken out
// ("Cannot decode X+0.5" for "X+0.5", "Cannot decode 2X" for "2X+1/2").
std::optional<OperatorRow> decode_component(std::string_view text);
std::optional<OperatorRow> decode_component(std::string_view text, Messages& messages);

// Strict decoding of a whole operator "X,Y+1/2,-Z": exactly three components
// separated by commas, each decoded as above. A text without exactly three
// components is reported as "Cannot decode " followed by the whole text; the
// first component that fails is reported as decode_component does.
std::optional<SymOp> decode_operator(std::string_view text);
std::optional<SymOp> decode_operator(std::string_view text, Messages& messages);

// Formats one row as text (" X", "-Y+1/2", "X+Y", ...). Rows outside the
// known table (as (-1, -1, 0) or (2, 0, 0)) give an empty rotation text; the
// translation is still appended. A translation is brought into (0, 1] by at
// most one step of 1 and written as the first of +1/2, +1/3, +2/3, +1/4,
// +3/4, +1/6, +5/6 within 0.001 of it, or not at all (so 1.0 and 0.1 add
// nothing).
std::string format_row(const OperatorRow& row);
OperatorRow operator_row(const SymOp& op, int i);
// The stored form of an operator: the three rows formatted and joined by ","
// (at most 24 characters kept). Blanks are kept as formatted: the identity
// gives " X, Y, Z". The positions grid shows this in lower case.
std::string format_operator(const SymOp& op);

// The lattice-centring vectors of a lattice letter, in the order the
// expansion uses them: "R" only with crystal system "HEXA" (rhombohedral
// axes have none), "F", "I", "A", "B", "C"; any other letter has none.
// Letter and system are compared in upper case.
std::vector<Vec3> centring_vectors(std::string_view lattice_letter,
                                   std::string_view crystal_system);

// Appends, for each centring vector in order, a copy of every operator
// present before the expansion with the vector added to its translation
// (components above 1 reduced by 1; exactly 1 is kept). Texts of the new
// entries are rebuilt by format_operator; selection flags are 0.
// The list never grows past kMaxOperators: copies that do not fit are
// dropped (the later vectors' copies first) and false is returned; true when
// every copy was appended.
bool expand_by_centring(std::vector<EquivalentPosition>& positions,
                        const std::vector<Vec3>& vectors);
// Appends (-R, -t) for every operator, in order, with rebuilt text and flag
// 0: the count doubles. Copies past kMaxOperators are dropped and false is
// returned.
bool expand_by_inversion(std::vector<EquivalentPosition>& positions);
// Completes doc.positions from the document's setting: doc.centring becomes
// the centring vectors of doc.lattice_letter and doc.crystal_system, the list
// is expanded by them and then, when doc.centrosymmetric > 0, by inversion.
// False when something was dropped at the capacity.
bool expand_positions(StructureDocument& doc);

// After a space group is chosen: only position 1 is selected (and is the
// one generation operator), the generation option is back to none, and the
// atoms must be generated again.
void select_only_first_position(StructureDocument& doc);

// One row of the main window's positions grid: the three component texts
// and the "Selected" column.
struct PositionsGridRow {
    std::string a, b, c, selected;
};

// The freer decoding of one grid component (any case, blanks allowed): the
// first of -X+Y, -Y+X, Y-X, X-Y, X+Y, Y+X, -Z, -Y, -X, Z, Y, X found in the
// text is the rotation; what is left, with "+" signs dropped, is the
// translation: empty (0), "p/q", or a decimal number ("0.25", "-1/2").
// nullopt when no rotation term occurs or the translation cannot be read
// (including a zero denominator).
std::optional<OperatorRow> decode_grid_component(std::string_view text);

// Reads the positions grid: doc.generation_ops is emptied, then rows are
// read from the first until the first row whose first column is empty or
// blank, at most doc.positions.size() rows. A row whose "Selected" column is
// not "*" (blanks around it ignored) gets selection flag 0; a selected row
// gets flag 1 and its decoded operator is appended to doc.generation_ops.
// A selected row that does not decode reports
// "Decoding Error: " + a + ", " + b + ", " + c + ". Position Nb " + row number
// (1-based, the texts as typed), empties doc.positions and
// doc.generation_ops (so nothing is generated until the grid is corrected)
// and returns false.
bool read_positions_grid(const std::vector<PositionsGridRow>& rows, StructureDocument& doc,
                         Messages& messages);

// Site symmetry code: 1-based operator number and lattice translation + 5.
struct SiteCode {
    int n = 0, k = 0, l = 0, m = 0;
    bool operator==(const SiteCode&) const = default;
};
// "2_565"; the code (0, 0, 0, 0), found for no operator, is written "0_000".
std::string format_site_code(const SiteCode& code);

// The site symmetry code of a generated atom: the first operator n of
// doc.positions and translation t in -3..3 (t3 innermost, then t2, then t1)
// whose image of the atom's asymmetric-unit atom lies within 0.001 of it in
// each fractional coordinate (image and atom rounded to six-byte real
// precision first). The asymmetric-unit atom is the first non-deleted one
// whose name, blanks removed and in upper case, equals the atom's. None
// found reports atom.name + " not decoded" and gives nullopt; no matching
// image gives (0, 0, 0, 0).
std::optional<SiteCode> site_code(const StructureDocument& doc, const Atom& atom,
                                  Messages& messages);
// The same for doc.gen[gen_index] (0-based); an index outside doc.gen gives
// nullopt without a message.
std::optional<SiteCode> site_code(const StructureDocument& doc, int gen_index, Messages& messages);

}  // namespace veldor
