#pragma once
// What the drawing window's tools do to the bonds: delete or add a bond
// between two atoms, give one bond its own style, scale every width with
// the "Bond width" bar, and place or clear bond labels. Atom numbers are
// 0-based indexes of doc.display; bonds store them 1-based.

#include <optional>
#include <string>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "core/messages.h"

namespace veldor {

// Width of a bond added by hand (hundredths of an angstrom).
inline constexpr int kAddedBondWidth = 2;
// The "Bond width" bar's range and start, in hundredths of an angstrom.
inline constexpr int kBondWidthMin = 1;
inline constexpr int kBondWidthMax = 20;

// The first bond joining atoms i and j in either order; with
// `drawn_only` only a bond of non-zero width.
std::optional<int> find_bond(const StructureDocument& doc, int i, int j, bool drawn_only);

enum class BondToggle { Removed, Added, Refused };
// "Delete/Add bond": a bond joining i and j is removed (the later bonds move
// down); otherwise one is appended, from i to j, with their view-space
// distance, width 2, the current bond colour and no multiplicity mark. A
// full bond list refuses the addition with "Too much bonds!".
BondToggle toggle_bond(StructureDocument& doc, const ViewState& view, int i, int j,
                       Messages& messages);

// "Customize bonds": the first drawn bond joining i and j takes the colour
// and the width (radius in hundredths). False when no drawn bond joins them.
bool customise_bond(StructureDocument& doc, int i, int j, Colour colour, int radius);

// The "Bond width" bar moved to w (hundredths): every drawn bond's width is
// scaled by w / doc.bond_width (nearest integer, at least 1), a bond to a
// dummy atom gets w div 2 (at least 1), and doc.bond_width becomes w (1
// when w is 0). Hidden bonds (width 0) stay hidden.
void scale_bond_widths(StructureDocument& doc, int w);

// The text a bond label proposes: the length (F6.3, trimmed) and " Å".
std::string bond_label_proposal(double length);
// A bond label placed at the clicked pixel: its offset from the bond's
// first atom as for atom labels, its text (at most 25 characters) and, for
// "Oblique", the bond's angle on the screen in whole degrees, folded into
// -90..90 so the text never reads upside down; 0 for "Horizontal".
void place_bond_label(StructureDocument& doc, const ViewState& view, int bond, double click_x,
                      double click_y, const std::string& text, bool oblique);
// "Delete all labels" of the bond-labelling list.
void delete_bond_labels(StructureDocument& doc);

}  // namespace veldor
