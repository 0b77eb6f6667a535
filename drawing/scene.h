#pragma once
// The redraw: one pass that paints the picture on a Canvas, in this order:
// background, atoms and bonds from back to front, atom labels, bond labels,
// the dotted cell with its letters, the ring middle and the 1 A scale bar.
// The screen, the printer and image files call the same steps with their
// own PageGeometry. Also the redraw request, which reads the option
// controls into the state and recomputes what they invalidate.

#include <span>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/canvas.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"

namespace veldor {

inline constexpr const char* kTooManyAtomsToDraw = "Nb of atoms too big (>5000)";
inline constexpr const char* kBondWidthReadError = "Read error!";
inline constexpr const char* kBondPerspectiveReadError = "Read Error!";

// Fixed colours of the picture.
inline constexpr Colour kSingleMarkBondColour = rgb(0, 128, 0);  // multiplicity mark 1
inline constexpr Colour kDoubleMarkBondColour = rgb(0, 0, 255);  // multiplicity mark 2
inline constexpr Colour kCellColour = rgb(128, 128, 128);
inline constexpr Colour kCellLetterBackground = rgb(178, 223, 247);
inline constexpr Colour kRingColour = rgb(128, 128, 128);
inline constexpr Colour kRingCrossBrush = rgb(255, 0, 0);
inline constexpr Colour kAtomMarkColour = rgb(255, 0, 0);

// Points of each curved end of a bond piece (a piece has twice as many).
inline constexpr int kBondEndPoints = 21;
// Bounds of a bond's taper factor 1 + tan(perspective) Z, so that far
// bonds never vanish and near ones stay within reason.
inline constexpr double kMinBondTaper = 0.25;
inline constexpr double kMaxBondTaper = 4.0;

// Atom numbers (0-based) from nearest to farthest: larger view Z first,
// the lower number first on equal Z.
std::vector<int> depth_order(std::span<const Vec3> points, int atom_count);

// The whole picture. False, with kTooManyAtomsToDraw shown and nothing
// drawn, when more than 5000 atoms are displayed.
bool redraw(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
            const PageGeometry& page, Messages& messages);

// The steps of the picture, for pages that arrange them differently.
void clear_picture(Canvas& canvas, const PageGeometry& page, Colour background);
void draw_atoms_and_bonds(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                          const PageGeometry& page);
// Everything drawn over the atoms and bonds, in order: atom labels, bond
// labels, the cell (when on), the ring middle and the scale bar.
void draw_overlays(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                   const PageGeometry& page, Messages& messages);
// Atom labels (when "Labels in centre" or "Labels off centre" is on); the
// position codes of moved labels are computed here, so their messages
// (an undecodable atom) go to `messages`.
void draw_atom_labels(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                      const PageGeometry& page, Messages& messages);
void draw_bond_labels(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                      const PageGeometry& page);
void draw_cell(const DrawingState& state, Canvas& canvas, const PageGeometry& page);
void draw_ring_middle(const DrawingState& state, Canvas& canvas, const PageGeometry& page);
void draw_scale_bar(Canvas& canvas, const PageGeometry& page, Colour bar, Colour background);
// The atoms (0-based) an analysis window points out, such as the plane being
// picked: a red circle of the picking tolerance's radius around each shown
// one. Masked atoms and numbers the drawing no longer has are skipped.
void draw_atom_marks(const StructureDocument& doc, const ViewState& view, Canvas& canvas,
                     const PageGeometry& page, std::span<const int> atoms);

// What the atoms-and-bonds step shares with the quick frame drawn while
// the mouse turns the structure, so both paint the same things:
// - the atoms both the view table and the ellipsoids hold;
int drawable_atoms(const StructureDocument& doc, const DrawingState& state);
// - the drawn bonds of each of the first `atom_count` atoms (width not 0,
//   both ends visible), in bond order: the bonds of atom i are
//   list[first[i]] .. list[first[i + 1] - 1];
struct BondsByAtom {
    std::vector<int> first, list;
};
BondsByAtom bonds_by_atom(const StructureDocument& doc, int atom_count);
// - an atom's fill (its colour, or its fragment's) and a bond's fill
//   ("Black and White", fragment, double/triple marks, or its own colour),
//   `first_drawn` being the bond's end painted first.
Colour atom_fill_colour(const StructureDocument& doc, int atom);
Colour bond_fill_colour(const StructureDocument& doc, const DrawingState& state, const CalcBond& b,
                        int first_drawn);

// The text of an atom's label: the drawn label text, or the name when the
// document has none for it.
std::string atom_label_text(const StructureDocument& doc, int atom);
// A moved label with its position code: label " (" operator ")(" code ")".
std::string label_with_position_code(const StructureDocument& doc, int atom, Messages& messages);

// One bond seen in the view plane: the stretches of its axis (parameter t
// from 0 at the first-drawn atom p to 1 at q) that are drawn, after cutting
// out both atoms' outlines and every visible atom whose surface lies in
// front of the axis. Each end remembers the outline that cut it, so the
// piece can follow that outline across its width.
struct AtomShape {
    Vec3 centre{};  // view coordinates
    const AtomEllipsoid* ellipsoid = nullptr;
};
struct StretchEnd {
    double t = 0;
    AtomShape outline;  // ellipsoid null: a straight end across the band
};
struct BondStretch {
    StretchEnd start, end;
};
std::vector<BondStretch> bond_stretches(const AtomShape& p, const AtomShape& q,
                                        std::span<const AtomShape> others);
// The 42-point outline of one stretch: a band of half-width `half_width`
// angstrom, tapered by tan(perspective) along view depth, whose two
// 21-point ends run along the outlines that cut them.
std::vector<Point> bond_piece_polygon(const PageGeometry& page, const Vec3& p1, const Vec3& p2,
                                      const BondStretch& s, double half_width,
                                      double perspective_degrees);

// The redraw request: what the option controls hold.
struct RedrawRequest {
    DrawingOptions options;
    std::string bond_width_text;        // the "Bond width" box, angstrom
    std::string bond_perspective_text;  // the "Bond perspective" box, degrees
    int probability_index = 5;
    int mouse_mode = 1;
};
enum class RedrawRequestResult {
    Redraw,                 // the state is ready: redraw
    BondWidthUnreadable,    // "Read error!" shown: focus to the box, no redraw
    PerspectiveUnreadable,  // "Read Error!" shown: focus to the box, no redraw
};
// Stores the options, the bond width (x 100, nearest integer) and the
// perspective, the probability and the mouse mode; sets the scene up again
// when the cell option changed; recomputes ellipsoids, outlines and scene
// when the probability or the thermal mode changed; gives every displayed
// atom its element colour.
RedrawRequestResult redraw_request(StructureDocument& doc, DrawingState& state,
                                   const RedrawRequest& request, const DrawingEnvironment& env,
                                   Messages& messages);

}  // namespace veldor
