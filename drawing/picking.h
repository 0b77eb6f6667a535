#pragma once
// What a click or a drag on the picture designates: the atom under the
// pointer, and the atoms inside a rectangle. Pixel positions come from the
// view table through the page geometry, as the picture draws them.

#include <optional>
#include <vector>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "drawing/canvas.h"

namespace veldor {

// An atom is under the pointer when both pixel offsets are below this.
inline constexpr int kPickTolerance = 10;
// A release farther than this (pixels, in x or in y) from the press is a
// rectangle; nearer, it is a click.
inline constexpr int kClickTolerance = 2;

// The displayed atom (0-based) under the click: atoms in number order, the
// first within the tolerance wins. Masked atoms are not on the picture and
// cannot be picked.
std::optional<int> pick_atom(const StructureDocument& doc, const ViewState& view,
                             const PageGeometry& page, Point click);

// True when press and release are more than kClickTolerance apart in x or y.
bool is_drag(Point press, Point release);

// A rectangle of the picture. The press is the upper-left corner and the
// release the lower-right one; a drag the other way is normalised.
struct PixelRect {
    double left = 0, top = 0, right = 0, bottom = 0;
    // Bounds included.
    bool contains(Point p) const;
    // Bounds excluded.
    bool strictly_contains(Point p) const;
};
PixelRect drag_rectangle(Point press, Point release);

// Where atom i (0-based) is drawn.
Point atom_pixel(const ViewState& view, const PageGeometry& page, int atom);

// The displayed atoms (0-based, in number order, masked ones too) whose
// pixel position lies inside the rectangle, bounds included or not.
std::vector<int> atoms_in_rectangle(const StructureDocument& doc, const ViewState& view,
                                    const PageGeometry& page, const PixelRect& rect, bool strict);

}  // namespace veldor
