#pragma once
// The drawing window's state: the settings stored with the structure
// (core/drawing_settings.h) and the working data the renderer and the tools
// keep beside them between redraws. Plain data, no toolkit.

#include <vector>

#include "core/colour.h"
#include "core/drawing_settings.h"
#include "drawing/ellipsoid.h"

namespace veldor {

// The style the bond-style dialog chose for the customise-bond tool.
struct BondStyle {
    Colour colour = kYellow;
    int radius = 6;  // hundredths of an angstrom
    bool operator==(const BondStyle&) const = default;
};

// The colours "Black and White" puts aside, to bring them back when it is
// switched off. Empty element colours: nothing saved.
struct SavedColours {
    std::vector<Colour> elements;  // one per element sort
    Colour bonds = kYellow;
    Colour background = kWhite;
    Colour scale_bar = kBlack;
};

struct DrawingState : DrawingSettings {
    // Ellipsoids of the displayed atoms at probability_index.
    EllipsoidSet ellipsoids;
    // The probability the ellipsoids were last computed for.
    int previous_probability_index = 5;
    BondStyle bond_style;
    SavedColours saved_colours;
};

}  // namespace veldor
