#include "output/page_layout.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "drawing/ellipsoid.h"
#include "drawing/scene.h"
#include "drawing/view.h"
#include "formats/text_file.h"

namespace veldor {

namespace {

double round_half_even(double v) {
    return std::nearbyint(v);
}

constexpr double kCellCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// The cell on a page: its twelve edges as plain lines, then the letters
// o, a, b, c at 10 points on white at the origin and the ends of a, b, c.
void draw_page_cell(const DrawingState& state, Canvas& canvas, const PageGeometry& page,
                    const char* font_name, int pen_width) {
    const ViewState& v = state.view;
    const std::size_t n = static_cast<std::size_t>(v.atom_count);
    if (v.points.size() != n + 8) return;
    Point c[8];
    for (std::size_t i = 0; i < 8; ++i)
        c[i] = page.map(v.points[n + i][0], v.points[n + i][1]);
    canvas.set_pen({kBlack, pen_width, PenStyle::Solid});
    static constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : kEdges)
        canvas.line(c[e[0]], c[e[1]]);
    canvas.set_brush({kWhite, false});
    TextStyle style;
    style.font = Font{font_name, 10, kBlack};
    style.opaque = true;
    style.background = kWhite;
    static constexpr const char* kLetters[4] = {"o", "a", "b", "c"};
    static constexpr int kCorners[4] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i)
        canvas.text(c[kCorners[i]], kLetters[i], style);
}

TextStyle black_on_white(const char* font_name, double size) {
    TextStyle style;
    style.font = Font{font_name, size, kBlack};
    style.opaque = true;
    style.background = kWhite;
    return style;
}

// Right of the frame: a disc and the symbol per element, then the
// direction of projection two steps below the last.
void draw_legend(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                 double p) {
    const double step = round_half_even(0.8 * p);
    const double x = round_half_even(22 * p);
    const double r = kLegendDiscRadius;
    const TextStyle style = black_on_white("Arial", 10);
    double y = step;
    for (const ElementSort& sort : doc.element_sorts) {
        canvas.set_pen({kBlack, 1, PenStyle::Solid});
        canvas.set_brush({sort.colour, false});
        canvas.ellipse({x - r, y - r}, {x + r, y + r});
        canvas.set_brush({kWhite, false});
        canvas.text({x + 120, y - 15}, element_display_text(sort.symbol), style);
        y += step;
    }
    y += step;
    canvas.text({x, y}, kProjectionCaption, style);
    y += round_half_even(0.6 * p);
    const Vec3 uvw = projection_direction(state.view).uvw;
    canvas.text({x, y},
                "x=" + fixed_field(uvw[0], 8, 4) + " y=" + fixed_field(uvw[1], 8, 4) +
                    " z=" + fixed_field(uvw[2], 8, 4),
                style);
}

void draw_file_name(const std::string& file_name, Canvas& canvas, double p) {
    if (file_name.empty()) return;
    canvas.set_brush({kWhite, false});
    canvas.text({round_half_even(21 * p), round_half_even(0.5 * p)}, file_name,
                black_on_white("Arial", 10));
}

// The atoms and bonds of one view with their labels.
void draw_view(const StructureDocument& doc, const DrawingState& page_state, Canvas& canvas,
               const PageGeometry& g, Messages& messages) {
    canvas.set_pen({kBlack, g.pen_width, PenStyle::Solid});
    draw_atoms_and_bonds(doc, page_state, canvas, g);
    draw_atom_labels(doc, page_state, canvas, g, messages);
    draw_bond_labels(doc, page_state, canvas, g);
}

double page_extent(double given, double cm, double p) {
    return given > 0 ? given : cm * p;
}

void draw_stereo_pair(const StructureDocument& doc, const DrawingState& state,
                      const PrintSettings& s, Canvas& canvas, Messages& messages) {
    const double p = s.pixels_per_cm;
    canvas.set_pen({kBlack, s.pen_width, PenStyle::Solid});
    canvas.set_brush({kWhite, false});
    canvas.rectangle({p, 6 * p}, {8.3 * p, 14 * p});
    canvas.rectangle({8.4 * p, 6 * p}, {15.5 * p, 14 * p});
    // Both views take the fit of the unturned scene, so they have one scale.
    const double radius = page_scene(doc, state).fit_radius;
    const double zoom = zoom_track_factor(state.view);
    for (int pass = 0; pass < 2; ++pass) {
        const double turn = (pass == 0 ? 0.5 : -0.5) * kStereoAngleDegrees;
        const PageScene scene = page_scene(doc, state, turn);
        draw_view(doc, scene.state, canvas, stereo_geometry(s, pass, radius, zoom), messages);
    }
}

}  // namespace

std::string resolution_box_text(double pixels_per_cm) {
    return format_fixed(pixels_per_cm * kDotsPerInchFactor, 5, 0);
}

std::optional<double> pixels_per_cm_from_box(std::string_view text) {
    const std::optional<double> dpi = parse_double(text);
    if (!dpi || !(*dpi >= kMinimumDotsPerInch && *dpi <= kMaximumDotsPerInch)) return std::nullopt;
    return *dpi / kDotsPerInchFactor;
}

int zoom_track_position(const ViewState& view) {
    const double position = round_half_even(5 * view.zoom - 5);
    return static_cast<int>(std::clamp(position, -4.0, 10.0));
}

double zoom_track_factor(const ViewState& view) {
    return 1 + 0.2 * zoom_track_position(view);
}

PageScene page_scene(const StructureDocument& doc, const DrawingState& state, double turn_degrees) {
    PageScene ps{state, 1};
    ViewState& v = ps.state.view;
    if (turn_degrees != 0) {
        const double a = turn_degrees * kDegToRad;
        const Mat3 turn{{{std::cos(a), 0, std::sin(a)}, {0, 1, 0}, {-std::sin(a), 0, std::cos(a)}}};
        v.rotation = multiply(turn, v.rotation);
        v.view_matrix = multiply(turn, v.view_matrix);
        // A rotation's inverse is its transpose.
        v.rotation_inverse = transpose(v.rotation);
    }
    compute_outlines(ps.state.ellipsoids, v.rotation, v.rotation_inverse);
    const std::size_t n = std::min(doc.display.size(), ps.state.ellipsoids.atoms.size());
    v.atom_count = static_cast<int>(n);
    v.points.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        v.points[i] = transform(v.view_matrix, doc.display[i].position());
    if (state.options.draw_cell)
        for (const auto& c : kCellCorners)
            v.points.push_back(transform(v.view_matrix, {c[0], c[1], c[2]}));
    v.ring_shown = false;
    v.zoomed = false;

    // The drawn atoms place and fit the page; with none, the cell does.
    bool any_atom = false;
    for (std::size_t i = 0; i < n; ++i)
        any_atom = any_atom || doc.display[i].drawn == 1;
    auto placing = [&](std::size_t i) {
        return any_atom ? i < n && doc.display[i].drawn == 1 : i >= n;
    };
    Vec3 lo{}, hi{};
    bool first = true;
    for (std::size_t i = 0; i < v.points.size(); ++i) {
        if (!placing(i)) continue;
        for (int k = 0; k < 3; ++k) {
            lo[k] = first ? v.points[i][k] : std::min(lo[k], v.points[i][k]);
            hi[k] = first ? v.points[i][k] : std::max(hi[k], v.points[i][k]);
        }
        first = false;
    }
    const Vec3 centre{(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    for (Vec3& p : v.points)
        p = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};

    double far = 0;
    for (std::size_t i = 0; i < v.points.size(); ++i)
        if (placing(i)) far = std::max(far, length(v.points[i]));
    if (any_atom) far += 2 / std::sqrt(ps.state.ellipsoids.smallest_eigenvalue);
    ps.fit_radius = far > 0 ? far : 1;
    return ps;
}

PageGeometry print_geometry(const PrintSettings& s, double fit_radius, double zoom_factor) {
    const double p = s.pixels_per_cm;
    PageGeometry g;
    g.width = static_cast<int>(std::ceil(page_extent(s.page_width, kPageWidthCm, p)));
    g.height = static_cast<int>(std::ceil(page_extent(s.page_height, kPageHeightCm, p)));
    g.x0 = static_cast<int>(round_half_even(10.5 * p));
    g.y0 = static_cast<int>(round_half_even(10 * p));
    g.scale = 10 * p / fit_radius * zoom_factor;
    g.outline_steps = kPageOutlineSteps;
    g.pen_width = s.pen_width;
    g.round_to_pixels = false;
    return g;
}

PageGeometry stereo_geometry(const PrintSettings& s, int pass, double fit_radius,
                             double zoom_factor) {
    const double p = s.pixels_per_cm;
    PageGeometry g = print_geometry(s, fit_radius, zoom_factor);
    g.x0 = static_cast<int>(round_half_even((pass == 0 ? 5 : kStereoSeparationCm + 5) * p));
    g.scale = kStereoSeparationCm * p / (2 * fit_radius) * 0.5 * zoom_factor;
    return g;
}

std::string page_file_name(const StructureDocument& doc) {
    const std::string& name = !doc.data_file.empty() ? doc.data_file : doc.vld_file;
    return std::filesystem::path(name).filename().string();
}

void draw_printed_page(const StructureDocument& doc, const DrawingState& state,
                       const PrintSettings& s, const std::string& file_name, Canvas& canvas,
                       Messages& messages) {
    const double p = s.pixels_per_cm;
    if (s.stereo) {
        draw_stereo_pair(doc, state, s, canvas, messages);
    } else {
        const PageScene scene = page_scene(doc, state);
        const PageGeometry g = print_geometry(s, scene.fit_radius, zoom_track_factor(state.view));
        const double left = round_half_even(0.5 * p), right = round_half_even(20.5 * p);
        const double bottom = 2.0 * g.y0;
        canvas.set_pen({kBlack, kDefaultPrintPenWidth, PenStyle::Solid});
        canvas.set_brush({doc.background_colour, false});
        canvas.rectangle({left, 1}, {right, bottom});
        draw_view(doc, scene.state, canvas, g, messages);
        if (state.options.draw_cell) draw_page_cell(scene.state, canvas, g, "Arial", s.pen_width);
        // Nothing drawn outside the picture's rectangle stays on the page.
        canvas.set_pen({kWhite, 1, PenStyle::Solid});
        canvas.set_brush({kWhite, false});
        const double w = g.width, h = g.height;
        canvas.rectangle({right, 0}, {w, h});
        canvas.rectangle({0, 0}, {left, h});
        canvas.rectangle({0, bottom}, {w, h});
        canvas.set_pen({kBlack, kDefaultPrintPenWidth, PenStyle::Solid});
        const Point frame[5] = {{left, 1}, {right, 1}, {right, bottom}, {left, bottom}, {left, 1}};
        canvas.polyline(frame);
        // The 1 A scale bar at the foot of the picture.
        const double y = round_half_even(19.7 * p), x = round_half_even(0.8 * p);
        const double end = x + g.snap(g.scale);
        canvas.set_pen({state.scale_bar_colour, 5, PenStyle::Solid});
        canvas.line({x, y}, {end, y});
        TextStyle bar;
        bar.font = Font{"Times New Roman", 10, state.scale_bar_colour};
        canvas.text({end - g.snap(g.scale / 2), y - round_half_even(0.5 * p)}, "1\u00c5", bar);
    }
    draw_legend(doc, state, canvas, p);
    draw_file_name(file_name, canvas, p);
}

PageGeometry metafile_geometry(const MetafileSettings& s, double fit_radius, double zoom_factor) {
    const int h = s.width / 2;
    PageGeometry g;
    g.width = g.height = s.width;
    g.x0 = g.y0 = h;
    g.scale = h / fit_radius * zoom_factor;
    g.outline_steps = kPageOutlineSteps;
    g.pen_width = s.pen_width;
    g.round_to_pixels = false;
    return g;
}

void draw_metafile_page(const StructureDocument& doc, const DrawingState& state,
                        const MetafileSettings& s, Canvas& canvas, Messages& messages) {
    const PageScene scene = page_scene(doc, state);
    const PageGeometry g = metafile_geometry(s, scene.fit_radius, zoom_track_factor(state.view));
    const double h = g.x0;
    canvas.set_pen({kBlack, 1, PenStyle::Solid});
    canvas.set_brush({doc.background_colour, false});
    canvas.rectangle({1, 1}, {2 * h - 1, 2 * h - 1});
    draw_view(doc, scene.state, canvas, g, messages);
    const double w = s.width, bar = g.snap(g.scale);
    canvas.set_pen({state.scale_bar_colour, 2, PenStyle::Solid});
    canvas.line({10, w - 10}, {10 + bar, w - 10});
    TextStyle style;
    style.font = Font{"Times New Roman", 8, state.scale_bar_colour};
    style.opaque = true;
    style.background = doc.background_colour;
    canvas.text({std::floor((10 + bar) / 2), w - 25}, "1\u00c5", style);
    canvas.set_pen({state.scale_bar_colour, 1, PenStyle::Solid});
    if (state.options.draw_cell)
        draw_page_cell(scene.state, canvas, g, "Times New Roman", s.pen_width);
}

}  // namespace veldor
