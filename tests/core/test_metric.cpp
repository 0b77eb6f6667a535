#include <gtest/gtest.h>

#include "core/metric.h"

namespace veldor {
namespace {

TEST(Metric, CubicCell) {
    RecordingMessages msg;
    Metric m;
    ASSERT_TRUE(compute_metric({10, 10, 10, 90, 90, 90}, m, msg));
    EXPECT_NEAR(m.reciprocal[0], 0.1, 1e-12);
    EXPECT_NEAR(m.reciprocal[3], 90, 1e-3);
    EXPECT_NEAR(m.frac_to_cart[0][0], 10, 1e-9);
    EXPECT_NEAR(m.frac_to_cart[1][1], 10, 1e-9);
    EXPECT_NEAR(m.frac_to_cart[2][2], 10, 1e-9);
}

}  // namespace
}  // namespace veldor
