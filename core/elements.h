#pragma once
// Element sorts: one per distinct element of the asymmetric unit, with its
// radius from the radii file "rayons.cst" and a colour from the built-in
// default table.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// The radii file in the data directory (its name is matched without regard to case).
inline constexpr const char* kRadiiFileName = "rayons.cst";

// Shown when an asymmetric unit holds more distinct elements than the
// element-sort table can take.
inline constexpr const char* kTooManyElementSortsMessage = "Too many element sorts (more than 93)!";

// The key of an element text: trimmed, upper case, first two characters.
// Every element comparison goes through it ("Cl" and "CL" share a key; a
// label typed as element, "C1", is a key of its own).
std::string element_key(std::string_view element);

// An element as the grids show it: trimmed, second character in lower case
// ("CL" -> "Cl", "C" -> "C").
std::string element_display_text(std::string_view element);

// The default colour of a symbol: exact match in the 95-entry table,
// white when absent.
Colour default_element_colour(std::string_view symbol);
// The symbols of the default colour table in table order: H ... NP (atomic
// numbers 1 to 93), then D and DU (the dummy atom); 95 entries.
const std::vector<std::string>& default_colour_symbols();

// Radii read from a radii file: (symbol key, radius in angstrom) in order
// of first appearance; a symbol listed twice keeps its last radius.
using RadiiTable = std::vector<std::pair<std::string, double>>;

// Parses the text of a radii file: line pairs, a symbol line (its key is
// what counts) and a radius line. Blank lines are skipped, CR LF and a
// leading UTF-8 byte-order mark are accepted, and the radius is the first
// word of its line. A radius line that does not read as a number stops the
// reading there: the pairs before it are kept (a missing or extra line
// would otherwise shift every later pair).
RadiiTable parse_radii(std::string_view text);
// Reads the radii file from a directory; an empty table when the file is
// missing or cannot be read.
RadiiTable load_radii(const std::string& data_directory);
// The radius of a key, nullopt when the table has none.
std::optional<double> find_radius(const RadiiTable& radii, std::string_view key);

// Builds the element sorts from the asymmetric unit, from scratch:
//  - one sort per distinct key, in order of first occurrence; records with
//    an empty name (deleted atoms) are passed over and keep element_index 0;
//  - every atom's element_index is set to the 1-based number of its sort;
//  - radii from the table, 0 for a key the table lacks;
//  - colours: when the document came from a VLD file (doc.vld_file is not
//    empty) a sort keeps the colour its symbol had before the rebuild (a
//    newly appearing symbol takes its default colour) and the bond and
//    background colours are left alone; otherwise every sort takes its
//    default colour, the bond colour becomes yellow and the background white.
// Bond sorts are not rebuilt here: the caller runs the bond-sort build next,
// and copies the sort colours into the drawing's per-element colour list.
// At most 93 sorts are made. When more distinct keys occur the message
// kTooManyElementSortsMessage is shown once, the atoms of the extra keys keep
// element_index 0 (no sort), and false is returned; the caller should stop
// the operation that needed the sorts.
bool build_element_sorts(StructureDocument& doc, const RadiiTable& radii, Messages& messages);

// Gives every atom except dummies (key "DU") the colour of the element sort
// whose symbol (trimmed, upper case) equals its key, white when there is
// none. Dummy atoms keep their colour.
void colour_atoms(std::vector<Atom>& atoms, const std::vector<ElementSort>& sorts);
// The same on the generated atoms of the document.
void colour_generated_atoms(StructureDocument& doc);

}  // namespace veldor
