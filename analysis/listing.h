#pragma once
// What the analysis listings share: the normalised atom label, the place
// of a generated atom as its operator text and site symmetry code, and the
// structure-file lines the reports begin with.

#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/messages.h"
#include "symmetry/operators.h"

namespace veldor {

// The label the listings show: every blank removed, the second character
// in lower case ("FE1" -> "Fe1", "C L1" -> "Cl1").
std::string normalised_label(std::string_view name);

// The first `n` characters of the normalised label, padded with blanks on
// the right to `n` ("O1W12" -> "O1W1", "C1" -> "C1  ").
std::string padded_label(std::string_view name, std::size_t n = 4);

// A dummy atom (element "DU", such as a ring middle) has no site code.
bool is_dummy(const Atom& atom);

// Where a generated atom comes from: its site symmetry code and the text of
// that operator. A dummy atom, an atom whose name matches no atom of the
// asymmetric unit (reported as name + " not decoded") and an atom that no
// operator reproduces get the code 0_000 and an empty operator text.
struct AtomPlace {
    SiteCode code;
    std::string operator_text;
};
AtomPlace atom_place(const StructureDocument& doc, const Atom& atom, Messages& messages);

// " (" + operator text + ") (" + code + ")": the distance listings.
std::string spaced_place_text(const AtomPlace& place);
// " (" + operator text + ")(" + code + ")": the coordinate list.
std::string joined_place_text(const AtomPlace& place);

// The structure files the reports name first: the data file last read and
// the VLD file last read, each without its folder; empty when not set.
std::string first_structure_file(const StructureDocument& doc);
std::string second_structure_file(const StructureDocument& doc);
// The lines of the set ones, first then second.
std::vector<std::string> structure_file_lines(const StructureDocument& doc);

// The atoms the drawing shows and picks by number: the display copy, or the
// generated atoms when there is no display copy yet.
const std::vector<Atom>& shown_atoms(const StructureDocument& doc);

}  // namespace veldor
