#pragma once
// Element sorts: one per distinct element of the asymmetric unit, with its
// radius from the radii file "rayons.cst" and a colour from the built-in
// default table.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"

namespace veldor {

// The key of an element text: trimmed, upper case, first two characters.
std::string element_key(std::string_view element);

// The default colour of a symbol (the 95-entry table, white when absent).
Colour default_element_colour(std::string_view symbol);
// The symbols of the default colour table in table order (95 entries, last "DU").
const std::vector<std::string>& default_colour_symbols();

// Radii read from a radii file: symbol (upper case, 2 characters) -> radius.
// A symbol listed twice keeps its last radius. An unreadable radius line
// stops the reading there (the pairs read so far are kept).
using RadiiTable = std::vector<std::pair<std::string, double>>;
RadiiTable parse_radii(std::string_view text);
// Reads "rayons.cst" (name matched without regard to case) from a directory;
// an empty table when the file cannot be read.
RadiiTable load_radii(const std::string& data_directory);

// Builds the element sorts from the asymmetric unit (order of first
// occurrence), sets every atom's element_index, the sorts' radii, and --
// unless the document was loaded from a VLD file -- the default colours,
// the yellow bond colour and the white background. Bond sorts are not
// rebuilt here (the caller runs the bond-sort build next).
// Returns false when more than 93 sorts would be needed (the atoms of the
// extra elements keep element_index 0) after reporting
// "Too many element sorts (more than 93)!".
bool build_element_sorts(StructureDocument& doc, const RadiiTable& radii, Messages& messages);

// Gives every generated atom except dummies ("DU") its element sort's
// colour (white when its key has no sort).
void colour_generated_atoms(StructureDocument& doc);

}  // namespace veldor
