#include <gtest/gtest.h>

#include "core/mat3.h"

namespace veldor {
namespace {

TEST(Mat3, DeterminantAndInverseByHand) {
    const Mat3 m{{{2, 0, 1}, {1, 3, 2}, {1, 1, 1}}};
    // 2(3-2) - 0 + 1(1-3) = 0 -> singular
    EXPECT_DOUBLE_EQ(determinant(m), 0.0);
    EXPECT_TRUE(inverse(m).singular);

    const Mat3 n{{{4, 7, 2}, {3, 6, 1}, {2, 5, 3}}};
    EXPECT_DOUBLE_EQ(determinant(n), 9.0);
    const InverseResult r = inverse(n);
    ASSERT_FALSE(r.singular);
    // Adjugate by hand: row 1 = (13, -11, -5) / 9.
    EXPECT_NEAR(r.inverse[0][0], 13.0 / 9, 1e-15);
    EXPECT_NEAR(r.inverse[0][1], -11.0 / 9, 1e-15);
    EXPECT_NEAR(r.inverse[0][2], -5.0 / 9, 1e-15);
    const Mat3 id = multiply(n, r.inverse);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(id[i][j], i == j ? 1 : 0, 1e-14);
}

TEST(Mat3, SingularThresholdIsAbsolute) {
    const Mat3 tiny{{{1e-6, 0, 0}, {0, 1e-6, 0}, {0, 0, 1e-4}}};  // det 1e-16
    EXPECT_TRUE(inverse(tiny).singular);
    const Mat3 small{{{1e-5, 0, 0}, {0, 1e-5, 0}, {0, 0, 1e-4}}};  // det 1e-14
    EXPECT_FALSE(inverse(small).singular);
}

TEST(Mat3, VectorRoutines) {
    EXPECT_EQ(cross({1, 0, 0}, {0, 1, 0}), (Vec3{0, 0, 1}));
    EXPECT_DOUBLE_EQ(dot({1, 2, 3}, {4, 5, 6}), 32.0);
    const Vec3 u = normalise({3, 0, 4});
    EXPECT_DOUBLE_EQ(u[0], 0.6);
    EXPECT_DOUBLE_EQ(u[2], 0.8);
    EXPECT_EQ(normalise({0, 0, 0}), (Vec3{0, 0, 0}));
    const Mat3 r{{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
    EXPECT_EQ(transform(r, {1, 0, 0}), (Vec3{0, 1, 0}));
    EXPECT_EQ(transpose(r)[0][1], 1.0);
}

TEST(Mat3, PositiveDefinitenessFlag) {
    EXPECT_FALSE(not_positive_definite(1, 1, 1, 0, 0, 0));
    EXPECT_FALSE(not_positive_definite(0.02, 0.03, 0.04, 0.01, 0, 0));
    EXPECT_TRUE(not_positive_definite(0.01, 0.01, 0.01, 0.02, 0, 0));  // minor 11-12 negative
    EXPECT_TRUE(not_positive_definite(-0.01, 0.02, 0.02, 0, 0, 0));
    // Semi-definite (a zero minor) passes: the test is ">= 0".
    EXPECT_FALSE(not_positive_definite(0.01, 0.01, 0.01, 0.01, 0, 0));
}

}  // namespace
}  // namespace veldor
