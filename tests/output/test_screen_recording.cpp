#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawing/recording_canvas.h"
#include "drawing/scene.h"
#include "drawing/view.h"
#include "formats/vld.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

// Line count and 64-bit FNV-1a hash of a recording: the whole recording
// runs to half a megabyte, its fingerprint to one line.
std::string fingerprint(const std::string& log) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : log) {
        h ^= c;
        h *= 1099511628211ull;
    }
    std::ostringstream out;
    out << std::count(log.begin(), log.end(), '\n') << " calls, fnv1a " << std::hex << h << "\n";
    return out.str();
}

// The screen picture of a real structure, call by call, under the options
// that touch every drawing step. Pages for print and vector files map
// points without the pixel rounding; the screen must keep it exactly.
std::string screen_recording() {
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    EXPECT_TRUE(read_vld(VELDOR_TESTDATA_DIR "/thpp_plot.vld", doc, state, msg));
    after_vld_load(doc, state);
    DrawingEnvironment env;
    env.work_dir = fs::temp_directory_path().string();
    std::string all;
    auto record = [&](const char* title) {
        initialise_view(doc, state, env, msg);
        RecordingCanvas canvas;
        EXPECT_TRUE(redraw(doc, state, canvas, screen_page(state.view, env), msg));
        all += std::string("# ") + title + "\n" + fingerprint(canvas.str());
    };
    state.options.draw_cell = true;
    state.options.draw_planes_and_axes = true;
    state.options.bond_labels = true;
    state.options.labels_off_centre = true;
    record("cell, planes and axes, moved labels, bond labels");
    state.options = DrawingOptions{};
    state.options.colour_gradation = true;
    state.options.labels_in_centre = true;
    state.view.zoom = 1.4;
    record("shading, centred labels, zoom 1.4");
    return all;
}

TEST(ScreenRecording, RealStructureDrawsAsItAlwaysHas) {
    const fs::path golden = VELDOR_SOURCE_DIR "/tests/golden/thpp_screen_fingerprint.txt";
    const std::string got = screen_recording();
    if (std::getenv("VELDOR_WRITE_GOLDEN")) std::ofstream(golden, std::ios::binary) << got;
    std::ifstream in(golden, std::ios::binary);
    std::stringstream want;
    want << in.rdbuf();
    EXPECT_EQ(got, want.str());
}

// Pages keep the exact coordinates and the exact 1 A bar; the screen
// rounds both, halves to even.
TEST(PageGeometry, OnlyTheScreenRoundsToPixels) {
    PageGeometry page;
    page.scale = 40.25;
    EXPECT_EQ(page.map(0.5, 0.5), (Point{366, 326}));  // 20.125 -> 20
    EXPECT_EQ(page.snap(40.5), 40);
    page.round_to_pixels = false;
    EXPECT_EQ(page.map(0.5, 0.5), (Point{366.125, 325.875}));
    RecordingCanvas canvas;
    draw_scale_bar(canvas, page, kBlack, kWhite);
    EXPECT_EQ(canvas.log[2], "line (10,672) (50,672)");
    EXPECT_EQ(canvas.log[3].substr(0, 15), "text (25,657) \"");  // floor((10 + 40.25) / 2)
}

}  // namespace
}  // namespace veldor
