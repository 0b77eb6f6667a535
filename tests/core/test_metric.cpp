#include <gtest/gtest.h>

#include <cmath>

#include "core/metric.h"

namespace veldor {
namespace {

Metric metric_of(std::array<double, 6> cell) {
    RecordingMessages msg;
    Metric m;
    EXPECT_TRUE(compute_metric(cell, m, msg));
    EXPECT_TRUE(msg.log.empty());
    return m;
}

void expect_matrix_near(const Mat3& a, const Mat3& b, double tol) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tol) << i << "," << j;
}

TEST(Metric, CubicCellHasDiagonalMatrices) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(m.reciprocal[i], 0.1, 1e-12);
        // The program's degree constant is not exactly pi/180: cos 90 is
        // -2.2e-6 and the reciprocal angles come out at 89.99975.
        EXPECT_NEAR(m.reciprocal[3 + i], 90, 3e-4);
        EXPECT_NEAR(m.cosines[i], -2.18e-6, 1e-8);
    }
    expect_matrix_near(m.frac_to_cart, Mat3{{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}}, 1e-4);
    expect_matrix_near(m.cart_to_frac, Mat3{{{0.1, 0, 0}, {0, 0.1, 0}, {0, 0, 0.1}}}, 1e-6);
    EXPECT_NEAR(m.volume, 1000, 1e-6);
}

TEST(Metric, HexagonalReciprocalAngle) {
    const Metric m = metric_of({5, 5, 8, 90, 90, 120});
    EXPECT_NEAR(m.reciprocal[5], 60, 1e-3);
    // V = a^2 c sin(120)
    EXPECT_NEAR(m.volume, 25 * 8 * std::sqrt(3.0) / 2, 1e-3);
    // a* = 2 / (a sqrt 3)
    EXPECT_NEAR(m.reciprocal[0], 2 / (5 * std::sqrt(3.0)), 1e-6);
}

TEST(Metric, TriclinicFrameIsConsistent) {
    const Metric m = metric_of({7.1, 8.3, 9.7, 78.2, 84.5, 69.9});
    // The fractional-to-Cartesian matrix reproduces the direct metric: M^T M = G.
    expect_matrix_near(multiply(transpose(m.frac_to_cart), m.frac_to_cart), m.G, 1e-9);
    // Cartesian-to-fractional is its inverse and equals B^T.
    expect_matrix_near(multiply(m.cart_to_frac, m.frac_to_cart), identity3(), 1e-9);
    expect_matrix_near(m.cart_to_frac, transpose(m.B), 1e-9);
    // c lies along z, a* along x.
    const Vec3 c = frac_to_cart({0, 0, 1}, m);
    EXPECT_NEAR(c[0], 0, 1e-9);
    EXPECT_NEAR(c[1], 0, 1e-9);
    EXPECT_NEAR(c[2], 9.7, 1e-9);
    // A length measured in the frame is the metric length.
    EXPECT_NEAR(distance({0, 0, 0}, {1, 0, 0}, m), 7.1, 1e-9);
    EXPECT_NEAR(distance({0, 0, 0}, {0, 1, 0}, m), 8.3, 1e-9);
    // G G* = I.
    expect_matrix_near(multiply(m.G, m.G_star), identity3(), 1e-6);
}

TEST(Metric, DegenerateCellIsRefusedWithMessage) {
    RecordingMessages msg;
    Metric m;
    m.volume = 42;
    EXPECT_FALSE(compute_metric({5, 5, 5, 0, 0, 0}, m, msg));  // flat cell
    EXPECT_FALSE(compute_metric({0, 0, 0, 0, 0, 0}, m, msg));
    ASSERT_EQ(msg.warnings.size(), 2u);
    EXPECT_EQ(msg.warnings[0], "erreur dans oemath ligne 889");
    EXPECT_EQ(m.volume, 42);  // left as it was
}

TEST(Metric, NormaliseInBothMetrics) {
    const Metric m = metric_of({5, 6, 7, 90, 100, 90});
    const Vec3 u = normalise_direct({1, 1, 1}, m);
    EXPECT_NEAR(distance({0, 0, 0}, u, m), 1.0, 1e-12);
    const Vec3 h = normalise_reciprocal({1, 0, 0}, m);
    EXPECT_NEAR(h[0], 1 / m.reciprocal[0], 1e-12);
}

TEST(CrystalSystem, FromCell) {
    EXPECT_EQ(crystal_system_from_cell({10, 10, 10, 90, 90, 90}, ""), "CUBI");
    EXPECT_EQ(crystal_system_from_cell({5, 5, 8, 90, 90, 120}, ""), "HEXA");
    EXPECT_EQ(crystal_system_from_cell({5, 5.0004, 4.9997, 75, 75, 75}, ""), "RHOM");
    EXPECT_EQ(crystal_system_from_cell({5, 5.0004, 4.9997, 90, 90, 90}, ""), "CUBI");
    EXPECT_EQ(crystal_system_from_cell({5, 5, 7, 90, 90, 90}, ""), "TETR");
    // b = c only: no orthogonal system fits the rule, the system is kept.
    EXPECT_EQ(crystal_system_from_cell({5, 7, 7, 90, 90, 90}, "MONO"), "MONO");
    EXPECT_EQ(crystal_system_from_cell({5, 7, 5, 90, 90, 90}, ""), "ORTH");
    EXPECT_EQ(crystal_system_from_cell({5, 6, 7, 90, 90, 90}, ""), "ORTH");
    EXPECT_EQ(crystal_system_from_cell({5, 6, 7, 90, 100, 90}, ""), "MONO");
    EXPECT_EQ(crystal_system_from_cell({5, 6, 7, 90, 90, 100}, ""), "MONO");
    EXPECT_EQ(crystal_system_from_cell({5, 6, 7, 100, 90, 90}, ""), "TRIC");
    EXPECT_EQ(crystal_system_from_cell({5, 6, 7, 80, 85, 95}, ""), "TRIC");
}

TEST(CrystalSystem, LengthDifferenceOfExactlyTheToleranceIsNeither) {
    // 0.001 apart is neither equal nor different: the system stays.
    EXPECT_EQ(crystal_system_from_cell({5, 5.001, 7, 90, 90, 90}, "ORTH"), "ORTH");
    StructureDocument doc;
    doc.cell_parameters = {4, 4, 4, 90, 90, 90};
    set_crystal_system_from_cell(doc);
    EXPECT_EQ(doc.crystal_system, "CUBI");
}

}  // namespace
}  // namespace veldor
