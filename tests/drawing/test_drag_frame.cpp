// The quick frame of drags, its pixel frame, and the deferred canvas the
// still picture is composed on.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "drawing/deferred_canvas.h"
#include "drawing/drag_frame.h"
#include "drawing/recording_canvas.h"
#include "drawing/scene.h"
#include "fixtures.h"

namespace veldor {
namespace {

using test::iso_atom;

constexpr Colour kGrey = rgb(128, 128, 128);

// Two atoms, U = 0.01 (outline radius 0.1538 A at 50 %), at view
// (-1.5, 0, -0.5) and (0, 0, 0), bonded (half-width 0.06 A, no taper), at
// 100 pixels per angstrom with the origin at pixel (346, 346).
struct Pair {
    StructureDocument doc = test::document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    PageGeometry page;
    PixelFrame frame{692, 692};
    Pair() {
        doc.display.push_back(iso_atom(doc, "C1", {0.35, 0.5, 0.45}, 0.01));
        doc.display.push_back(iso_atom(doc, "C2", {0.5, 0.5, 0.5}, 0.01));
        CalcBond b;
        b.atom1 = 1;
        b.atom2 = 2;
        b.width = 6;
        b.colour = kYellow;
        doc.bonds = {b};
        state = test::fresh_state(doc);
        state.view.bond_perspective = 0;
        DrawingEnvironment env;
        env.work_dir = std::filesystem::temp_directory_path().string();
        initialise_view(doc, state, env, msg);
        page.scale = 100;
        place({{-1.5, 0, -0.5}, {0, 0, 0}});
    }
    void place(const std::vector<Vec3>& points) {
        state.view.points = points;
        state.view.atom_count = static_cast<int>(points.size());
    }
    // A unit sphere (radius 1 A) as atom 3, at `centre`.
    void add_big_atom(const Vec3& centre) {
        doc.display.push_back(iso_atom(doc, "C3", {0, 0, 0}, 0.01));
        doc.display.back().colour = rgb(0, 0, 255);
        AtomEllipsoid big;
        big.W = identity3();
        big.eigenvalues = {1, 1, 1};
        compute_outline(big, identity3(), identity3());
        state.ellipsoids.atoms.push_back(big);
        std::vector<Vec3> pts = state.view.points;
        pts.push_back(centre);
        place(pts);
    }
    bool draw(double ratio = 1) { return draw_drag_frame(doc, state, page, ratio, frame); }
    Colour at(int x, int y) const { return frame_colour(frame.pixel(x, y)); }
};

TEST(DragFrame, AtomIsItsOutlineFilledAndBorderedOnePenWide) {
    Pair p;
    p.doc.bonds.clear();
    ASSERT_TRUE(p.draw());
    // Atom 2 is centred on pixel corner (346, 346), radius 15.38 px: filled
    // within 14.9 px, black to 15.9 px, background beyond.
    EXPECT_EQ(p.at(346, 346), kGrey);
    EXPECT_EQ(p.at(346 + 13, 346), kGrey);
    EXPECT_EQ(p.at(346 + 15, 346), kBlack);
    EXPECT_EQ(p.at(345, 346 - 16), kBlack);
    EXPECT_EQ(p.at(346 + 16, 346), kWhite);
    EXPECT_EQ(p.frame.owner(346, 346), 1);
    EXPECT_EQ(p.frame.owner(346 + 17, 346), kNoOwner);
    // The pixels painted are the disc of radius 15.88 px.
    int painted = 0;
    for (int y = 320; y < 372; ++y)
        for (int x = 320; x < 372; ++x)
            painted += p.at(x, y) != kWhite;
    EXPECT_NEAR(painted, 3.14159265 * 15.88 * 15.88, 25);

    // Shading: white in the middle, rings of lightened grey out to the rim.
    p.state.options.colour_gradation = true;
    ASSERT_TRUE(p.draw());
    EXPECT_EQ(p.at(346, 346), kWhite);
    const Colour rim = p.at(346 + 13, 346);
    EXPECT_GT(red(rim), 128);
    EXPECT_LT(red(rim), 160);
    EXPECT_EQ(p.at(346 + 15, 346), kBlack);

    // Twice the pixels per page pixel: twice the radius.
    p.state.options.colour_gradation = false;
    PixelFrame big(1384, 1384);
    ASSERT_TRUE(draw_drag_frame(p.doc, p.state, p.page, 2, big));
    EXPECT_EQ(frame_colour(big.pixel(692 + 29, 692)), kGrey);
    EXPECT_EQ(frame_colour(big.pixel(692 + 31, 692)), kBlack);
    EXPECT_EQ(frame_colour(big.pixel(692 + 33, 692)), kWhite);
}

TEST(DragFrame, BondRunsBetweenItsAtomsOutsideTheirOutlines) {
    Pair p;
    ASSERT_TRUE(p.draw());
    // Half-width 6 px around y = 346: yellow to 5.5 px, black to 6.5 px.
    EXPECT_EQ(p.at(271, 346), kYellow);
    EXPECT_EQ(p.at(271, 346 + 4), kYellow);
    EXPECT_EQ(p.at(271, 346 - 7), kBlack);
    EXPECT_EQ(p.at(271, 346 + 8), kWhite);
    // Not over its own atoms: their fill and borders stay.
    EXPECT_EQ(p.at(346 - 10, 346), kGrey);
    EXPECT_EQ(p.at(346 - 16, 346), kBlack);
    EXPECT_EQ(p.at(196 + 10, 346), kGrey);
    // Seen end-on, as in the redraw, there is no bond.
    p.place({{0, 0, -1.5}, {0, 0, 0}});
    ASSERT_TRUE(p.draw());
    EXPECT_EQ(p.at(346, 346 + 20), kWhite);
}

TEST(DragFrame, AtomPaintedBeforeTheBondHidesItWhereItsSurfaceIsInFront) {
    // The unit sphere at depth -1 is painted before both ends; the axis runs
    // inside it up to t = 0.794, as the redraw finds (test_scene).
    Pair p;
    p.add_big_atom({-0.75, 0, -1});
    ASSERT_TRUE(p.draw());
    const Colour blue = rgb(0, 0, 255);
    EXPECT_EQ(p.at(271, 346), blue);        // t = 0.5
    EXPECT_EQ(p.at(300, 346), blue);        // t = 0.69
    EXPECT_EQ(p.at(323, 346), kYellow);     // t = 0.85: in front again
    EXPECT_EQ(p.at(196 + 10, 346), kGrey);  // the first atom over the sphere
    // 0.6 A further back the sphere leaves the whole bond in front.
    p.place({{-1.5, 0, -0.5}, {0, 0, 0}, {-0.75, 0, -1.6}});
    ASSERT_TRUE(p.draw());
    EXPECT_EQ(p.at(271, 346), kYellow);
    EXPECT_EQ(p.at(271, 346 + 30), blue);
}

TEST(DragFrame, NothingButTheBackgroundForTooManyAtoms) {
    Pair p;
    p.doc.background_colour = rgb(10, 20, 30);
    p.doc.display.resize(kMaxGenAtoms + 1, p.doc.display[0]);
    EXPECT_FALSE(p.draw());
    EXPECT_EQ(p.at(346, 346), rgb(10, 20, 30));
    EXPECT_EQ(p.at(271, 346), rgb(10, 20, 30));
}

TEST(DragFrame, BadGeometryNeverCrashes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Pair p;
    for (const Vec3& far :
         {Vec3{nan, 0, 0}, Vec3{1e300, -1e300, 0}, Vec3{inf, 0, inf}, Vec3{2e6, 0, 1}}) {
        p.place({{-1.5, 0, -0.5}, far});
        EXPECT_TRUE(p.draw());
        EXPECT_EQ(p.at(196, 346), kGrey);  // the other atom is drawn still
    }
    p.place({{0, 0, 0}});  // the table shorter than the atoms
    EXPECT_TRUE(p.draw());
    p.state.ellipsoids.atoms[0].A = nan;
    p.page.scale = 1e308;
    EXPECT_TRUE(p.draw(-3));
    PixelFrame none;
    EXPECT_TRUE(draw_drag_frame(p.doc, p.state, p.page, 1, none));
    none.attach(nullptr, 10, 10, 10);
    EXPECT_EQ(none.width(), 0);

    // Lines are clipped to the frame whatever their ends.
    PixelFrame f(8, 8);
    f.clear(kWhite);
    f.line({-1e300, 1e300}, {1e300, -1e300}, kBlack);  // somewhere, briefly
    f.clear(kWhite);
    f.line({-1e6, 3}, {1e6, 3}, kBlack);
    f.line({nan, 0}, {4, 4}, kBlack);
    f.line({2, -inf}, {2, 5}, kBlack);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(frame_colour(f.pixel(x, 3)), kBlack) << x;
    EXPECT_EQ(frame_colour(f.pixel(4, 4)), kWhite);
}

TEST(DeferredCanvas, PlaysBackTheSameCallsInTheSameOrder) {
    Pair p;
    p.doc.display[0].labelled = 1;
    p.doc.display[0].label_dx = 0.3;
    p.state.options.labels_off_centre = true;
    p.state.options.draw_planes_and_axes = true;
    p.state.options.draw_cell = true;
    RecordingCanvas direct;
    ASSERT_TRUE(redraw(p.doc, p.state, direct, p.page, p.msg));
    RecordingCanvas target;
    DeferredCanvas deferred;
    deferred.begin(target);
    ASSERT_TRUE(redraw(p.doc, p.state, deferred, p.page, p.msg));
    EXPECT_TRUE(target.log.empty());
    EXPECT_GT(deferred.recorded_calls(), 20u);
    deferred.play();
    EXPECT_EQ(target.log, direct.log);
    // Played once: nothing is left, and there is no target any more.
    EXPECT_EQ(deferred.recorded_calls(), 0u);
    deferred.line({0, 0}, {1, 1});
    deferred.play();
    EXPECT_EQ(target.log, direct.log);
}

}  // namespace
}  // namespace veldor
