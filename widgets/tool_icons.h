#pragma once
// Glyphs of the drawing window's tool buttons: atoms as small discs, bonds
// as bars, rectangles dashed, drawn as vectors at the screen's resolution.

#include <QIcon>

namespace veldor {

enum class ToolGlyph {
    Distance,
    Angle,
    Coordination,
    BondToggle,
    MaskAtom,
    MaskRectangle,
    MaskFragment,
    MaskBonds,
    MaskElements,
    Translation,
    Ring,
    MeanPlane,
    Direction,
    Plane,
    CentreAtom,
    ZoomIn,
    ZoomOut,
    BestView,
    Orientation,
    Reset,
    Help,
    Save,
};

// The glyph as an icon, sharp at device-pixel ratios 1, 1.5, 2 and 3.
QIcon tool_icon(ToolGlyph glyph);

}  // namespace veldor
