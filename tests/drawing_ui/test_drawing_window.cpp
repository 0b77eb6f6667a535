// The drawing window driven as a user drives it: option boxes, bars, the
// colour grid, the labelling panels, Reset and Return.

#include "tests/drawing_ui/window_fixture.h"

namespace veldor::test {
namespace {

TEST_F(DrawingWindow, OpensWithTheStartValuesOfEveryOption) {
    save_picture("thpp_start");
    for (const char* name : {"planes", "planes_axes", "cell", "labels_centre", "gradation",
                             "black_white", "customize_bonds"})
        EXPECT_FALSE(window->option_box(name)->isChecked()) << name;
    EXPECT_EQ(window->prompt_text(), "");
}

}  // namespace
}  // namespace veldor::test
