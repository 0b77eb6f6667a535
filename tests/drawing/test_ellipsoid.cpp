#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawing/ellipsoid.h"
#include "drawing/recording_canvas.h"
#include "drawing/view.h"
#include "fixtures.h"

namespace veldor {
namespace {

using test::aniso_atom;
using test::document_with_cell;
using test::iso_atom;
using test::kBetaRatio;

std::string temp_dir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("veldor_drawing_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Ellipsoid, ProbabilityFactors) {
    EXPECT_EQ(probability_factor(1), 0.7644);
    EXPECT_EQ(probability_factor(5), 1.5382);
    EXPECT_EQ(probability_factor(9), 2.5);
    EXPECT_EQ(probability_factor(10), 5.95);
}

TEST(Ellipsoid, UnitCircleTableRepeatsItsFirstPoint) {
    const UnitCircle& c = unit_circle(50);
    ASSERT_EQ(c.cos.size(), 51u);
    EXPECT_EQ(c.cos[0], 1.0);
    EXPECT_NEAR(c.cos[50], 1.0, 1e-14);
    EXPECT_NEAR(c.sin[50], 0.0, 1e-14);
    EXPECT_NEAR(c.cos[25], -1.0, 1e-14);
    EXPECT_EQ(c.cos[1], std::cos(0.12566370614359174));
    EXPECT_EQ(unit_circle(100).cos.size(), 101u);
}

// An isotropic atom is a circle of radius c sqrt(Uiso), whatever the cell
// and the orientation.
TEST(Ellipsoid, IsotropicOutlineRadiusIsCTimesRootU) {
    StructureDocument doc = document_with_cell({9.1, 11.3, 7.7, 90, 104.5, 90});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.2, 0.3}, 0.0225));
    RecordingMessages msg;
    for (int index : {1, 5, 9}) {
        EllipsoidSet set;
        compute_ellipsoids(doc, index, ThermalMode::Aniso, ".", msg, set);
        DrawingState s = test::fresh_state(doc);
        apply_rotation(s, doc.metric, rotation_xy(37, -81), msg);
        compute_outlines(set, s.view.rotation, s.view.rotation_inverse);
        const double expected = probability_factor(index) * std::sqrt(0.0225 * kBetaRatio);
        const UnitCircle& uc = unit_circle(50);
        for (int k = 0; k < 50; k += 7)
            EXPECT_NEAR(outline_radius(set.atoms[0], uc.cos[k], uc.sin[k]), expected, 1e-9)
                << index << " " << k;
        for (double e : set.atoms[0].eigenvalues)
            EXPECT_NEAR(1 / std::sqrt(e), expected, 1e-9);
        EXPECT_FALSE(set.atoms[0].faulty);
    }
    EXPECT_TRUE(msg.log.empty());
}

// 50 % to 10 %: every outline shrinks by 0.7644 / 1.5382.
TEST(Ellipsoid, TenPercentOutlineIsFiftyPercentTimesFactorRatio) {
    StructureDocument doc = document_with_cell({7.1, 8.3, 9.4, 78.5, 84.2, 69.7});
    doc.display.push_back(
        aniso_atom(doc, "O1", {0.3, 0.1, 0.7}, {0.030, 0.045, 0.025, 0.006, -0.004, 0.008}));
    RecordingMessages msg;
    EllipsoidSet fifty, ten;
    compute_ellipsoids(doc, 5, ThermalMode::Aniso, ".", msg, fifty);
    compute_ellipsoids(doc, 1, ThermalMode::Aniso, ".", msg, ten);
    const Mat3 r = rotation_xy(55, 23).matrix;
    compute_outlines(fifty, r, transpose(r));
    compute_outlines(ten, r, transpose(r));
    const UnitCircle& uc = unit_circle(50);
    for (int k = 0; k < 51; ++k) {
        const double r50 = outline_radius(fifty.atoms[0], uc.cos[k], uc.sin[k]);
        const double r10 = outline_radius(ten.atoms[0], uc.cos[k], uc.sin[k]);
        EXPECT_NEAR(r10 / r50, 0.7644 / 1.5382, 1e-12) << k;
    }
}

// Triclinic U against an independent computation (direct and reciprocal
// vectors built by cross products, U_cart = M N U N M^T, the cubic solved
// in closed form; see the numbers below).
TEST(Ellipsoid, TriclinicEigenvaluesAndVectors) {
    StructureDocument doc = document_with_cell({7.1, 8.3, 9.4, 78.5, 84.2, 69.7});
    doc.display.push_back(
        aniso_atom(doc, "O1", {0.3, 0.1, 0.7}, {0.030, 0.045, 0.025, 0.006, -0.004, 0.008}));
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Aniso, ".", msg, set);
    const AtomEllipsoid& e = set.atoms[0];
    const double W[3][3] = {{17.643518426131, -6.357079355764, 3.759446996570},
                            {-6.357079355764, 11.376082860156, -7.084970684397},
                            {3.759446996570, -7.084970684397, 17.858217532834}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(e.W[i][j], W[i][j], 1e-7) << i << j;
    const double values[3] = {27.224088681115, 13.999681681733, 5.654048456274};
    const double vectors[3][3] = {{0.586835508940, -0.514800003544, 0.624984033234},
                                  {0.739287104505, 0.025818071002, -0.672895240228},
                                  {-0.330270589909, -0.856921457055, -0.395735964856}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(e.eigenvalues[k], values[k], 1e-7) << k;
        const double sign = e.eigenvectors[0][k] * vectors[k][0] < 0 ? -1 : 1;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(sign * e.eigenvectors[i][k], vectors[k][i], 1e-7) << k << i;
    }
    EXPECT_NEAR(set.smallest_eigenvalue, values[2], 1e-7);
    EXPECT_NEAR(set.largest_eigenvalue, values[0], 1e-7);
}

TEST(Jacobi, DiagonalMatrixIsSortedLargestFirstInOneSweep) {
    const Eigen e = jacobi(Mat3{{{2, 0, 0}, {0, 5, 0}, {0, 0, 3}}});
    EXPECT_TRUE(e.converged);
    EXPECT_EQ(e.sweeps, 1);
    EXPECT_EQ(e.values, (Vec3{5, 3, 2}));
    // Columns follow their values: 5 was the second axis, 3 the third.
    EXPECT_EQ(e.vectors, (Mat3{{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}}));
}

TEST(Jacobi, EqualDiagonalTurnsByAQuarterPi) {
    const Eigen e = jacobi(Mat3{{{2, 1, 0}, {1, 2, 0}, {0, 0, 1}}});
    EXPECT_TRUE(e.converged);
    EXPECT_NEAR(e.values[0], 3, 1e-15);
    EXPECT_NEAR(e.values[1], 1, 1e-15);
    EXPECT_NEAR(e.values[2], 1, 1e-15);
    EXPECT_NEAR(e.vectors[0][0], std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(e.vectors[1][0], std::sqrt(0.5), 1e-15);
}

// Seen along its longest axis an ellipsoid is the ellipse of its two
// shorter semi-axes.
TEST(Ellipsoid, SeenAlongItsLongestAxis) {
    StructureDocument doc = document_with_cell({7.1, 8.3, 9.4, 78.5, 84.2, 69.7});
    doc.display.push_back(
        aniso_atom(doc, "O1", {0.3, 0.1, 0.7}, {0.030, 0.045, 0.025, 0.006, -0.004, 0.008}));
    DrawingState s = test::fresh_state(doc);
    RecordingMessages msg;
    DrawingEnvironment env;
    env.work_dir = temp_dir("longest");
    recompute_ellipsoids(doc, s, env, msg);
    const AtomEllipsoid& e0 = s.ellipsoids.atoms[0];
    const Vec3 longest = {e0.eigenvectors[0][2], e0.eigenvectors[1][2], e0.eigenvectors[2][2]};
    ASSERT_TRUE(project_along(doc, s, longest, env, msg));
    const AtomEllipsoid& e = s.ellipsoids.atoms[0];
    const UnitCircle& uc = unit_circle(50);
    double rmin = 1e9, rmax = 0;
    for (int k = 0; k < 51; ++k) {
        const double r = outline_radius(e, uc.cos[k], uc.sin[k]);
        rmin = std::min(rmin, r);
        rmax = std::max(rmax, r);
    }
    // Semi-axes 0.19166 and 0.26726 of the independent computation; the 51
    // directions sample the extremes only to about 0.5 %.
    EXPECT_NEAR(rmax, 0.267264280326, 0.002);
    EXPECT_NEAR(rmin, 0.191656399267, 0.002);
    EXPECT_LE(rmax, 0.267264280326 + 1e-9);
    EXPECT_GE(rmin, 0.191656399267 - 1e-9);
    // The outline quadratic itself: D / A along X and Y are the squares of
    // radii between the two semi-axes.
    EXPECT_NEAR(std::sqrt(e.D / e.A), outline_radius(e, 1, 0), 1e-12);
    EXPECT_TRUE(msg.log.empty());
}

// An orthorhombic atom whose longest axis is c, seen down c: a circle of
// the equal shorter semi-axes.
TEST(Ellipsoid, EqualShortAxesGiveACircleAlongTheLongOne) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 90, 90});
    doc.display.push_back(aniso_atom(doc, "N1", {0.5, 0.5, 0.5}, {0.01, 0.01, 0.04, 0, 0, 0}));
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Aniso, ".", msg, set);
    compute_outlines(set, identity3(), identity3());
    const double r = 1.5382 * std::sqrt(0.01 * kBetaRatio);
    const UnitCircle& uc = unit_circle(50);
    for (int k = 0; k < 51; k += 5)
        EXPECT_NEAR(outline_radius(set.atoms[0], uc.cos[k], uc.sin[k]), r, 1e-6);
}

TEST(Ellipsoid, IsoModeUsesTheIsotropicAverage) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 90, 90});
    doc.display.push_back(aniso_atom(doc, "N1", {0.5, 0.5, 0.5}, {0.01, 0.02, 0.03, 0, 0, 0}));
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Iso, ".", msg, set);
    const double r = 1.5382 * std::sqrt(0.02 * kBetaRatio);
    for (double e : set.atoms[0].eigenvalues)
        EXPECT_NEAR(1 / std::sqrt(e), r, 1e-6);
}

// In an oblique cell the off-diagonal terms count twice, as in Ueq of
// Fischer and Tillmanns (the value the CIF writer gives): monoclinic,
// Ueq = (U11 / sin^2 b + U22 + U33 / sin^2 b + 2 U13 cos b / sin^2 b) / 3.
TEST(Ellipsoid, IsoModeUsesTheEquivalentIsotropicU) {
    StructureDocument doc = document_with_cell({6, 7, 8, 90, 110, 90});
    doc.display.push_back(aniso_atom(doc, "N1", {0.5, 0.5, 0.5}, {0.01, 0.02, 0.03, 0, 0.005, 0}));
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Iso, ".", msg, set);
    const double beta = 110 * 3.14159265358979323846 / 180;
    const double s2 = std::sin(beta) * std::sin(beta);
    const double ueq = (0.01 / s2 + 0.02 + 0.03 / s2 + 2 * 0.005 * std::cos(beta) / s2) / 3;
    const double r = 1.5382 * std::sqrt(ueq * kBetaRatio);
    for (double e : set.atoms[0].eigenvalues)
        EXPECT_NEAR(1 / std::sqrt(e), r, 1e-5);
}

// A singular tensor writes espion.txt, says so once, and leaves that atom
// a small sphere; the other atoms are computed as usual.
TEST(Ellipsoid, SingularTensorWritesDiagnosticAndDrawsASmallSphere) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.2, 0.3}, 0.02));
    Atom zero = iso_atom(doc, "C2", {0.4, 0.5, 0.6}, 0);
    zero.adp = {};
    doc.display.push_back(zero);
    Atom flat = aniso_atom(doc, "O3", {0.4, 0.5, 0.6}, {0.01, 0.02, 0, 0, 0, 0});
    flat.adp[0] = 0.123456;
    doc.display.push_back(flat);
    const std::string dir = temp_dir("espion");
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Aniso, dir, msg, set);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Matrix inverion error. Please contact J. Vasquin");
    const std::string expected =
        "2 ier=0\n"
        "C1  0.0039  0.0039  0.0039  0.0000  0.0000  0.0000\n"
        "C2  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n"
        "O3  0.1235  0.0039  0.0000  0.0000  0.0000  0.0000\n";
    EXPECT_EQ(read_text(dir + "/espion.txt"), expected);
    EXPECT_FALSE(set.atoms[0].faulty);
    EXPECT_TRUE(set.atoms[1].faulty);
    EXPECT_TRUE(set.atoms[2].faulty);
    compute_outlines(set, identity3(), identity3());
    EXPECT_NEAR(outline_radius(set.atoms[1], 0.6, 0.8), kFaultyAtomRadius, 1e-12);
    // Faulty atoms stay out of the fit.
    EXPECT_NEAR(set.smallest_eigenvalue, set.atoms[0].eigenvalues[2], 1e-12);
}

// Not positive definite but invertible: the same small sphere, and the
// diagnostic says so with ier=1.
TEST(Ellipsoid, NegativeEigenvalueMakesTheAtomFaultyToo) {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    doc.display.push_back(iso_atom(doc, "C1", {0.1, 0.2, 0.3}, 0.02));
    doc.display.push_back(aniso_atom(doc, "C2", {0.1, 0.2, 0.3}, {0.02, 0.02, -0.01, 0, 0, 0}));
    const std::string dir = temp_dir("negative");
    RecordingMessages msg;
    EllipsoidSet set;
    compute_ellipsoids(doc, 5, ThermalMode::Aniso, dir, msg, set);
    EXPECT_FALSE(set.atoms[0].faulty);
    EXPECT_TRUE(set.atoms[1].faulty);
    ASSERT_EQ(msg.warnings.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Matrix inverion error. Please contact J. Vasquin");
    EXPECT_EQ(read_text(dir + "/espion.txt").substr(0, 8), "2 ier=1\n");
    EXPECT_NEAR(set.smallest_eigenvalue, set.atoms[0].eigenvalues[2], 1e-12);
}

AtomEllipsoid sphere_of_radius(double r) {
    AtomEllipsoid e;
    const double w = 1 / (r * r);
    e.W = Mat3{{{w, 0, 0}, {0, w, 0}, {0, 0, w}}};
    e.eigenvalues = {w, w, w};
    compute_outline(e, identity3(), identity3());
    return e;
}

TEST(DrawAtom, OutlineIsFilledWithTheAtomColourAndBorderedBlack) {
    RecordingCanvas canvas;
    PageGeometry page;
    page.scale = 10;
    draw_atom(canvas, page, {1, 2, 0}, sphere_of_radius(2), rgb(255, 0, 0), {}, identity3());
    ASSERT_EQ(canvas.log.size(), 3u);
    EXPECT_EQ(canvas.log[0], "brush #ff0000");
    EXPECT_EQ(canvas.log[1], "pen #000000 1 solid");
    // 51 points from (X + r, Y): pixel (346 + 30, 346 - 20).
    EXPECT_EQ(canvas.log[2].rfind("polygon 51 (376,326) ", 0), 0u) << canvas.log[2];
    EXPECT_NE(canvas.log[2].find(" (336,326) "), std::string::npos);  // t = pi
}

TEST(DrawAtom, ShadingRingsRunFromTheColourToWhite) {
    RecordingCanvas canvas;
    PageGeometry page;
    page.scale = 4;  // radius 2 A = 8 pixels: 8 rings
    AtomStyle style;
    style.gradation = true;
    draw_atom(canvas, page, {0, 0, 0}, sphere_of_radius(2), rgb(0, 0, 0), style, identity3());
    int rings = 0;
    for (const std::string& l : canvas.log)
        if (l.rfind("polygon", 0) == 0) ++rings;
    EXPECT_EQ(rings, 1 + 8);
    // Ring 1: f = 1 + 49 / 4 = 13.25, channel 255 / 13.25 = 19.2 -> 19.
    EXPECT_EQ(canvas.log[3], "pen #131313 1 solid");
    // Ring 8 (the innermost, radius r / 8) is white.
    const auto last_ring = std::find(canvas.log.rbegin(), canvas.log.rend(), "brush #ffffff");
    ASSERT_NE(last_ring, canvas.log.rend());
    EXPECT_EQ(canvas.log[canvas.log.size() - 3], "pen #000000 1 solid");
    EXPECT_EQ(canvas.log[canvas.log.size() - 2], "brush #ffffff");
    EXPECT_EQ(canvas.log.back().rfind("polyline 51 ", 0), 0u);
    EXPECT_EQ(canvas.log[canvas.log.size() - 4].rfind("polygon 51 (347,346) ", 0), 0u);
}

TEST(DrawAtom, OutlineBelowHalfAPixelGetsNoRings) {
    RecordingCanvas canvas;
    PageGeometry page;
    page.scale = 0.2;  // radius 2 A = 0.4 pixel
    AtomStyle style;
    style.gradation = true;
    draw_atom(canvas, page, {0, 0, 0}, sphere_of_radius(2), rgb(9, 9, 9), style, identity3());
    int polygons = 0;
    for (const std::string& l : canvas.log)
        if (l.rfind("polygon", 0) == 0) ++polygons;
    EXPECT_EQ(polygons, 1);
    EXPECT_EQ(canvas.log.back().rfind("polyline 51 ", 0), 0u);
}

// A sphere seen with the eigen frame on the view axes: the equator in the
// view plane is all rim and left out; the two upright principal circles
// show their front halves, which project onto straight lines.
TEST(DrawAtom, PrincipalEllipsesShowOnlyTheirFrontHalves) {
    RecordingCanvas canvas;
    PageGeometry page;
    page.scale = 10;
    AtomStyle style;
    style.axes = true;
    draw_atom(canvas, page, {0, 0, 0}, sphere_of_radius(2), kWhite, style, identity3());
    std::vector<std::string> lines(canvas.log.begin() + 3, canvas.log.end());
    ASSERT_EQ(lines.size(), 6u);
    // Plane (2, 3): the Y-Z circle, its front half (Z > 0) on the line X = 0.
    EXPECT_EQ(lines[0].rfind("polyline ", 0), 0u);
    EXPECT_NE(lines[0].find("(346,326)"), std::string::npos);
    EXPECT_EQ(lines[0].find("(347,"), std::string::npos);
    // Plane (3, 1): the X-Z circle, front half in two runs on the line Y = 0.
    EXPECT_EQ(lines[1].rfind("polyline 13 (346,346) ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("polyline 13 ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[1].find(",345)"), std::string::npos);
    EXPECT_EQ(lines[3], "line (346,346) (366,346)");
    EXPECT_EQ(lines[4], "line (346,346) (346,326)");
    EXPECT_EQ(lines[5], "line (346,346) (346,346)");
}

}  // namespace
}  // namespace veldor
