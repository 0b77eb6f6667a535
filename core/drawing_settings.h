#pragma once
// The drawing settings that travel with a structure in the VLD file:
// orientation and scale (the view_state), ellipsoid probability, the option
// flags, the dummy-atom style, bond perspective, the scale-bar colour and
// the two label fonts. Plain data, no toolkit: the file formats read and
// write them without the renderer, which keeps its own working data
// (ellipsoids, tool state) beside them in drawing/DrawingState.
//
// Bond width, bond colour, background colour and the element colours live
// in the structure document (doc.bond_width, doc.bond_colour,
// doc.background_colour, doc.element_sorts), since generation and the
// element sorts set them too.

#include <string>
#include <string_view>
#include <vector>

#include "core/colour.h"
#include "core/document.h"
#include "core/mat3.h"

namespace veldor {

// Orientation and scale of the drawing (frames: fractional, Cartesian
// crystal frame, view frame with Z towards the viewer).
struct ViewState {
    Mat3 orientation_matrix = identity3();   // column k: screen axis k, reciprocal components
    Mat3 orientation_inverse = identity3();  // row k: screen axis k, direct components
    Mat3 rotation = identity3();             // Cartesian crystal frame to view frame
    Mat3 rotation_inverse = identity3();
    Mat3 view_matrix = identity3();          // fractional to view: rotation x B x G
    Mat3 view_matrix_inverse = identity3();  // view to fractional: G* x B^-1 x rotation_inverse
    Vec3 rotation_angles{};                  // degrees turned by the mouse (shown only)
    int screen_centre[2] = {0, 0};
    double base_scale = 1;
    double zoom = 1.0;
    double scale = 1;
    int probability_index = 5;      // 1..10: 10 % .. 100 %
    double bond_perspective = 6.0;  // taper angle, degrees
    int mouse_mode = 1;             // 0 rectangle tool, 1 rotation XY, 2 rotation Z, 3 translation

    // View-coordinate table (angstrom), parallel to doc.display: the
    // atom_count displayed atoms, then the eight cell corners when the cell
    // is drawn. Filled by the scene set-up, turned by mouse rotation.
    std::vector<Vec3> points;
    int atom_count = 0;
    // Ring middle or centroid: shown as a cross at ring_point (and a dashed
    // circle of ring_radius angstrom when that is above 0); the scene
    // set-up takes ring_fractional through view_matrix and centres on it.
    bool ring_shown = false;
    Vec3 ring_fractional{};
    Vec3 ring_point{};
    double ring_radius = 0;
    // Zoom rectangle in force, and the table as it was before it ("Reset").
    bool zoomed = false;
    std::vector<Vec3> saved_points;
};

// Bold, italic, underline and strikeout of a label font.
struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontStyle&) const = default;
};

// A label font as the VLD file keeps it. The style text is stored as
// written; it is not always what the style set says (a new drawing has
// bold only with the text "Bold, Italic").
struct LabelFont {
    std::string name = "Times New Roman";
    std::string style_text = "Bold, Italic";
    FontStyle style{true, false, false, false};
    int size = 12;
    Colour colour = kBlack;
    bool operator==(const LabelFont&) const = default;
};

// "Bold", "Italic", "Underline", "Strikeout" in that order, joined by ", ".
std::string font_style_text(const FontStyle& style);
// The style set a style text names (words compared without regard to case).
FontStyle font_style_from_text(std::string_view text);

// The drawing-window options that are stored with the structure. The
// generation mode, the two cut choices and fragment colouring belong to the
// structure document.
struct DrawingOptions {
    int reserved = 0;  // kept as read, no effect
    bool colour_gradation = false;
    bool draw_cell = false;
    bool draw_planes = false;
    bool draw_planes_and_axes = false;
    bool labels_in_centre = false;
    bool labels_off_centre = false;
    bool black_and_white = false;
    bool add_position_code = false;    // "Add the position code?": No / Yes
    bool bond_labels = false;          // "Bond Labels"
    bool iso_display = false;          // "Thermal parameters": "Iso" (not stored)
    bool double_triple_bonds = false;  // "Draw Double/triple bond": "Yes" (not stored)
    bool oblique_bond_labels = true;   // "String setting": "Oblique" (not stored)
    bool operator==(const DrawingOptions&) const = default;
};

// Style of dummy atoms (ring middles and centroids).
struct DummyStyle {
    double dimension = 0.01;  // square angstrom
    Colour colour = 16744576;
    bool operator==(const DummyStyle&) const = default;
};

// Everything the VLD file keeps of the drawing.
struct DrawingSettings {
    ViewState view;
    DrawingOptions options;
    DummyStyle dummy;
    Colour scale_bar_colour = kBlack;
    LabelFont atom_label_font;
    LabelFont bond_label_font;
};

// Orientation of a newly generated or loaded structure: view X along a*,
// Z along c (rotation = identity, view_matrix = B x G).
void reset_orientation(ViewState& view, const Metric& metric);

// Recomputes every matrix from view_matrix_inverse and the cell metric.
// False, with the other matrices left as they were, when view_matrix_inverse
// cannot be inverted.
bool derive_view_matrices(ViewState& view, const Metric& metric);

}  // namespace veldor
