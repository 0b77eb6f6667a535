#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "drawing/recording_canvas.h"
#include "drawing/view.h"
#include "output/page_layout.h"
#include "tests/drawing/fixtures.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;
using test::iso_atom;

const double kRadius = 1.5382 * std::sqrt(0.01 * test::kBetaRatio);

// Three carbon atoms in a 10 A cube whose box centre (5, 6.5, 5) is not
// their centroid; the farthest lies 2.5 A from it, so the fit radius is
// 2.5 plus twice the radius of U = 0.01 at 50 %.
struct Page {
    StructureDocument doc = test::document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    DrawingEnvironment env;
    Page() {
        doc.display = {iso_atom(doc, "C1", {0.3, 0.5, 0.5}, 0.01),
                       iso_atom(doc, "C2", {0.7, 0.5, 0.5}, 0.01),
                       iso_atom(doc, "N3", {0.35, 0.8, 0.5}, 0.01)};
        doc.element_sorts = {ElementSort{rgb(128, 128, 128), 0.76, "C"},
                             ElementSort{rgb(0, 0, 255), 0.71, "N"}};
        doc.data_file = "/data/structures/three.ins";
        state = test::fresh_state(doc);
        env.work_dir = fs::temp_directory_path().string();
        initialise_view(doc, state, env, msg);
    }
    double fit() const { return 2.5 + 2 * kRadius; }
    RecordingCanvas print(const PrintSettings& s) {
        RecordingCanvas c;
        draw_printed_page(doc, state, s, page_file_name(doc), c, msg);
        return c;
    }
};

// Every logged call of a kind ("line ", "rectangle ", ...).
std::vector<std::string> calls(const RecordingCanvas& c, const std::string& kind) {
    std::vector<std::string> out;
    for (const std::string& l : c.log)
        if (l.rfind(kind, 0) == 0) out.push_back(l);
    return out;
}

// The mean x of a logged polygon's points.
double mean_x(const std::string& polygon) {
    std::istringstream in(polygon.substr(polygon.find(' ', 8)));
    double sum = 0;
    int n = 0;
    for (std::string item; in >> item; ++n) {
        long x, y;
        std::sscanf(item.c_str(), "(%ld,%ld)", &x, &y);
        sum += static_cast<double>(x);
    }
    return sum / n;
}

TEST(ResolutionBox, DotsPerInchBothWaysWithTheFactor255) {
    EXPECT_EQ(resolution_box_text(kInitialPixelsPerCm), "  300");
    EXPECT_NEAR(*pixels_per_cm_from_box("600"), 235.294117647, 1e-9);
    EXPECT_NEAR(*pixels_per_cm_from_box(" 300 "), 117.647058824, 1e-9);
    EXPECT_EQ(resolution_box_text(*pixels_per_cm_from_box("600")), "  600");
    for (const char* bad : {"abc", "", "3OO", "0", "-300", "1e9"})
        EXPECT_EQ(pixels_per_cm_from_box(bad), std::nullopt) << bad;
}

TEST(ZoomTrack, PagesFollowTheTrackBarNotTheScreen) {
    ViewState v;
    for (const auto& [zoom, position] : std::vector<std::pair<double, int>>{
             {1.0, 0}, {1.4, 2}, {1.5, 2}, {1.7, 4}, {0.1, -4}, {9.0, 10}}) {
        v.zoom = zoom;
        EXPECT_EQ(zoom_track_position(v), position) << zoom;
    }
    // The screen's own scale (picture size, zoom rectangle) leaves the page alone.
    Page a, b;
    b.env.width = b.env.height = kCompactPictureSize;
    initialise_view(b.doc, b.state, b.env, b.msg);
    EXPECT_NE(a.state.view.scale, b.state.view.scale);
    EXPECT_EQ(a.print({}).log, b.print({}).log);
    b.state.view.zoom = 1.4;
    EXPECT_NE(a.print({}).log, b.print({}).log);
}

TEST(PageScene, CentredOnTheBoxOfTheDrawnAtomsAndFitted) {
    Page p;
    PageScene s = page_scene(p.doc, p.state);
    ASSERT_EQ(s.state.view.points.size(), 3u);
    EXPECT_NEAR(s.state.view.points[0][0], -2, 1e-4);
    EXPECT_NEAR(s.state.view.points[0][1], -1.5, 1e-4);
    EXPECT_NEAR(s.state.view.points[2][1], 1.5, 1e-4);
    EXPECT_NEAR(s.fit_radius, p.fit(), 1e-4);
    // A masked atom neither places nor fits the page; the cell corners follow.
    p.doc.display[2].drawn = 0;
    p.state.options.draw_cell = true;
    s = page_scene(p.doc, p.state);
    ASSERT_EQ(s.state.view.points.size(), 11u);
    EXPECT_NEAR(s.state.view.points[0][1], 0, 1e-4);
    EXPECT_NEAR(s.state.view.points[3][0], -5, 1e-4);  // the cell origin
    EXPECT_NEAR(s.fit_radius, 2 + 2 * kRadius, 1e-4);
    // With nothing drawn the cell places the page.
    for (Atom& a : p.doc.display)
        a.drawn = 0;
    s = page_scene(p.doc, p.state);
    EXPECT_NEAR(s.fit_radius, std::sqrt(75.0), 1e-4);
    // A stereo view turns the structure about the screen's vertical axis.
    p.doc.display[0].drawn = p.doc.display[1].drawn = 1;
    s = page_scene(p.doc, p.state, 1.5);
    const double a = 1.5 * 0.017453316741046884;
    EXPECT_NEAR(s.state.view.points[1][0], 2 * std::cos(a), 1e-4);
    EXPECT_NEAR(s.state.view.points[1][2], -2 * std::sin(a), 1e-4);
}

// P = 117.66: frame from (59, 1) to (2412, 2354), the mask beyond it on
// landscape A4 (3495 x 2471), the legend at x = 2589 in steps of 94, the
// file name at (2471, 59), the 1 A bar from x = 94 at y = 2318.
TEST(PrintedPage, FrameMaskLegendScaleBarAndFileName) {
    Page p;
    const RecordingCanvas c = p.print({});
    EXPECT_EQ(
        calls(c, "rectangle "),
        (std::vector<std::string>{"rectangle (59,1) (2412,2354)", "rectangle (2412,0) (3495,2471)",
                                  "rectangle (0,0) (59,2471)", "rectangle (0,2354) (3495,2471)"}));
    EXPECT_EQ(
        calls(c, "polyline "),
        (std::vector<std::string>{"polyline 5 (59,1) (2412,1) (2412,2354) (59,2354) (59,1)"}));
    EXPECT_EQ(calls(c, "ellipse "), (std::vector<std::string>{"ellipse (2559,64) (2619,124)",
                                                              "ellipse (2559,158) (2619,218)"}));
    const auto texts = calls(c, "text ");
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[1], "text (2709,79) \"C\" Arial 10 #000000 - angle 0 on #ffffff");
    EXPECT_EQ(texts[2], "text (2709,173) \"N\" Arial 10 #000000 - angle 0 on #ffffff");
    EXPECT_EQ(texts[3],
              "text (2589,376) \"Direction of projection:\" Arial 10 #000000 - angle 0 "
              "on #ffffff");
    EXPECT_EQ(texts[4],
              "text (2589,447) \"x=  0.0000 y=  0.0000 z=  1.0000\" Arial 10 #000000 - "
              "angle 0 on #ffffff");
    EXPECT_EQ(texts[5], "text (2471,59) \"three.ins\" Arial 10 #000000 - angle 0 on #ffffff");
    // The bar is 1 A at the page's scale, 10 / R cm, in the scale-bar colour.
    const auto lines = calls(c, "line ");
    ASSERT_EQ(lines.size(), 1u);
    long x1, y1, x2, y2;
    std::sscanf(lines[0].c_str(), "line (%ld,%ld) (%ld,%ld)", &x1, &y1, &x2, &y2);
    EXPECT_EQ(x1, 94);
    EXPECT_EQ(y1, 2318);
    EXPECT_EQ(y2, 2318);
    EXPECT_NEAR((x2 - x1) / kInitialPixelsPerCm, 10 / p.fit(), 1 / kInitialPixelsPerCm);
    EXPECT_EQ(texts[0].substr(0, texts[0].find('"')),
              "text (" + std::to_string(std::lround(94 + 10 * kInitialPixelsPerCm / p.fit() / 2)) +
                  ",2259) ");
    // Atoms are drawn with the page's 101 outline points and pen.
    const auto polygons = calls(c, "polygon ");
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons[0].rfind("polygon 101 ", 0), 0u);
    EXPECT_NE(std::find(c.log.begin(), c.log.end(), "pen #000000 2 solid"), c.log.end());
}

// Two frames, and the two views 6.5 cm apart at half the single view's
// scale of a 6.5 cm half-width.
TEST(PrintedPage, StereoPairSixAndAHalfCentimetresApart) {
    Page p;
    PrintSettings s;
    s.stereo = true;
    s.pen_width = 1;
    const RecordingCanvas c = p.print(s);
    const auto rects = calls(c, "rectangle ");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], "rectangle (118,706) (977,1647)");
    EXPECT_EQ(rects[1], "rectangle (988,706) (1824,1647)");
    const auto polygons = calls(c, "polygon ");
    ASSERT_EQ(polygons.size(), 6u);
    // Each pass paints far to near, and the turns change the depth order:
    // the atoms are matched by their place from left to right. Atoms at one
    // depth turn alike both ways, so only the separation is left.
    std::vector<double> left_x, right_x;
    for (int k = 0; k < 3; ++k) {
        left_x.push_back(mean_x(polygons[static_cast<std::size_t>(k)]));
        right_x.push_back(mean_x(polygons[static_cast<std::size_t>(k + 3)]));
    }
    std::sort(left_x.begin(), left_x.end());
    std::sort(right_x.begin(), right_x.end());
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR((right_x[k] - left_x[k]) / s.pixels_per_cm, kStereoSeparationCm,
                    1.5 / s.pixels_per_cm);
    const PageGeometry left = stereo_geometry(s, 0, p.fit(), 1);
    const PageGeometry right = stereo_geometry(s, 1, p.fit(), 1);
    EXPECT_EQ(left.x0, 588);
    EXPECT_EQ(right.x0, 1353);
    EXPECT_EQ(left.y0, 1177);
    EXPECT_NEAR(left.scale, 6.5 * s.pixels_per_cm / (2 * p.fit()) * 0.5, 1e-9);
    EXPECT_FALSE(left.round_to_pixels);
    // The legend and the file name follow once; no frame mask, no scale bar.
    EXPECT_TRUE(calls(c, "line ").empty());
    EXPECT_EQ(calls(c, "ellipse ").size(), 2u);
}

// W = 801: h = 400, background (1, 1) to (799, 799), scale bar at y = 791.
TEST(MetafilePage, LaidOutOnItsOwnWidth) {
    Page p;
    p.state.options.draw_cell = true;
    initialise_view(p.doc, p.state, p.env, p.msg);
    RecordingCanvas c;
    draw_metafile_page(p.doc, p.state, MetafileSettings{801, 3}, c, p.msg);
    EXPECT_EQ(calls(c, "rectangle ")[0], "rectangle (1,1) (799,799)");
    const double s = 400 / page_scene(p.doc, p.state).fit_radius;
    const auto lines = calls(c, "line ");
    ASSERT_EQ(lines.size(), 13u);  // the bar and the twelve cell edges
    EXPECT_EQ(lines[0], "line (10,791) (" + std::to_string(std::lround(10 + s)) + ",791)");
    const auto texts = calls(c, "text ");
    EXPECT_EQ(texts[0], "text (" + std::to_string(static_cast<long>((10 + s) / 2)) +
                            ",776) \"1\u00c5\" Times New Roman 8 #000000 - angle 0 on #ffffff");
    EXPECT_EQ(texts.size(), 5u);  // the bar's, then o, a, b, c; no legend, no file name
    EXPECT_NE(std::find(c.log.begin(), c.log.end(), "pen #000000 3 solid"), c.log.end());
}

}  // namespace
}  // namespace veldor
