#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "drawing/recording_canvas.h"
#include "drawing/view.h"
#include "fixtures.h"

namespace veldor {
namespace {

using test::document_with_cell;
using test::iso_atom;
using test::kBetaRatio;

DrawingEnvironment env_here() {
    DrawingEnvironment env;
    env.work_dir = std::filesystem::temp_directory_path().string();
    return env;
}

// Two atoms 2 A apart in a 10 A cube, U = 0.01, the view as generated.
struct TwoAtoms {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    DrawingEnvironment env = env_here();
    TwoAtoms() {
        doc.display.push_back(iso_atom(doc, "C1", {0.4, 0.5, 0.5}, 0.01));
        doc.display.push_back(iso_atom(doc, "C2", {0.6, 0.5, 0.5}, 0.01));
        state = test::fresh_state(doc);
        initialise_view(doc, state, env, msg);
    }
};

void expect_vec(const Vec3& v, const Vec3& e, double tol = 1e-9) {
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(v[k], e[k], tol) << k;
}

TEST(SceneSetUp, CentresOnTheVisiblePointsAndFitsThePicture) {
    TwoAtoms t;
    const ViewState& v = t.state.view;
    EXPECT_EQ(v.mouse_mode, 1);
    EXPECT_EQ(v.screen_centre[0], 346);
    EXPECT_EQ(v.screen_centre[1], 346);
    ASSERT_EQ(v.points.size(), 2u);
    expect_vec(v.points[0], {-1, 0, 0}, 1e-5);
    expect_vec(v.points[1], {1, 0, 0}, 1e-5);
    // (692 - 10) div 2 over the farthest distance plus two longest semi-axes.
    const double semi = 1.5382 * std::sqrt(0.01 * kBetaRatio);
    EXPECT_NEAR(v.base_scale, 341 / (1 + 2 * semi), 1e-3);
    EXPECT_EQ(v.scale, v.base_scale);
    EXPECT_TRUE(t.msg.log.empty());
}

TEST(SceneSetUp, MaskedAtomsStayInTheTableButOutOfTheFit) {
    TwoAtoms t;
    t.doc.display.push_back(iso_atom(t.doc, "C3", {0.9, 0.9, 0.9}, 0.01));
    t.doc.display.back().drawn = 0;
    t.state.view.zoom = 2;
    recompute_ellipsoids(t.doc, t.state, t.env, t.msg);
    set_up_scene(t.doc, t.state, 692);
    const ViewState& v = t.state.view;
    ASSERT_EQ(v.points.size(), 3u);
    expect_vec(v.points[2], {4, 4, 4}, 1e-4);
    const double semi = 1.5382 * std::sqrt(0.01 * kBetaRatio);
    EXPECT_NEAR(v.base_scale, 341 / (1 + 2 * semi), 1e-3);
    EXPECT_DOUBLE_EQ(v.scale, 2 * v.base_scale);
}

TEST(SceneSetUp, CellCornersFollowTheAtoms) {
    TwoAtoms t;
    t.state.options.draw_cell = true;
    set_up_scene(t.doc, t.state, 692);
    const ViewState& v = t.state.view;
    ASSERT_EQ(v.points.size(), 10u);
    EXPECT_EQ(v.atom_count, 2);
    // Centroid of the two atoms and the eight corners: 50 / 10 on each axis.
    expect_vec(v.points[2], {-5, -5, -5}, 1e-4);
    expect_vec(v.points[8], {5, 5, 5}, 1e-4);
}

TEST(SceneSetUp, RingPointBecomesTheOrigin) {
    TwoAtoms t;
    t.state.view.ring_shown = true;
    t.state.view.ring_fractional = {0.6, 0.5, 0.5};
    set_up_scene(t.doc, t.state, 692);
    expect_vec(t.state.view.ring_point, {0, 0, 0});
    expect_vec(t.state.view.points[0], {-2, 0, 0}, 1e-5);
}

// 100 pixels to the right turn by 1 radian about the screen vertical.
TEST(MouseRotation, HundredPixelsRightIsOneRadianAboutY) {
    TwoAtoms t;
    t.state.options.colour_gradation = true;
    ASSERT_TRUE(apply_rotation(t.state, t.doc.metric, rotation_xy(100, 0), t.msg));
    const ViewState& v = t.state.view;
    EXPECT_NEAR(v.rotation_angles[0], 0, 1e-12);
    EXPECT_NEAR(v.rotation_angles[1], 57.2957, 1e-12);
    expect_vec(v.points[1], {std::cos(1.0), 0, -std::sin(1.0)}, 1e-5);
    EXPECT_FALSE(t.state.options.colour_gradation);
    // Every matrix follows: view = rotation x B x G, the inverses are inverses.
    const Mat3 vm = multiply(v.rotation, t.doc.metric.frac_to_cart);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(v.view_matrix[i][j], vm[i][j], 1e-9);
            EXPECT_NEAR(multiply(v.view_matrix, v.view_matrix_inverse)[i][j], i == j, 1e-12);
            EXPECT_NEAR(multiply(v.rotation, v.rotation_inverse)[i][j], i == j, 1e-12);
            EXPECT_NEAR(multiply(v.orientation_inverse, v.orientation_matrix)[i][j], i == j, 1e-9);
        }
    // The outlines were recomputed for the new rotation (a sphere stays one).
    EXPECT_NEAR(t.state.ellipsoids.atoms[0].W_view[0][2], 0, 1e-9);
}

TEST(MouseRotation, SingularViewSaysSoAndChangesNothing) {
    TwoAtoms t;
    t.state.view.view_matrix = Mat3{};
    const auto before = t.state.view.points;
    EXPECT_FALSE(apply_rotation(t.state, t.doc.metric, rotation_xy(10, 0), t.msg));
    ASSERT_EQ(t.msg.warnings.size(), 1u);
    EXPECT_EQ(t.msg.warnings[0], "erreur dans dessin ligne 1427");
    EXPECT_EQ(t.state.view.points, before);
    EXPECT_EQ(t.state.view.rotation_angles, (Vec3{0, 0, 0}));
}

TEST(Consistency, DegenerateAxesSaySoAndChangeNothing) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 105, 90});
    ViewState view;
    reset_orientation(view, doc.metric);
    view.orientation_matrix = Mat3{};
    const Mat3 before = view.view_matrix;
    RecordingMessages msg;
    EXPECT_FALSE(make_consistent(view, doc.metric, msg));
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "erreur dans oemath ligne 1936");
    EXPECT_EQ(view.view_matrix, before);
}

TEST(Consistency, SkewAxesAreMadePerpendicular) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 105, 90});
    ViewState view;
    reset_orientation(view, doc.metric);
    // X along a, Y a little off b*: Y is turned back into the plane normal to X.
    view.orientation_matrix =
        multiply(doc.metric.B_inverse, transpose(Mat3{{{1, 0.005, 0}, {0.005, 1, 0}, {0, 0, 1}}}));
    RecordingMessages msg;
    ASSERT_TRUE(make_consistent(view, doc.metric, msg));
    EXPECT_NEAR(dot(view.rotation[0], view.rotation[1]), 0, 1e-15);
    EXPECT_NEAR(determinant(view.rotation), 1, 1e-4);
    const Mat3 check = multiply(view.view_matrix, view.view_matrix_inverse);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(check[i][j], i == j, 1e-12);
}

TEST(MouseRotation, RotationZFollowsThePointerAroundTheOrigin) {
    TwoAtoms t;
    // From right of the origin to above it: a quarter turn anticlockwise.
    const IncrementalRotation r = rotation_z({446, 346}, {346, 246}, 346, 346);
    EXPECT_NEAR(r.angles[2], std::numbers::pi / 2, 1e-12);
    ASSERT_TRUE(apply_rotation(t.state, t.doc.metric, r, t.msg));
    expect_vec(t.state.view.points[1], {0, 1, 0}, 1e-5);
    EXPECT_NEAR(t.state.view.rotation_angles[2], 0.5 * std::numbers::pi * 57.2957, 1e-9);
}

TEST(Translation, MovesTheOriginOnly) {
    TwoAtoms t;
    const auto before = t.state.view.points;
    translate_view(t.state.view, 5, -7);
    EXPECT_EQ(t.state.view.screen_centre[0], 351);
    EXPECT_EQ(t.state.view.screen_centre[1], 339);
    EXPECT_EQ(t.state.view.points, before);
}

OrientationRequest request(Vec3 x, AxisSpace sx, Vec3 y, AxisSpace sy, Vec3 z, AxisSpace sz) {
    OrientationRequest r;
    r.rows = {AxisRow{x, sx}, AxisRow{y, sy}, AxisRow{z, sz}};
    return r;
}

constexpr AxisSpace D = AxisSpace::Direct;
constexpr AxisSpace R = AxisSpace::Reciprocal;

TEST(OrientationDialog, TwoAxesAtMinusAndPlusHalfAreRefused) {
    StructureDocument doc = document_with_cell({5, 5, 8, 90, 90, 120});
    ViewState view;
    reset_orientation(view, doc.metric);
    const Mat3 before = view.view_matrix;
    RecordingMessages msg;
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({1, 0, 0}, D, {0, 1, 0}, D, {}, R), msg),
              OrientationResult::Refused);
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({1, 0, 0}, D, {1, 1, 0}, D, {}, R), msg),
              OrientationResult::Refused);
    ASSERT_EQ(msg.warnings.size(), 2u);
    EXPECT_EQ(msg.warnings[0], "Error! The vectors are not perpendicular");
    EXPECT_EQ(msg.warnings[1], "Error! The vectors are not perpendicular");
    EXPECT_EQ(view.view_matrix, before);
}

TEST(OrientationDialog, DirectXAndReciprocalYGiveZAlongC) {
    StructureDocument doc = document_with_cell({5, 5, 8, 90, 90, 120});
    ViewState view;
    reset_orientation(view, doc.metric);
    RecordingMessages msg;
    ASSERT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({1, 0, 0}, D, {0, 1, 0}, R, {}, R), msg),
              OrientationResult::Applied);
    EXPECT_TRUE(msg.log.empty());
    expect_vec(transform(view.view_matrix, {1, 0, 0}), {5, 0, 0}, 1e-4);
    expect_vec(transform(view.view_matrix, {0, 0, 1}), {0, 0, 8}, 1e-4);
    // b at 120 degrees from a, in the upper half of the picture.
    expect_vec(transform(view.view_matrix, {0, 1, 0}), {-2.5, 5 * std::sqrt(0.75), 0}, 1e-4);
}

// X = a (direct) and Z = c* (reciprocal) in a monoclinic cell: Y completes
// the right-handed set, along +b.
TEST(OrientationDialog, MonoclinicXAndZGiveRightHandedY) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 105, 90});
    ViewState view;
    reset_orientation(view, doc.metric);
    RecordingMessages msg;
    ASSERT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({2, 0, 0}, D, {}, R, {0, 0, 3}, R), msg),
              OrientationResult::Applied);
    expect_vec(transform(view.view_matrix, {0, 1, 0}), {0, 7, 0}, 1e-4);
    expect_vec(transform(view.view_matrix, {1, 0, 0}), {6, 0, 0}, 1e-4);
    EXPECT_NEAR(determinant(view.rotation), 1, 1e-9);
}

TEST(OrientationDialog, NoRowGivenChangesNothing) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 105, 90});
    ViewState view;
    reset_orientation(view, doc.metric);
    RecordingMessages msg;
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric, OrientationRequest{}, msg),
              OrientationResult::Unchanged);
    EXPECT_TRUE(msg.log.empty());
}

TEST(OrientationDialog, ThreeAxesMustMakeAUnitDeterminant) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    ViewState view;
    reset_orientation(view, doc.metric);
    RecordingMessages msg;
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({1, 0, 0}, D, {0, 1, 0}, D, {1, 1, 1}, D), msg),
              OrientationResult::Refused);
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({1, 0, 0}, D, {0, 1, 0}, D, {1, 0, 0}, D), msg),
              OrientationResult::Refused);
    ASSERT_EQ(msg.warnings.size(), 2u);
    EXPECT_EQ(msg.warnings[0], " The matrix determinant is different from 1");
    EXPECT_EQ(msg.warnings[1], "erreur dans oemath ligne 2032");
    // b, c, a: a proper rotation.
    EXPECT_EQ(set_orientation_from_axes(view, doc.metric,
                                        request({0, 1, 0}, D, {0, 0, 1}, D, {1, 0, 0}, D), msg),
              OrientationResult::Applied);
    expect_vec(transform(view.view_matrix, {0, 1, 0}), {10, 0, 0}, 1e-4);
    expect_vec(transform(view.view_matrix, {1, 0, 0}), {0, 0, 10}, 1e-4);
}

// A projection direction along Cartesian z (c) gives the identity rotation.
TEST(OrientationDialog, ZAlongCIsTheIdentity) {
    StructureDocument doc = document_with_cell({6, 7, 8, 80, 95, 100});
    ViewState view;
    reset_orientation(view, doc.metric);
    RecordingMessages msg;
    ASSERT_EQ(set_orientation_from_axes(view, doc.metric, request({}, D, {}, R, {0, 0, 1}, D), msg),
              OrientationResult::Applied);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(view.rotation[i][j], i == j, 1e-12);
}

TEST(OrientationDialog, UnreadableBoxSaysTypeErrorAndCountsAsZero) {
    RecordingMessages msg;
    std::string text = "1,5";
    EXPECT_EQ(read_axis_box(text, msg), 0);
    EXPECT_EQ(text, "");
    std::string empty = "  ";
    EXPECT_EQ(read_axis_box(empty, msg), 0);
    std::string good = " -0.5";
    EXPECT_EQ(read_axis_box(good, msg), -0.5);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Type error");
}

TEST(BestView, ThreeAtomsLieInThePictureAfterwards) {
    StructureDocument doc = document_with_cell({9, 10, 11, 80, 95, 100});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.1, 0.1}, 0.01));
    doc.display.push_back(iso_atom(doc, "C2", {0.5, 0.1, 0.3}, 0.01));
    doc.display.push_back(iso_atom(doc, "C3", {0.2, 0.6, 0.4}, 0.01));
    DrawingState s = test::fresh_state(doc);
    RecordingMessages msg;
    const DrawingEnvironment env = env_here();
    initialise_view(doc, s, env, msg);
    EXPECT_EQ(best_view_atoms(s.view), (std::array<int, 3>{0, 1, 2}));
    ASSERT_TRUE(best_view(doc, s, env, msg));
    const auto& p = s.view.points;
    EXPECT_NEAR(p[0][2], p[1][2], 1e-9);
    EXPECT_NEAR(p[0][2], p[2][2], 1e-9);
    // The view Z is along (r2 - r1) x (r2 - r3).
    const Vec3 r1 = frac_to_cart({0.1, 0.1, 0.1}, doc.metric);
    const Vec3 r2 = frac_to_cart({0.5, 0.1, 0.3}, doc.metric);
    const Vec3 r3 = frac_to_cart({0.2, 0.6, 0.4}, doc.metric);
    const Vec3 n = normalise(cross({r2[0] - r1[0], r2[1] - r1[1], r2[2] - r1[2]},
                                   {r2[0] - r3[0], r2[1] - r3[1], r2[2] - r3[2]}));
    expect_vec(s.view.rotation[2], n, 1e-9);
    EXPECT_TRUE(msg.log.empty());
}

TEST(BestView, FarthestPairThenFarthestFromItsMiddle) {
    ViewState v;
    v.atom_count = 4;
    v.points = {{0, 0, 0}, {1, 2, 0}, {0.5, -0.5, 0}, {3, 0, 0}};
    EXPECT_EQ(best_view_atoms(v), (std::array<int, 3>{0, 3, 1}));
    // Equal distances: the first pair and the first third atom found stay.
    v.points = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0}};
    EXPECT_EQ(best_view_atoms(v), (std::array<int, 3>{0, 3, 1}));
}

TEST(BestView, TwoAtomsDoNothing) {
    TwoAtoms t;
    const Mat3 before = t.state.view.view_matrix;
    EXPECT_FALSE(best_view(t.doc, t.state, t.env, t.msg));
    EXPECT_EQ(t.state.view.view_matrix, before);
}

TEST(DirectionByTwoAtoms, SecondAtomComesTowardsTheViewer) {
    StructureDocument doc = document_with_cell({7.1, 8.3, 9.4, 78.5, 84.2, 69.7});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.2, 0.3}, 0.01));
    doc.display.push_back(iso_atom(doc, "C2", {0.3, 0.1, 0.6}, 0.01));
    doc.display.push_back(iso_atom(doc, "C3", {0.5, 0.5, 0.5}, 0.01));
    DrawingState s = test::fresh_state(doc);
    RecordingMessages msg;
    const DrawingEnvironment env = env_here();
    initialise_view(doc, s, env, msg);
    ASSERT_TRUE(direction_by_two_atoms(doc, s, 0, 1, env, msg));
    const auto& p = s.view.points;
    EXPECT_NEAR(p[0][0], p[1][0], 1e-9);
    EXPECT_NEAR(p[0][1], p[1][1], 1e-9);
    EXPECT_NEAR(p[1][2] - p[0][2], distance({0.1, 0.2, 0.3}, {0.3, 0.1, 0.6}, doc.metric), 1e-9);
}

TEST(CentreAtom, ChosenAtomBecomesTheOrigin) {
    TwoAtoms t;
    centre_on_atom(t.state.view, 1);
    expect_vec(t.state.view.points[1], {0, 0, 0});
    expect_vec(t.state.view.points[0], {-2, 0, 0}, 1e-5);
    EXPECT_EQ(t.state.view.screen_centre[0], 346);
}

TEST(Zoom, TrackBarRange) {
    ViewState v;
    v.base_scale = 50;
    set_zoom_track(v, -4);
    EXPECT_NEAR(v.zoom, 0.2, 1e-15);
    EXPECT_EQ(zoom_text(v.zoom, 1), " X 0.2");
    EXPECT_NEAR(v.scale, 10, 1e-12);
    set_zoom_track(v, 10);
    EXPECT_NEAR(v.zoom, 3.0, 1e-15);
    EXPECT_EQ(zoom_text(v.zoom, 1), " X 3.0");
    EXPECT_EQ(zoom_text(1.2345, 2), " X 1.23");
}

TEST(Zoom, RectangleCentresItsAtomsAndFillsTheWidth) {
    TwoAtoms t;
    ViewState& v = t.state.view;
    const double sx = 346 + std::nearbyint(v.scale);  // pixel of atom 2
    // A drag of 2 pixels is a click; a rectangle over nothing changes nothing.
    EXPECT_FALSE(zoom_rectangle(t.state, {sx, 346}, {sx + 2, 348}, t.env));
    EXPECT_FALSE(zoom_rectangle(t.state, {10, 10}, {40, 40}, t.env));
    EXPECT_FALSE(v.zoomed);
    const auto before = v.points;
    const auto track = zoom_rectangle(t.state, {sx + 20, 366}, {sx - 20, 326}, t.env);
    ASSERT_TRUE(track);
    EXPECT_TRUE(v.zoomed);
    EXPECT_EQ(v.saved_points, before);
    expect_vec(v.points[1], {0, 0, 0});
    const double semi = 1.5382 * std::sqrt(0.01 * kBetaRatio);
    const double e = 40 / (v.base_scale) + 2 * semi;
    EXPECT_NEAR(v.scale, 692 / e, 1e-9);
    EXPECT_NEAR(v.zoom, v.scale / v.base_scale, 1e-12);
    EXPECT_EQ(*track, std::clamp(static_cast<int>(std::nearbyint(5 * v.zoom - 5)), -4, 10));
    reset_zoom(t.doc, t.state, t.env);
    EXPECT_FALSE(v.zoomed);
    EXPECT_EQ(v.zoom, 1.0);
    EXPECT_EQ(v.scale, v.base_scale);
    expect_vec(v.points[1], {1, 0, 0}, 1e-5);
}

TEST(ProjectionDirection, DividedByTheLargestComponent) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.3, 0.2}, 0.01));
    doc.display.push_back(iso_atom(doc, "C2", {0.5, 0.1, 0.3}, 0.01));
    DrawingState s = test::fresh_state(doc);
    RecordingMessages msg;
    const DrawingEnvironment env = env_here();
    initialise_view(doc, s, env, msg);
    ASSERT_TRUE(direction_by_two_atoms(doc, s, 0, 1, env, msg));
    const ProjectionDirection d = projection_direction(s.view);
    EXPECT_EQ(d.texts[0], "   1.00000");
    EXPECT_EQ(d.texts[1], "  -0.50000");
    EXPECT_EQ(d.texts[2], "   0.25000");
}

TEST(OrientationPicture, CubicCellSeenDownC) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    ViewState v;
    reset_orientation(v, doc.metric);
    RecordingCanvas canvas;
    draw_orientation_picture(canvas, v.view_matrix, 100, 100);
    const std::string text = " Arial 10 #ffffff b angle 0 clear";
    const std::vector<std::string> expected = {
        "pen #0000ff 1 solid",       "brush #0000ff",
        "rectangle (0,0) (100,100)", "pen #ffff00 2 solid",
        "line (6,96) (96,96)",       "line (96,96) (96,6)",
        "line (96,6) (6,6)",         "line (6,6) (6,96)",
        "line (6,96) (96,96)",       "line (96,96) (96,6)",
        "line (96,6) (6,6)",         "line (6,6) (6,96)",
        "line (6,96) (6,96)",        "line (96,96) (96,96)",
        "line (6,6) (6,6)",          "line (96,6) (96,6)",
        "text (2,89) \"o\"" + text,  "text (92,89) \"a\"" + text,
        "text (2,-1) \"b\"" + text,  "text (2,89) \"c\"" + text,
    };
    EXPECT_EQ(canvas.log, expected);
}

}  // namespace
}  // namespace veldor
