#pragma once
// The colours of the picture: the colour grid's rows (background, bonds,
// scale bar, one per element sort), what choosing a colour changes, and
// "Black and White", which puts the colours aside and brings them back.

#include <string>
#include <vector>

#include "core/document.h"
#include "drawing/drawing_state.h"

namespace veldor {

// Rows of the colour grid before the element sorts.
inline constexpr int kBackgroundRow = 0;
inline constexpr int kBondsRow = 1;
inline constexpr int kScaleBarRow = 2;
inline constexpr int kFirstElementRow = 3;

struct ColourRow {
    std::string name;  // "BackGrd", "Bonds", "Scale bar", or the element ("Cl")
    Colour colour = kWhite;
};
std::vector<ColourRow> colour_grid_rows(const StructureDocument& doc, const DrawingState& state);

// The colour chosen for a grid row: "Black and White" is switched off
// first; the bond colour carries every bond that had the previous bond
// colour (bonds given their own colour keep it); the saved copies follow;
// the displayed atoms take their element colours again. A row beyond the
// element sorts changes nothing. True when "Black and White" was on (its
// switching off asks for the ellipsoids to be computed again).
bool choose_colour(StructureDocument& doc, DrawingState& state, int row, Colour colour);

// "Black and White" on: the colours are put aside (unless they already
// are), the element, bond and background colours become white and the
// scale bar black. Off: the colours put aside come back; when no element
// colour then differs from white, the default element colours are used.
// The displayed atoms take their element colours either way.
void set_black_and_white(StructureDocument& doc, DrawingState& state, bool on);

}  // namespace veldor
