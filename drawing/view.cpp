#include "drawing/view.h"

#include <algorithm>
#include <cmath>

#include "core/metric.h"
#include "core/text.h"
#include "drawing/ellipsoid.h"
#include "drawing/picking.h"

namespace veldor {

namespace {

Vec3 column(const Mat3& m, int k) {
    return {m[0][k], m[1][k], m[2][k]};
}

void set_column(Mat3& m, int k, const Vec3& v) {
    for (int i = 0; i < 3; ++i)
        m[i][k] = v[i];
}

// The fractional corners of the cell, in the table's order.
constexpr double kCellCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

bool unit_determinant(const Mat3& m) {
    return std::fabs(std::fabs(determinant(m)) - 1) <= kUnitDeterminantTolerance;
}

}  // namespace

PageGeometry screen_page(const ViewState& view, const DrawingEnvironment& env) {
    PageGeometry page;
    page.width = env.width;
    page.height = env.height;
    page.x0 = view.screen_centre[0];
    page.y0 = view.screen_centre[1];
    page.scale = view.scale;
    return page;
}

void recompute_ellipsoids(const StructureDocument& doc, DrawingState& state,
                          const DrawingEnvironment& env, Messages& messages) {
    const ThermalMode mode = state.options.iso_display ? ThermalMode::Iso : ThermalMode::Aniso;
    compute_ellipsoids(doc, state.view.probability_index, mode, env.work_dir, messages,
                       state.ellipsoids);
    compute_outlines(state.ellipsoids, state.view.rotation, state.view.rotation_inverse);
}

void set_up_scene(const StructureDocument& doc, DrawingState& state, int image_height) {
    ViewState& v = state.view;
    const int n = static_cast<int>(doc.display.size());
    v.atom_count = n;
    v.points.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v.points[static_cast<std::size_t>(i)] = transform(v.view_matrix, doc.display[i].position());
    if (state.options.draw_cell)
        for (const auto& c : kCellCorners)
            v.points.push_back(transform(v.view_matrix, {c[0], c[1], c[2]}));
    if (v.ring_shown) v.ring_point = transform(v.view_matrix, v.ring_fractional);

    auto visible = [&](std::size_t i) {
        return i >= static_cast<std::size_t>(n) || doc.display[i].drawn == 1;
    };
    Vec3 sum{};
    int count = 0;
    for (std::size_t i = 0; i < v.points.size(); ++i) {
        if (!visible(i)) continue;
        for (int k = 0; k < 3; ++k)
            sum[k] += v.points[i][k];
        ++count;
    }
    Vec3 origin{};
    if (count > 0) origin = {sum[0] / count, sum[1] / count, sum[2] / count};
    if (v.ring_shown) origin = v.ring_point;
    for (Vec3& p : v.points)
        p = subtract(p, origin);
    if (v.ring_shown) v.ring_point = subtract(v.ring_point, origin);

    double d = kFitStart;
    for (std::size_t i = 0; i < v.points.size(); ++i)
        if (visible(i)) d = std::max(d, dot(v.points[i], v.points[i]));
    const double l = state.ellipsoids.smallest_eigenvalue;
    v.base_scale = ((image_height - 10) / 2) / (std::sqrt(d) + 2 / std::sqrt(l));
    v.scale = v.zoom * v.base_scale;
    v.rotation_angles = {0, 0, 0};
}

void initialise_view(const StructureDocument& doc, DrawingState& state,
                     const DrawingEnvironment& env, Messages& messages) {
    state.view.mouse_mode = 1;
    state.view.screen_centre[0] = env.width / 2;
    state.view.screen_centre[1] = env.height / 2;
    recompute_ellipsoids(doc, state, env, messages);
    set_up_scene(doc, state, env.height);
}

IncrementalRotation rotation_xy(double dx, double dy) {
    const double ax = kRadiansPerPixel * dx, ay = kRadiansPerPixel * dy;
    const double ca = std::cos(ax), sa = std::sin(ax), cb = std::cos(ay), sb = std::sin(ay);
    IncrementalRotation r;
    r.matrix = Mat3{{{ca, sa * sb, sa * cb}, {0, cb, -sb}, {-sa, ca * sb, ca * cb}}};
    r.angles = {ay, ax, 0};
    return r;
}

IncrementalRotation rotation_z(Point from, Point to, int x0, int y0) {
    const double a_from = std::atan2(y0 - from.y, x0 - from.x);
    const double a_to = std::atan2(y0 - to.y, x0 - to.x);
    const double d = a_from - a_to;
    IncrementalRotation r;
    r.matrix = Mat3{{{std::cos(d), -std::sin(d), 0}, {std::sin(d), std::cos(d), 0}, {0, 0, 1}}};
    r.angles = {0, 0, d};
    return r;
}

bool apply_rotation(DrawingState& state, const Metric& metric, const IncrementalRotation& r,
                    Messages& messages) {
    ViewState& v = state.view;
    const Mat3 vm = multiply(r.matrix, v.view_matrix);
    const InverseResult inv = inverse(vm);
    if (inv.singular) {
        messages.warn(kMouseRotationSingular);
        return false;
    }
    state.options.colour_gradation = false;
    for (int k = 0; k < 3; ++k)
        v.rotation_angles[k] += r.angles[k] * kRadToDeg;
    v.view_matrix = vm;
    v.view_matrix_inverse = inv.inverse;
    v.rotation_inverse = multiply(metric.frac_to_cart, v.view_matrix_inverse);
    v.rotation = multiply(v.view_matrix, metric.cart_to_frac);
    v.orientation_matrix = multiply(metric.B_inverse, v.rotation_inverse);
    v.orientation_inverse = multiply(v.rotation, metric.B);
    for (Vec3& p : v.points)
        p = transform(r.matrix, p);
    if (v.ring_shown) v.ring_point = transform(r.matrix, v.ring_point);
    compute_outlines(state.ellipsoids, v.rotation, v.rotation_inverse);
    return true;
}

void translate_view(ViewState& view, int dx, int dy) {
    view.screen_centre[0] += dx;
    view.screen_centre[1] += dy;
}

bool make_consistent(ViewState& view, const Metric& metric, Messages& messages) {
    const Vec3 u = transform(metric.B, column(view.orientation_matrix, 0));
    Vec3 v = transform(metric.B, column(view.orientation_matrix, 1));
    const Vec3 w = cross(u, v);
    v = cross(w, u);
    Mat3 om{};
    set_column(om, 0, transform(metric.B_inverse, u));
    set_column(om, 1, transform(metric.B_inverse, v));
    set_column(om, 2, transform(metric.B_inverse, w));
    const InverseResult oi = inverse(om);
    if (oi.singular) {
        messages.warn(kConsistencyOrientationSingular);
        return false;
    }
    const Mat3 rotation = multiply(oi.inverse, metric.B_inverse);
    const InverseResult ri = inverse(rotation);
    if (ri.singular) {
        messages.warn(kConsistencyRotationSingular);
        return false;
    }
    view.orientation_matrix = om;
    view.orientation_inverse = oi.inverse;
    view.rotation = rotation;
    view.rotation_inverse = ri.inverse;
    view.view_matrix = multiply(oi.inverse, metric.G);
    view.view_matrix_inverse = multiply(metric.G_star, om);
    return true;
}

double read_axis_box(std::string& text, Messages& messages) {
    if (trim(text).empty()) return 0;
    const std::optional<double> v = parse_double(text);
    if (!v) {
        messages.warn(kTypeErrorMessage);
        text.clear();
        return 0;
    }
    return *v;
}

bool orient_one_axis(ViewState& view, const Metric& metric, int k, Messages& messages) {
    const Vec3 d = normalise(transform(metric.frac_to_cart, view.orientation_inverse[k]));
    const double dx = d[0], dy = d[1], dz = d[2];
    Mat3 rot = identity3();
    if (k == 0) {
        const double r = std::sqrt(dy * dy + dz * dz);
        if (r >= kAxisParallelTolerance)
            rot = Mat3{{{dx, dy, dz}, {0, -dz / r, dy / r}, {r, -dx * dy / r, -dx * dz / r}}};
    } else if (k == 1) {
        const double r = std::sqrt(dx * dx + dz * dz);
        if (r >= kAxisParallelTolerance)
            rot = Mat3{{{-dx * dy / r, r, -dy * dz / r}, {dx, dy, dz}, {dz / r, 0, -dx / r}}};
    } else {
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r >= kAxisParallelTolerance)
            rot = Mat3{{{dy / r, -dx / r, 0}, {dx * dz / r, dy * dz / r, -r}, {dx, dy, dz}}};
    }
    const InverseResult ri = inverse(rot);
    if (ri.singular) {
        messages.warn(kOneAxisRotationSingular);
        return false;
    }
    const Mat3 oi = multiply(rot, metric.B);
    const InverseResult om = inverse(oi);
    if (om.singular) {
        messages.warn(kOneAxisOrientationSingular);
        return false;
    }
    if (!unit_determinant(ri.inverse)) {
        messages.warn(kDeterminantMessage);
        return false;
    }
    view.rotation = rot;
    view.rotation_inverse = ri.inverse;
    view.orientation_inverse = oi;
    view.orientation_matrix = om.inverse;
    return true;
}

bool orient_two_axes(ViewState& view, const Metric& metric, int i, int j, Messages& messages) {
    const Vec3 ai = normalise(transform(metric.frac_to_cart, view.orientation_inverse[i]));
    const Vec3 aj = normalise(transform(metric.frac_to_cart, view.orientation_inverse[j]));
    if (std::fabs(dot(ai, aj)) > kPerpendicularTolerance) {
        messages.warn(kNotPerpendicularMessage);
        return false;
    }
    // The sign keeps X, Y, Z right-handed whichever two are given.
    const double s = (i + j) % 2 == 1 ? 1.0 : -1.0;
    Vec3 third = cross(ai, aj);
    for (double& c : third)
        c *= s;
    Mat3 oi = view.orientation_inverse;
    oi[3 - i - j] = transform(metric.cart_to_frac, third);
    const InverseResult om = inverse(oi);
    if (om.singular) {
        messages.warn(kTwoAxesOrientationSingular);
        return false;
    }
    const Mat3 rot = multiply(oi, metric.B_inverse);
    const InverseResult ri = inverse(rot);
    if (ri.singular) {
        messages.warn(kTwoAxesRotationSingular);
        return false;
    }
    if (!unit_determinant(ri.inverse)) {
        messages.warn(kDeterminantMessage);
        return false;
    }
    view.orientation_inverse = oi;
    view.orientation_matrix = om.inverse;
    view.rotation = rot;
    view.rotation_inverse = ri.inverse;
    return true;
}

bool orient_three_axes(ViewState& view, const Metric& metric, Messages& messages) {
    const Mat3 ri = multiply(metric.B, view.orientation_matrix);
    const InverseResult rot = inverse(ri);
    if (rot.singular) {
        messages.warn(kThreeAxesSingular);
        return false;
    }
    if (!unit_determinant(ri)) {
        messages.warn(kThreeAxesDeterminantMessage);
        return false;
    }
    view.rotation_inverse = ri;
    view.rotation = rot.inverse;
    return true;
}

OrientationResult set_orientation_from_axes(ViewState& view, const Metric& metric,
                                            const OrientationRequest& request, Messages& messages) {
    int given[3];
    int count = 0;
    ViewState v = view;
    v.orientation_matrix = Mat3{};
    v.orientation_inverse = Mat3{};
    for (int k = 0; k < 3; ++k) {
        const AxisRow& row = request.rows[static_cast<std::size_t>(k)];
        if (std::fabs(row.v[0]) + std::fabs(row.v[1]) + std::fabs(row.v[2]) == 0) continue;
        given[count++] = k;
        if (row.space == AxisSpace::Direct) {
            const Vec3 d = normalise_direct(row.v, metric);
            v.orientation_inverse[k] = d;
            set_column(v.orientation_matrix, k, transform(metric.G, d));
        } else {
            const Vec3 h = normalise_reciprocal(row.v, metric);
            set_column(v.orientation_matrix, k, h);
            v.orientation_inverse[k] = transform(metric.G_star, h);
        }
    }
    if (count == 0) return OrientationResult::Unchanged;
    bool ok = false;
    if (count == 1) ok = orient_one_axis(v, metric, given[0], messages);
    if (count == 2) ok = orient_two_axes(v, metric, given[0], given[1], messages);
    if (count == 3) ok = orient_three_axes(v, metric, messages);
    if (!ok || !make_consistent(v, metric, messages)) return OrientationResult::Refused;
    view = std::move(v);
    return OrientationResult::Applied;
}

namespace {

// Projection along a direction in direct components: only the Z row given.
bool project_direct(const StructureDocument& doc, DrawingState& state, const Vec3& direct,
                    const DrawingEnvironment& env, Messages& messages) {
    ViewState v = state.view;
    v.orientation_inverse = Mat3{};
    v.orientation_matrix = Mat3{};
    v.orientation_inverse[2] = direct;
    set_column(v.orientation_matrix, 2, transform(doc.metric.G, direct));
    if (!orient_one_axis(v, doc.metric, 2, messages)) return false;
    if (!make_consistent(v, doc.metric, messages)) return false;
    state.view = std::move(v);
    recompute_ellipsoids(doc, state, env, messages);
    set_up_scene(doc, state, env.height);
    return true;
}

bool valid_atom(const StructureDocument& doc, int a) {
    return a >= 0 && a < static_cast<int>(doc.display.size());
}

}  // namespace

bool project_along(const StructureDocument& doc, DrawingState& state, const Vec3& cartesian,
                   const DrawingEnvironment& env, Messages& messages) {
    return project_direct(doc, state, transform(doc.metric.cart_to_frac, cartesian), env, messages);
}

bool direction_by_two_atoms(const StructureDocument& doc, DrawingState& state, int a1, int a2,
                            const DrawingEnvironment& env, Messages& messages) {
    if (!valid_atom(doc, a1) || !valid_atom(doc, a2)) return false;
    const Vec3 d = subtract(doc.display[a2].position(), doc.display[a1].position());
    return project_direct(doc, state, normalise_direct(d, doc.metric), env, messages);
}

bool base_plane_by_three_atoms(const StructureDocument& doc, DrawingState& state, int a1, int a2,
                               int a3, const DrawingEnvironment& env, Messages& messages) {
    if (!valid_atom(doc, a1) || !valid_atom(doc, a2) || !valid_atom(doc, a3)) return false;
    const Vec3 r1 = frac_to_cart(doc.display[a1].position(), doc.metric);
    const Vec3 r2 = frac_to_cart(doc.display[a2].position(), doc.metric);
    const Vec3 r3 = frac_to_cart(doc.display[a3].position(), doc.metric);
    const Vec3 normal = normalise(cross(subtract(r2, r1), subtract(r2, r3)));
    return project_along(doc, state, normal, env, messages);
}

std::optional<std::array<int, 3>> best_view_atoms(const ViewState& view) {
    const int n = view.atom_count;
    if (n < 3) return std::nullopt;
    if (n == 3) return std::array<int, 3>{0, 1, 2};
    const auto& p = view.points;
    int bi = 0, bj = 1;
    double best = -1;
    for (int i = 0; i < n; ++i) {
        const Vec3& a = p[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < n; ++j) {
            const Vec3 d = subtract(p[static_cast<std::size_t>(j)], a);
            const double d2 = dot(d, d);
            if (d2 > best) {
                best = d2;
                bi = i;
                bj = j;
            }
        }
    }
    const Vec3& pi = p[static_cast<std::size_t>(bi)];
    const Vec3& pj = p[static_cast<std::size_t>(bj)];
    const Vec3 mid = {(pi[0] + pj[0]) / 2, (pi[1] + pj[1]) / 2, (pi[2] + pj[2]) / 2};
    int bk = -1;
    best = -1;
    for (int k = 0; k < n; ++k) {
        if (k == bi || k == bj) continue;
        const Vec3 d = subtract(p[static_cast<std::size_t>(k)], mid);
        if (dot(d, d) > best) {
            best = dot(d, d);
            bk = k;
        }
    }
    return std::array<int, 3>{bi, bj, bk};
}

bool best_view(const StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env,
               Messages& messages) {
    const auto atoms = best_view_atoms(state.view);
    if (!atoms) return false;
    return base_plane_by_three_atoms(doc, state, (*atoms)[0], (*atoms)[1], (*atoms)[2], env,
                                     messages);
}

void centre_on_atom(ViewState& view, int atom) {
    if (atom < 0 || atom >= static_cast<int>(view.points.size())) return;
    const Vec3 c = view.points[static_cast<std::size_t>(atom)];
    for (Vec3& p : view.points)
        p = subtract(p, c);
    // The ring marker moves with the atoms it belongs to.
    if (view.ring_shown) view.ring_point = subtract(view.ring_point, c);
}

void set_zoom_track(ViewState& view, int position) {
    view.zoom = 1 + 0.2 * position;
    view.scale = view.zoom * view.base_scale;
}

std::string zoom_text(double zoom, int decimals) {
    return " X " + format_fixed(zoom, 0, decimals);
}

std::optional<int> zoom_rectangle(DrawingState& state, Point press, Point release,
                                  const DrawingEnvironment& env) {
    ViewState& v = state.view;
    if (!is_drag(press, release)) return std::nullopt;
    const PixelRect r = drag_rectangle(press, release);
    const PageGeometry page = screen_page(v, env);
    Vec3 sum{};
    int count = 0;
    for (const Vec3& p : v.points) {
        if (r.strictly_contains(page.map(p[0], p[1]))) {
            for (int k = 0; k < 3; ++k)
                sum[k] += p[k];
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    v.saved_points = v.points;
    const Vec3 mean = {sum[0] / count, sum[1] / count, sum[2] / count};
    for (Vec3& p : v.points)
        p = subtract(p, mean);
    if (v.ring_shown) v.ring_point = subtract(v.ring_point, mean);
    // Twice the longest semi-axis, as in the fit of the scene set-up.
    const double e = std::max((r.right - r.left) / v.scale, (r.bottom - r.top) / v.scale) +
                     2 / std::sqrt(state.ellipsoids.smallest_eigenvalue);
    v.scale = env.width / e;
    v.zoom = v.scale / v.base_scale;
    v.zoomed = true;
    return std::clamp(static_cast<int>(std::nearbyint(5 * v.zoom - 5)), -4, 10);
}

void reset_zoom(const StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env) {
    state.view.zoomed = false;
    state.view.mouse_mode = 1;
    state.view.zoom = 1.0;
    set_up_scene(doc, state, env.height);
}

ProjectionDirection projection_direction(const ViewState& view) {
    ProjectionDirection d;
    d.uvw = column(view.view_matrix_inverse, 2);
    const double m = std::max({std::fabs(d.uvw[0]), std::fabs(d.uvw[1]), std::fabs(d.uvw[2])});
    for (int k = 0; k < 3; ++k) {
        if (m > 0) d.uvw[k] /= m;
        d.texts[static_cast<std::size_t>(k)] = format_fixed(d.uvw[k], 10, 5);
    }
    return d;
}

void draw_orientation_picture(Canvas& canvas, const Mat3& view_matrix, int width, int height) {
    // Corner order of this picture: 0, a, b, a+b, c, a+c, b+c, a+b+c.
    static constexpr double kCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                              {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    static constexpr int kEdges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                          {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    Vec3 p[8];
    for (int i = 0; i < 8; ++i)
        p[i] = transform(view_matrix, {kCorners[i][0], kCorners[i][1], kCorners[i][2]});
    const double cx = (p[0][0] + p[7][0]) / 2, cy = (p[0][1] + p[7][1]) / 2;
    double m = 0;
    for (Vec3& q : p) {
        q[0] -= cx;
        q[1] -= cy;
        m = std::max({m, std::fabs(q[0]), std::fabs(q[1])});
    }
    if (m <= 0) m = 1;
    const double sx = 0.9 * width / (2 * m), sy = 0.9 * height / (2 * m);
    const int ox = width / 2 + 1, oy = height / 2 + 1;
    Point s[8];
    for (int i = 0; i < 8; ++i)
        s[i] = {ox + std::nearbyint(p[i][0] * sx), oy - std::nearbyint(p[i][1] * sy)};

    const Colour blue = rgb(0, 0, 255);
    canvas.set_pen({blue, 1, PenStyle::Solid});
    canvas.set_brush({blue, false});
    canvas.rectangle({0, 0}, {static_cast<double>(width), static_cast<double>(height)});
    canvas.set_pen({kYellow, 2, PenStyle::Solid});
    for (const auto& e : kEdges)
        canvas.line(s[e[0]], s[e[1]]);
    TextStyle style;
    style.font.name = "Arial";
    style.font.size = 10;
    style.font.bold = true;
    style.font.colour = kWhite;
    static constexpr const char* kLetters[4] = {"o", "a", "b", "c"};
    static constexpr int kLetterCorners[4] = {0, 1, 2, 4};
    for (int i = 0; i < 4; ++i) {
        const Point at = s[kLetterCorners[i]];
        canvas.text({at.x - 4, at.y - 7}, kLetters[i], style);
    }
}

}  // namespace veldor
