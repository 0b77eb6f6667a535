#pragma once
// What the drawing window's tools do to the atoms of the display copy:
// masking (one atom, a fragment, a rectangle, the elements), translating a
// fragment by a lattice vector, the ring middle (a dummy atom), and the
// restore of "Reset". Atom numbers are 0-based indexes of doc.display.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "core/messages.h"

namespace veldor {

inline constexpr const char* kNotEnoughAtoms = "Not enough atoms";
// The element, name stem and sort of ring middles and centroids.
inline constexpr const char* kDummyElement = "DU";
inline constexpr Colour kDummySortColour = rgb(255, 0, 0);
inline constexpr double kDummySortRadius = 2.0;
// Two ring picks closer than this in every coordinate are one atom.
inline constexpr double kSamePickTolerance = 0.0001;

// "Mask atoms": the atom is hidden and unlabelled.
void mask_atom(StructureDocument& doc, int atom);
// "Mask fragment": every atom of the atom's fragment (same tag) is hidden.
void mask_fragment(StructureDocument& doc, int atom);
// "Mask atoms in a rectangle" after Yes: the atoms inside are hidden and no
// atom keeps its label.
void mask_atoms_inside(StructureDocument& doc, const std::vector<int>& inside);
// "Mask bonds in a rectangle" after Yes: every bond with both atoms inside
// gets width 0. Returns the number of bonds hidden.
int mask_bonds_inside(StructureDocument& doc, const std::vector<int>& inside);

// The element symbols the mask-elements dialog lists: the element sorts'
// symbols, first letter upper case, second lower case.
std::vector<std::string> maskable_elements(const StructureDocument& doc);
// Hides every displayed atom of the given elements (compared by element
// key, so "C" hides carbon and not chlorine).
void mask_elements(StructureDocument& doc, const std::vector<std::string>& symbols);

// The translation panel's three boxes, read as integers after trimming (an
// empty box is 0). A box that is no integer shows "'text' is not a valid
// integer value" and gives nullopt.
std::optional<std::array<int, 3>> read_translation(const std::array<std::string, 3>& boxes,
                                                   Messages& messages);
std::string not_an_integer_message(const std::string& text);
// Adds the lattice vector to the fractional coordinates of the atoms.
void translate_atoms(StructureDocument& doc, const std::vector<int>& atoms,
                     const std::array<int, 3>& t);

// One atom picked for a ring middle, with where it was at the time.
struct RingPick {
    int atom = 0;
    Vec3 fractional{};
    Vec3 view{};
};
// The picks without the repeats of an earlier pick (every fractional and
// view coordinate within kSamePickTolerance).
std::vector<RingPick> distinct_picks(const std::vector<RingPick>& picks);

// The ring middle: with more than two distinct picks a dummy atom "DU<n>"
// at their mean is appended to the display copy (and the "DU" element sort
// on the first one), styled with the current dummy style, and its index is
// returned. With two or fewer, "Not enough atoms" is shown and nothing
// changes. A full atom table refuses the atom with "Nb of atoms too big
// (>5000)".
std::optional<int> add_ring_middle(StructureDocument& doc, const DummyStyle& style,
                                   const std::vector<RingPick>& picks, Messages& messages);
// The isotropic tensor of a dummy atom: beta_ij = 2 pi^2 G*_ij dimension.
std::array<double, 6> dummy_tensor(const Metric& metric, double dimension);
// The dummy-atom style dialog's OK: the newest dummy atom takes the colour
// and the tensor of the style.
void apply_dummy_style(StructureDocument& doc, const DummyStyle& style);

// "Reset": the display copy becomes the generated atoms again, every one
// drawn (labels, which the label tools keep on both, come back with them).
void restore_display(StructureDocument& doc);

}  // namespace veldor
