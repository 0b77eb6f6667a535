#pragma once
// Recognising the space group of a file that lists operators but names no
// group (SHELX files, CIFs without a symbol): the operator list is first
// normalised, then compared with "spgr.peq" and the catalogue (".pos") of
// the crystal system.

#include <filesystem>
#include <string>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// Translations brought into [0, 1), texts rebuilt without blanks, repeated
// operators removed (the first is kept). The list before and after goes to
// the trace file "espion_pos.txt" in `work_dir` ("npos=" and the count, then
// each operator's number as I4, a blank and its text).
void normalise_operator_list(StructureDocument& doc, const std::filesystem::path& work_dir);

// Compares doc.positions with the entries of "spgr.peq" for
// doc.crystal_system, then with the system's catalogue file; when neither
// matches, the same for every other system (in the order of the system
// list): the operators decide, the cell only orders the search, so a P1
// structure in a cell with two right angles, a monoclinic group with beta
// 90, or a cell of 89.98 degrees is still recognised. A match sets
// doc.space_group and adopt_identified_group. Returns what the main window
// shows: "Possible Space Group : " + symbol (+ " / " + second symbol +
// " (Nb " + number + ")" for a "spgr.peq" entry), or "Space Group not
// identified: " after the message "VELDOR Cannot identify the Space Group
// in the Shelx file". A missing data file of the guessed system is reported
// and gives "No Space Group found".
std::string identify_space_group(StructureDocument& doc, const std::filesystem::path& data_dir,
                                 Messages& messages);

// A group recognised in the catalogue of `system`: doc.crystal_system
// becomes that system (so that the cell constraints and the writers agree
// with the group), the lattice letter the symbol's first letter with its
// centring vectors, and a cell that departs from the group's metric is
// reported.
void adopt_identified_group(StructureDocument& doc, const std::string& system, Messages& messages);

inline constexpr const char* kCellDepartsMessage =
    "The cell departs from the metric of the space group ";
// Shows kCellDepartsMessage + doc.space_group when a rotation of
// doc.positions does not keep the cell's metric (cell_fits_operators).
void warn_if_cell_departs(const StructureDocument& doc, Messages& messages);

// "Space Group: " + symbol, or "No Space Group found" when there is none.
std::string space_group_caption(const StructureDocument& doc);

}  // namespace veldor
