#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "drawing/picking.h"
#include "drawing/recording_canvas.h"
#include "drawing/scene.h"
#include "fixtures.h"
#include "generation/generate.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

using test::document_with_cell;
using test::iso_atom;

// Polygons and polylines shortened to their point count and pixel box, so
// that expected recordings stay readable.
std::vector<std::string> summary(const std::vector<std::string>& log) {
    std::vector<std::string> out;
    for (const std::string& line : log) {
        const bool poly = line.rfind("polygon ", 0) == 0 || line.rfind("polyline ", 0) == 0;
        if (!poly) {
            out.push_back(line);
            continue;
        }
        std::istringstream in(line);
        std::string kind, item;
        int n;
        in >> kind >> n;
        long x0 = 100000, x1 = -100000, y0 = 100000, y1 = -100000;
        while (in >> item) {
            long x, y;
            std::sscanf(item.c_str(), "(%ld,%ld)", &x, &y);
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
        out.push_back(kind + " " + std::to_string(n) + " x " + std::to_string(x0) + ".." +
                      std::to_string(x1) + " y " + std::to_string(y0) + ".." + std::to_string(y1));
    }
    return out;
}

CalcBond bond(int a1, int a2, int width = 6) {
    CalcBond b;
    b.atom1 = a1;
    b.atom2 = a2;
    b.width = width;
    b.colour = kYellow;
    return b;
}

// A chain of three atoms, U = 0.01 (outline radius 0.1538 A at 50 %),
// 1.5 A apart along X and rising 0.5 A in depth each step, seen at 100
// pixels per angstrom, bonds without taper.
struct Chain {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    PageGeometry page;
    Chain() {
        doc.display.push_back(iso_atom(doc, "C1", {0.35, 0.5, 0.45}, 0.01));
        doc.display.push_back(iso_atom(doc, "C2", {0.5, 0.5, 0.5}, 0.01));
        doc.display.push_back(iso_atom(doc, "C3", {0.65, 0.5, 0.55}, 0.01));
        doc.bonds = {bond(1, 2), bond(2, 3)};
        state = test::fresh_state(doc);
        state.view.bond_perspective = 0;
        DrawingEnvironment env;
        env.work_dir = std::filesystem::temp_directory_path().string();
        initialise_view(doc, state, env, msg);
        page.scale = 100;
    }
    // Replaces the table, as a view that only the test arranges.
    void place(const std::vector<Vec3>& points) {
        state.view.points = points;
        state.view.atom_count = static_cast<int>(points.size());
    }
    std::vector<std::string> draw() {
        RecordingCanvas canvas;
        draw_atoms_and_bonds(doc, state, canvas, page);
        return summary(canvas.log);
    }
};

TEST(DepthOrder, NearestFirstAndLowerNumberFirstOnEqualDepth) {
    const std::vector<Vec3> p = {{0, 0, 0}, {0, 0, 1}, {0, 0, 0}, {0, 0, -1}, {0, 0, 1}};
    EXPECT_EQ(depth_order(p, 5), (std::vector<int>{1, 4, 0, 2, 3}));
}

// Each bond is painted right after its farther atom, from where it leaves
// that atom's outline to where it enters the nearer one's:
// t = 0.1538 / 1.5 = 0.1025 .. 0.8975 of the 150-pixel projected bond on
// the axis, a 12-pixel band whose edges reach 1.2 pixels further, along the
// outlines (0.1538 - 0.1416 A).
TEST(Bonds, ThreeAtomChainIsClippedAtItsOwnOutlines) {
    Chain c;
    const std::vector<std::string> expected = {
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 181..211 y 331..361",  // C1 at (-150, 0) px, back
        "brush #ffff00",
        "pen #000000 1 solid",
        "polygon 42 x 210..332 y 340..352",  // C1-C2 from x -134.6 to -15.4
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 331..361 y 331..361",  // C2 at the origin
        "brush #ffff00",
        "pen #000000 1 solid",
        "polygon 42 x 360..482 y 340..352",  // C2-C3 from x 15.4 to 134.6
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 481..511 y 331..361",  // C3 at (150, 0) px, front
    };
    EXPECT_EQ(c.draw(), expected);
}

// The ends of a piece run along the outlines that cut it: the band's edges
// 0.06 A off the axis leave a 0.1538 A circle sqrt(0.1538^2 - 0.06^2) =
// 0.1416 A from its centre, the axis 0.1538 A from it.
TEST(Bonds, PieceEndsFollowTheOutlinesThatCutThem) {
    Chain c;
    const Vec3 p1 = {-1.5, 0, -0.5}, p2 = {0, 0, 0};
    const AtomShape a{p1, &c.state.ellipsoids.atoms[0]};
    const AtomShape b{p2, &c.state.ellipsoids.atoms[1]};
    const double r = 1.5382 * std::sqrt(0.01 * test::kBetaRatio) / 1.5;
    const std::vector<Point> pts =
        bond_piece_polygon(c.page, p1, p2, {{r, a}, {1 - r, b}}, 0.06, 0);
    ASSERT_EQ(pts.size(), 42u);
    // First end: from the upper edge across the axis to the lower edge.
    EXPECT_EQ(pts[0], (Point{346 - 136, 340}));
    EXPECT_EQ(pts[10], (Point{346 - 135, 346}));
    EXPECT_EQ(pts[20], (Point{346 - 136, 352}));
    // Second end: back from the lower edge to the upper edge.
    EXPECT_EQ(pts[21], (Point{346 - 14, 352}));
    EXPECT_EQ(pts[31], (Point{346 - 15, 346}));
    EXPECT_EQ(pts[41], (Point{346 - 14, 340}));
    // Without outlines the ends are straight across the band.
    const auto flat = bond_piece_polygon(c.page, p1, p2, {{0.1, {}}, {0.9, {}}}, 0.06, 0);
    EXPECT_EQ(flat[0], (Point{346 - 135, 340}));
    EXPECT_EQ(flat[20], (Point{346 - 135, 352}));
    EXPECT_EQ(flat[41], (Point{346 - 15, 340}));
}

TEST(Bonds, TaperWidensTheNearEnd) {
    Chain c;
    const Vec3 p1 = {-1, 0, -2}, p2 = {1, 0, 2};
    const auto pts = bond_piece_polygon(c.page, p1, p2, {{0, {}}, {1, {}}}, 0.06, 6);
    // Half-widths 0.06 (1 + tan 6 deg x depth) at depths -2 and 2: 4.7 and
    // 7.3 pixels.
    EXPECT_EQ(pts[0].y, 346 - 5);
    EXPECT_EQ(pts[41].y, 346 - 7);
}

// A nearer atom over the middle of a bond cuts it in two; the same atom
// behind the bond does not; an atom the axis passes through cuts it too.
TEST(Bonds, NearerAtomsCutTheBondWhereTheyCoverIt) {
    Chain c;
    c.doc.display.push_back(iso_atom(c.doc, "C4", {0, 0, 0}, 0.01));
    c.state.ellipsoids.atoms.push_back(c.state.ellipsoids.atoms[0]);
    c.doc.bonds = {bond(1, 2)};
    const AtomShape p{{-1.5, 0, -0.5}, &c.state.ellipsoids.atoms[0]};
    const AtomShape q{{0, 0, 0}, &c.state.ellipsoids.atoms[1]};
    const double r = 1.5382 * std::sqrt(0.01 * test::kBetaRatio) / 1.5;

    const AtomShape front{{-0.75, 0, 1}, &c.state.ellipsoids.atoms[3]};
    auto pieces = bond_stretches(p, q, std::span(&front, 1));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NEAR(pieces[0].start.t, r, 1e-12);
    EXPECT_NEAR(pieces[0].end.t, 0.5 - r, 1e-12);
    EXPECT_NEAR(pieces[1].start.t, 0.5 + r, 1e-12);
    EXPECT_NEAR(pieces[1].end.t, 1 - r, 1e-12);
    // Each end keeps the outline it lies on.
    EXPECT_EQ(pieces[0].start.outline.ellipsoid, p.ellipsoid);
    EXPECT_EQ(pieces[0].end.outline.ellipsoid, front.ellipsoid);
    EXPECT_EQ(pieces[1].start.outline.centre, front.centre);
    EXPECT_EQ(pieces[1].end.outline.ellipsoid, q.ellipsoid);

    const AtomShape back{{-0.75, 0, -2}, &c.state.ellipsoids.atoms[3]};
    pieces = bond_stretches(p, q, std::span(&back, 1));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_NEAR(pieces[0].start.t, r, 1e-12);
    EXPECT_NEAR(pieces[0].end.t, 1 - r, 1e-12);

    const AtomShape through{{-0.75, 0, -0.25}, &c.state.ellipsoids.atoms[3]};
    EXPECT_EQ(bond_stretches(p, q, std::span(&through, 1)).size(), 2u);

    // In the picture: the cut bond, then the covering atom painted last.
    c.place({{-1.5, 0, -0.5}, {0, 0, 0}, {1.5, 0, 0.5}, {-0.75, 0, 1}});
    const auto log = c.draw();
    const std::vector<std::string> expected = {
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 181..211 y 331..361",
        "brush #ffff00",
        "pen #000000 1 solid",
        "polygon 42 x 210..257 y 340..352",  // t 0.1025 .. 0.3975
        "polygon 42 x 285..332 y 340..352",  // t 0.6025 .. 0.8975
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 331..361 y 331..361",
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 481..511 y 331..361",
        "brush #808080",
        "pen #000000 1 solid",
        "polygon 51 x 256..286 y 331..361",
    };
    EXPECT_EQ(log, expected);
}

// A big atom centred behind the bond whose surface the axis pierces: the
// bond is cut where it runs inside, |P(t) - C| < 1 for t up to 0.7944, and
// that end, away from the outline, is straight.
TEST(Bonds, BigAtomBehindHidesWhereTheAxisRunsInsideIt) {
    Chain c;
    AtomEllipsoid big;
    big.W = identity3();
    big.eigenvalues = {1, 1, 1};
    compute_outline(big, identity3(), identity3());
    const AtomShape p{{-1.5, 0, -0.5}, &c.state.ellipsoids.atoms[0]};
    const AtomShape q{{0, 0, 0}, &c.state.ellipsoids.atoms[1]};
    const AtomShape k{{-0.75, 0, -1}, &big};
    const auto pieces = bond_stretches(p, q, std::span(&k, 1));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_NEAR(pieces[0].start.t, (1.75 + std::sqrt(4.9375)) / 5, 1e-12);
    EXPECT_EQ(pieces[0].start.outline.ellipsoid, nullptr);
    EXPECT_EQ(pieces[0].end.outline.ellipsoid, q.ellipsoid);
    // The same atom 0.6 A further back leaves the bond in front of it.
    const AtomShape far{{-0.75, 0, -1.6}, &big};
    EXPECT_EQ(bond_stretches(p, q, std::span(&far, 1)).size(), 1u);
    EXPECT_NEAR(bond_stretches(p, q, std::span(&far, 1))[0].start.t, 0.1538 / 1.5, 1e-4);
}

TEST(Bonds, MaskedAtomsAndZeroWidthBondsAreNotDrawn) {
    Chain c;
    c.doc.bonds = {bond(1, 2, 0), bond(2, 3)};
    c.doc.display[2].drawn = 0;
    const auto log = c.draw();
    EXPECT_EQ(std::count(log.begin(), log.end(), "brush #ffff00"), 0);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.rfind("polygon 51", 0) == 0; }),
              2);
}

TEST(Bonds, EqualDepthBondIsPaintedAfterEachAtom) {
    Chain c;
    c.place({{-1.5, 0, 0}, {0, 0, 0}, {1.5, 0, 0}});
    c.doc.bonds = {bond(1, 2)};
    const auto log = c.draw();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.rfind("polygon 42", 0) == 0; }),
              2);
}

// The brush in force when the first bond piece is painted.
std::string bond_brush(Chain& c) {
    std::string brush;
    for (const std::string& l : c.draw()) {
        if (l.rfind("brush", 0) == 0) brush = l;
        if (l.rfind("polygon 42", 0) == 0) return brush;
    }
    return "";
}

TEST(Bonds, FillColours) {
    Chain c;
    c.doc.bonds = {bond(1, 2)};
    c.doc.bonds[0].multiplicity = 1;
    EXPECT_EQ(bond_brush(c), "brush #ffff00");
    c.state.options.double_triple_bonds = true;
    EXPECT_EQ(bond_brush(c), "brush #008000");
    c.doc.bonds[0].multiplicity = 2;
    EXPECT_EQ(bond_brush(c), "brush #0000ff");
    c.doc.colour_fragments = true;
    c.doc.display[0].tag = 2;  // the farther atom paints the bond
    EXPECT_EQ(bond_brush(c), "brush " + colour_text(fragment_colour(2)));
    c.state.options.black_and_white = true;
    EXPECT_EQ(bond_brush(c), "brush #ffffff");
}

TEST(Labels, CentredAndMovedLabels) {
    Chain c;
    c.doc.gen_labels = {"C 1", "C2", "C3"};
    c.doc.display[1].labelled = 0;
    c.doc.display[2].label_dx = 0.5;
    c.doc.display[2].label_dy = -0.2;
    RecordingCanvas canvas;
    draw_atom_labels(c.doc, c.state, canvas, c.page, c.msg);
    EXPECT_TRUE(canvas.log.empty());
    c.state.options.labels_in_centre = true;
    draw_atom_labels(c.doc, c.state, canvas, c.page, c.msg);
    // "C1(1)" in Times New Roman 7 (17.5 x 8.75 on the recorder) centred on
    // (196, 346); the moved label's anchor is (150 - 50, 0 + 20) px, raised
    // by half of its 15-pixel height.
    const std::vector<std::string> expected = {
        "text (188,342) \"C1(1)\" Times New Roman 7 #000000 - angle 0 on #808080",
        "text (446,319) \"C3\" Times New Roman 12 #000000 bi angle 0 on #ffffff",
    };
    EXPECT_EQ(canvas.log, expected);
}

TEST(Labels, PositionCodeAfterAMovedLabel) {
    Chain c;
    Atom asym = c.doc.display[0];
    c.doc.asym = {asym};
    EquivalentPosition identity;
    identity.op = SymOp::identity();
    identity.text = format_operator(identity.op);
    EquivalentPosition inversion;
    inversion.op = SymOp::identity();
    for (int i = 0; i < 3; ++i)
        inversion.op.m[i][i] = -1;
    inversion.text = format_operator(inversion.op);
    c.doc.positions = {identity, inversion};
    c.doc.display[0].set_position({1 - 0.35, 1 - 0.5, 1 - 0.45});
    c.doc.gen_labels = {"C1"};
    EXPECT_EQ(label_with_position_code(c.doc, 0, c.msg), "C1 (-X,-Y,-Z)(2_666)");
    c.doc.display[0].label_dx = 0.3;
    c.state.options.labels_off_centre = true;
    c.state.options.add_position_code = true;
    RecordingCanvas canvas;
    draw_atom_labels(c.doc, c.state, canvas, c.page, c.msg);
    ASSERT_EQ(canvas.log.size(), 3u);
    EXPECT_NE(canvas.log[0].find("\"C1 (-X,-Y,-Z)(2_666)\""), std::string::npos);
    EXPECT_TRUE(c.msg.log.empty());
}

TEST(Labels, BondLabelIsRaisedTowardsItsOwnTop) {
    Chain c;
    c.doc.bonds = {bond(1, 2)};
    c.doc.bonds[0].label = "1.581 \u00c5";
    c.doc.bonds[0].label_dx = -0.5;
    c.doc.bonds[0].label_dy = -0.4;
    c.doc.bonds[0].label_angle = 90;
    c.state.bond_label_font.size = 10;
    c.state.bond_label_font.style_text = "Bold";  // the text decides, not the set
    RecordingCanvas canvas;
    draw_bond_labels(c.doc, c.state, canvas, c.page);
    EXPECT_TRUE(canvas.log.empty());
    c.state.options.bond_labels = true;
    draw_bond_labels(c.doc, c.state, canvas, c.page);
    // Anchor (-150 + 50, 40) px = (246, 306); half the 12.5-pixel height
    // to the left, the top of text written upwards.
    ASSERT_EQ(canvas.log.size(), 1u);
    EXPECT_EQ(canvas.log[0],
              "text (240,306) \"1.581 \u00c5\" Times New Roman 10 #000000 b angle 90 clear");
    c.state.bond_label_font.style_text = "";
    c.state.bond_label_font.style.bold = true;
    canvas.log.clear();
    draw_bond_labels(c.doc, c.state, canvas, c.page);
    EXPECT_NE(canvas.log[0].find(" #000000 - angle 90 "), std::string::npos);
}

TEST(Picture, EmptySceneHoldsBackgroundAndScaleBar) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state = test::fresh_state(doc);
    RecordingCanvas canvas;
    PageGeometry page;
    page.scale = 100;
    RecordingMessages msg;
    ASSERT_TRUE(redraw(doc, state, canvas, page, msg));
    const std::vector<std::string> expected = {
        "pen #ffffff 1 solid",
        "brush #ffffff",
        "rectangle (0,0) (692,692)",
        "pen #000000 1 solid",
        "pen #000000 2 solid",
        "brush #ffffff",
        "line (10,672) (110,672)",
        "text (55,657) \"1\u00c5\" Times New Roman 8 #000000 - angle 0 on #ffffff",
        "pen #000000 1 solid",
    };
    EXPECT_EQ(canvas.log, expected);
    page.scale = 200;  // zoom 2: twice as long, same text
    RecordingCanvas twice;
    draw_scale_bar(twice, page, kBlack, kWhite);
    EXPECT_EQ(twice.log[2], "line (10,672) (210,672)");
    EXPECT_EQ(twice.log[3],
              "text (105,657) \"1\u00c5\" Times New Roman 8 #000000 - angle 0 on #ffffff");
}

TEST(Picture, MarkedAtomsGetARingOfThePickingTolerance) {
    Chain c;
    c.doc.display[0].drawn = 0;  // masked: no mark
    RecordingCanvas canvas;
    const std::vector<int> marked = {2, 0, 3, -1};
    draw_atom_marks(c.doc, c.state.view, canvas, c.page, marked);
    const Point p = atom_pixel(c.state.view, c.page, 2);
    char box[64];
    std::snprintf(box, sizeof box, "ellipse (%.0f,%.0f) (%.0f,%.0f)", p.x - 10, p.y - 10, p.x + 10,
                  p.y + 10);
    EXPECT_EQ(canvas.log, (std::vector<std::string>{"pen #ff0000 2 solid", "brush hollow", box}));
}

TEST(Picture, CellEdgesAndLetters) {
    Chain c;
    c.state.options.draw_cell = true;
    set_up_scene(c.doc, c.state, 692);
    RecordingCanvas canvas;
    draw_cell(c.state, canvas, c.page);
    // Centred on the atoms and the eight corners: origin at (-5, -5, -5) A.
    ASSERT_EQ(canvas.log.size(), 2 + 12 + 2 + 4u);
    EXPECT_EQ(canvas.log[0], "pen #808080 1 dotted");
    EXPECT_EQ(canvas.log[2], "line (-154,846) (846,846)");
    EXPECT_EQ(canvas.log[14], "pen #000000 1 solid");
    EXPECT_EQ(canvas.log[15], "brush #b2dff7");
    EXPECT_EQ(canvas.log[16],
              "text (-154,846) \"o\" Times New Roman 14 #000000 b angle 0 on #b2dff7");
    EXPECT_EQ(canvas.log[19].substr(0, 23), "text (-154,846) \"c\" Tim");
}

TEST(Picture, RingMiddleCrossAndCircle) {
    Chain c;
    c.state.view.ring_shown = true;
    c.state.view.ring_point = {0.1, 0.2, 0};
    c.state.view.ring_radius = 1;
    RecordingCanvas canvas;
    draw_ring_middle(c.state, canvas, c.page);
    const auto log = summary(canvas.log);
    const std::vector<std::string> expected = {
        "pen #808080 1 dashed", "polyline 51 x 256..456 y 226..426", "pen #000000 1 solid",
        "brush #ff0000",        "line (351,326) (361,326)",          "line (356,321) (356,331)",
    };
    EXPECT_EQ(log, expected);
}

TEST(Picture, StepsComeInTheirOrder) {
    Chain c;
    c.state.options.draw_cell = true;
    c.state.options.labels_in_centre = true;
    c.state.options.bond_labels = true;
    c.doc.bonds[0].label = "1.58";
    c.doc.bonds[0].label_dx = 0.1;
    c.doc.colour_fragments = true;
    c.doc.display[0].tag = 1;
    set_up_scene(c.doc, c.state, 692);
    RecordingCanvas canvas;
    ASSERT_TRUE(redraw(c.doc, c.state, canvas, c.page, c.msg));
    const auto& log = canvas.log;
    auto first = [&](const std::string& prefix) {
        return std::find_if(log.begin(), log.end(),
                            [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }) -
               log.begin();
    };
    auto last = [&](const std::string& prefix) {
        return log.rend() -
               std::find_if(log.rbegin(), log.rend(),
                            [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }) -
               1;
    };
    EXPECT_EQ(log[2], "rectangle (0,0) (692,692)");
    // The first atom painted is the farthest, in its fragment's colour.
    EXPECT_EQ(log[4], "brush " + colour_text(fragment_colour(1)));
    EXPECT_LT(last("polygon"), first("text ("));
    EXPECT_NE(log[static_cast<std::size_t>(first("text ("))].find("\"C1(1)\""), std::string::npos);
    EXPECT_NE(log[static_cast<std::size_t>(first("text (") + 3)].find("\"1.58\""),
              std::string::npos);
    EXPECT_LT(first("text (") + 3, first("pen #808080 1 dotted"));
    EXPECT_EQ(log[log.size() - 2],
              "text (55,657) \"1\u00c5\" Times New Roman 8 #000000 - angle 0 on #ffffff");
    EXPECT_EQ(log.back(), "pen #000000 1 solid");
    EXPECT_TRUE(c.msg.log.empty());

    // With the shading the busy cursor shows while the atoms are painted.
    struct Busy : RecordingMessages {
        int shown = 0;
        void busy(bool on) override {
            if (on) ++shown;
            RecordingMessages::busy(on);
        }
    } busy;
    c.state.options.colour_gradation = true;
    RecordingCanvas shaded;
    ASSERT_TRUE(redraw(c.doc, c.state, shaded, c.page, busy));
    EXPECT_EQ(busy.shown, 1);
    EXPECT_EQ(busy.busy_depth, 0);
    EXPECT_GT(shaded.log.size(), log.size());
}

TEST(Picture, TooManyAtomsDrawNothing) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    doc.display.assign(5001, iso_atom(doc, "C1", {0.5, 0.5, 0.5}, 0.01));
    DrawingState state = test::fresh_state(doc);
    RecordingCanvas canvas;
    RecordingMessages msg;
    EXPECT_FALSE(redraw(doc, state, canvas, PageGeometry{}, msg));
    EXPECT_TRUE(canvas.log.empty());
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Nb of atoms too big (>5000)");
}

RedrawRequest request_from(const DrawingState& s) {
    RedrawRequest r;
    r.options = s.options;
    r.bond_width_text = " 0.06";
    r.bond_perspective_text = "12.00";
    r.probability_index = s.view.probability_index;
    r.mouse_mode = 1;
    return r;
}

TEST(RedrawRequest, UnreadableBoxesSayWhich) {
    Chain c;
    DrawingEnvironment env;
    RedrawRequest r = request_from(c.state);
    r.bond_width_text = "0,06";
    EXPECT_EQ(redraw_request(c.doc, c.state, r, env, c.msg),
              RedrawRequestResult::BondWidthUnreadable);
    r.bond_width_text = "0.12";
    r.bond_perspective_text = "";
    EXPECT_EQ(redraw_request(c.doc, c.state, r, env, c.msg),
              RedrawRequestResult::PerspectiveUnreadable);
    ASSERT_EQ(c.msg.warnings.size(), 2u);
    EXPECT_EQ(c.msg.warnings[0], "Read error!");
    EXPECT_EQ(c.msg.warnings[1], "Read Error!");
    EXPECT_EQ(c.doc.bond_width, 12);
}

TEST(RedrawRequest, RecomputesWhatTheOptionsChanged) {
    Chain c;
    DrawingEnvironment env;
    env.work_dir = std::filesystem::temp_directory_path().string();
    c.doc.element_sorts = {ElementSort{rgb(1, 2, 3), 0.77, "C"}};
    Atom dummy = iso_atom(c.doc, "DU1", {0.5, 0.5, 0.5}, 0.01);
    dummy.element = "DU";
    dummy.colour = rgb(255, 0, 0);
    c.doc.display.push_back(dummy);
    set_up_scene(c.doc, c.state, 692);
    const double radius50 = 1 / std::sqrt(c.state.ellipsoids.atoms[0].eigenvalues[0]);

    RedrawRequest r = request_from(c.state);
    r.options.draw_cell = true;
    r.mouse_mode = 3;
    ASSERT_EQ(redraw_request(c.doc, c.state, r, env, c.msg), RedrawRequestResult::Redraw);
    EXPECT_EQ(c.state.view.points.size(), 4u + 8u);
    EXPECT_EQ(c.state.view.mouse_mode, 3);
    EXPECT_EQ(c.state.view.bond_perspective, 12.0);
    EXPECT_EQ(c.doc.bond_width, 6);
    EXPECT_EQ(c.doc.display[0].colour, rgb(1, 2, 3));
    EXPECT_EQ(c.doc.display[3].colour, rgb(255, 0, 0));
    // Ellipsoids follow the new probability; the old ones stay otherwise.
    EXPECT_EQ(c.state.ellipsoids.atoms.size(), 3u);
    r.probability_index = 1;
    ASSERT_EQ(redraw_request(c.doc, c.state, r, env, c.msg), RedrawRequestResult::Redraw);
    ASSERT_EQ(c.state.ellipsoids.atoms.size(), 4u);
    EXPECT_NEAR(1 / std::sqrt(c.state.ellipsoids.atoms[0].eigenvalues[0]),
                radius50 * 0.7644 / 1.5382, 1e-12);
    EXPECT_EQ(c.state.previous_probability_index, 1);
    EXPECT_TRUE(c.msg.log.empty());
}

}  // namespace
}  // namespace veldor
