#pragma once
// Atom generation: from the asymmetric unit and the selected operators to
// the generated atoms the drawing shows -- images, removal of coincident
// images, whole molecules ("fragments"), and the box, sphere or cell
// contents -- ending with the bond search.
//
// Every step gives exactly the atoms, order and fragment numbers of the
// plain pair-by-pair loops it stands for; the loops are only made fast
// (neighbour grids, early exits).

#include "core/document.h"
#include "core/messages.h"

namespace veldor {

// Work limits.
inline constexpr int kMaxFragments = 500;        // fragments among the generated atoms
inline constexpr int kMaxFragmentAtoms = 500;    // atoms of one of those fragments
inline constexpr int kMaxEnclosureAtoms = 4999;  // atoms a box or sphere keeps
inline constexpr int kFragmentTranslations = 4;  // lattice translations -4..4
// Two images, or two kept points, closer than this (angstrom, Cartesian)
// are one site: coordinates printed with 4 decimals (0.3333, 0.6667) put
// the images of one special position 1e-4 apart.
inline constexpr double kCoincidentSites = 0.02;
inline constexpr double kHexagonalCellLimit = 1.001;    // |x - y| of hexagonal cell contents
inline constexpr double kCentroidSearchStart = 100000;  // squared angstrom

inline constexpr const char* kTooManyGeneratedAtoms = "Too many generated atoms";
inline constexpr const char* kTooManyAtoms = "Too many atoms";
inline constexpr const char* kColourFragmentsQuestion = "Do you want to colour the fragments?";

// Colour of fragment n (1-based): a list of 14 colours, used again from
// fragment 15 on, and so on for every further 14 fragments.
Colour fragment_colour(int fragment);

// One coordinate into the cell: the integer part (towards zero) removed,
// 1 added to a negative rest. The result lies in [0, 1] (1 only through
// rounding of a tiny negative value); nothing wraps, so 0.99999 and 0.00001
// stay apart.
double reduce_coordinate(double x);
Vec3 reduce_into_cell(const Vec3& p);

// Generate: the whole sequence run by Plot. Reads the asymmetric unit, the
// generation operators, the equivalent positions (fragment assembly), the
// metric, the bond sorts, the enclosure and the option flags; writes the
// generated atoms, their label texts, the display copy and the bonds, and
// leaves the asymmetric unit as it found it. Clears no flag.
// With an empty asymmetric unit the generated atoms, display copy and
// bonds are emptied and nothing else happens.
void generate(StructureDocument& doc, Messages& messages);

// The steps of generate, run alone by the tests.

// Whole molecules in the asymmetric unit: an atom joins a fragment at the
// first image (translations -1..1, i outermost, equivalent positions
// innermost) within a bond sort's distance of a fragment member, its U
// turned by the position's rotation; the unit is then rewritten fragment
// by fragment with tag = fragment number. The pair's distance is that of
// the first bond sort naming both element keys with a non-zero distance.
void assemble_asym_fragments(StructureDocument& doc);

// Images by every generation operator of every asymmetric-unit atom
// (operator outermost), coincident images removed (an image whose reduced
// position lies within kCoincidentSites of an earlier survivor's; nothing
// wraps at the cell faces), named survivors become the generated atoms.
// More than 5000 survivors: "Too many generated atoms", the first 5000 kept.
void make_generated_atoms(StructureDocument& doc, Messages& messages);

// Whole molecules among the generated atoms (translations -4..4 only), each
// moved so that its centroid is nearest the cell centre; the list rebuilt
// fragment by fragment with tag and colour of the fragment. A 501st
// fragment ("Too many generated atoms") or a 501st atom of one fragment
// ("Too many atoms") stops the assembly; the fragments held so far make
// the list.
void assemble_generated_fragments(StructureDocument& doc, Messages& messages);

// Every generated atom within kCoincidentSites of an earlier one is
// removed: after the fragments search (or the images alone), so that no
// mode ends with two atoms on one site.
void merge_coincident_atoms(StructureDocument& doc);

// The box (box option, or cell contents) and the sphere (sphere option)
// applied to the generated atoms: single atoms (cut fragments) or whole
// fragments (runs of equal tag) moved by lattice translations; a point
// within kCoincidentSites of one already kept is not kept again. Cell
// contents always cuts. At most 4999 atoms ("Too many generated atoms").
void fill_box(StructureDocument& doc, Messages& messages);
void fill_sphere(StructureDocument& doc, Messages& messages);

// The generation-option list: sets the mode (None unchecks), the
// regeneration-needed flag and, for cell contents, the 1.01 box at the cell
// centre, the crystal system from the cell (unless a space group is known,
// whose system stays), cut fragments (box) on, every
// equivalent position selected and used as a generation operator (the main
// window re-reads its grid after this). Box, sphere and fragments ask
// "Do you want to colour the fragments?" (only Yes colours). The box and
// sphere dialogs are the window's business.
void set_generation_option(StructureDocument& doc, GenerationMode mode, Messages& messages);

}  // namespace veldor
