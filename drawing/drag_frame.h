#pragma once
// The quick frame drawn while a mouse button turns, moves or zooms the
// structure. It paints the atoms and bonds of the redraw in the same order
// (back to front, each bond right after its farther atom) and the same
// colours, but rasterises them straight into a PixelFrame without
// antialiasing:
// - an atom is filled row by row from its outline ellipse, with a black
//   border one pen wide, shading and principal ellipses as the options ask;
//   it records the view depth of its front surface in every pixel it covers;
// - a bond is filled from its tapered band, outside the outlines of its own
//   two atoms, only where it lies in front of the atom surface already
//   painted there. The depth test replaces the outline crossings of the
//   redraw, so nothing is searched.
// The still picture (scene.h) stays the one that is shown once the mouse
// stops, copied and exported; this frame differs from it only by the edge
// pixels of atoms and bonds.

#include "core/document.h"
#include "drawing/canvas.h"
#include "drawing/drawing_state.h"
#include "drawing/pixel_frame.h"

namespace veldor {

// From this many displayed atoms on, the window's set-up (Plot, a new
// orientation) shows the quick frame first and the still picture right
// after it: the still one then takes long enough to be waited for.
inline constexpr int kQuickFirstAtoms = 1000;
inline bool quick_picture_first(int displayed_atoms) {
    return displayed_atoms >= kQuickFirstAtoms;
}

// Clears `frame` with the background and paints the atoms and bonds as the
// page places them. `pixel_ratio` is the frame's device pixels per page
// pixel (a high-DPI screen's ratio; 1 otherwise). The labels, the cell, the
// ring middle and the scale bar are left to the caller (scene.h
// draw_overlays), as they need fonts. False, with nothing painted but the
// background, when more than 5000 atoms are displayed.
bool draw_drag_frame(const StructureDocument& doc, const DrawingState& state,
                     const PageGeometry& page, double pixel_ratio, PixelFrame& frame);

}  // namespace veldor
