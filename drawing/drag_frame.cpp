#include "drawing/drag_frame.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/metric.h"
#include "drawing/ellipsoid.h"
#include "drawing/scene.h"

namespace veldor {

namespace {

// Where view angstroms land in the frame: x = X scale + x0, y = y0 - Y scale.
struct FrameMap {
    double scale = 1, x0 = 0, y0 = 0;
};

// A run of pixels of one row, first..last (empty when first > last).
struct Span {
    int first = 0, last = -1;
    bool empty() const { return first > last; }
};

// The pixels whose centres lie in [lo, hi], within 0..size-1. Safe for any
// lo and hi (not finite ones give an empty span).
inline Span pixels_between(double lo, double hi, int size) {
    if (!(lo <= hi)) return {};
    // Clamped first, so the conversions below stay in range; rounded by
    // hand and without branches, as this runs for every row of every atom
    // and bond.
    const double f = std::min(std::max(lo, -1.0), static_cast<double>(size)) - 0.5;
    const double l = std::min(std::max(hi, -1.0), static_cast<double>(size)) - 0.5;
    const int tf = static_cast<int>(f), tl = static_cast<int>(l);
    const int first = tf + (tf < f);  // ceil
    const int last = tl - (tl > l);   // floor
    return {std::max(0, first), std::min(size - 1, last)};
}

// An atom's outline in frame pixels: inside where a u^2 + b v^2 + c u v is
// below d, u = x - cx to the right and v = cy - y upwards. Its front
// surface lies at view depth zc + kx u + ky v + kz sqrt(d - q), never
// nearer than z_front.
//
// The atom is painted within the outline grown by half a pen all round and
// bordered in black from the outline shrunk by half a pen: both are the
// outline scaled about its centre, by grow and shrink.
struct Shape {
    double cx = 0, cy = 0;
    double a = 0, b = 0, c = 0, d = 0;
    double hv = 0;     // half height of the outline, pixels
    double major = 0;  // longest outline radius, pixels
    double grow = 1, shrink = 1;
    double kx = 0, ky = 0, kz = 0, zc = 0, z_front = 0;
    bool usable = false;
};

Shape make_shape(const AtomEllipsoid& e, const Vec3& centre, const FrameMap& m, double half_pen) {
    Shape s;
    const double s2 = m.scale * m.scale;
    s.cx = centre[0] * m.scale + m.x0;
    s.cy = m.y0 - centre[1] * m.scale;
    s.a = -e.A / s2;
    s.b = -e.B / s2;
    s.c = -e.C / s2;
    s.d = -e.D;
    const double w33 = e.W_view[2][2];
    const double det = s.a * s.b - s.c * s.c / 4;
    if (!(det > 0) || !(s.a > 0) || !(s.d > 0) || !(w33 > 0)) return s;
    s.hv = std::sqrt(s.d * s.a / det);
    const double largest = (s.a + s.b) / 2 + std::hypot((s.a - s.b) / 2, s.c / 2);
    s.major = std::sqrt(s.d * largest / det);
    const double minor = std::sqrt(s.d / largest);
    // Scaling by the mean radius keeps the border near one pen wide all round.
    const double mean = std::sqrt(s.major * minor);
    s.grow = 1 + half_pen / mean;
    s.shrink = std::max(0.0, 1 - half_pen / mean);
    s.kz = 1 / w33;
    s.kx = -e.W_view[0][2] / (w33 * m.scale);
    s.ky = -e.W_view[1][2] / (w33 * m.scale);
    s.zc = centre[2];
    s.z_front = s.zc + 1 / std::sqrt(e.eigenvalues[2]);
    s.usable = std::isfinite(s.cx) && std::isfinite(s.cy) && std::isfinite(s.hv) &&
               std::isfinite(s.major) && minor > 0 && std::isfinite(s.z_front) &&
               std::isfinite(s.kx + s.ky);
    return s;
}

// The pixels of row y inside the outline scaled by k.
inline Span row_span(const Shape& s, int y, double k, int width) {
    const double v = s.cy - (y + 0.5);
    const double disc = s.c * s.c * v * v - 4 * s.a * (s.b * v * v - s.d * k * k);
    if (!(disc >= 0)) return {};
    const double root = std::sqrt(disc);
    return pixels_between(s.cx + (-s.c * v - root) / (2 * s.a),
                          s.cx + (-s.c * v + root) / (2 * s.a), width);
}

// Rows of the outline scaled by k.
Span rows_of(const Shape& s, double k, int height) {
    return pixels_between(s.cy - s.hv * k, s.cy + s.hv * k, height);
}

// View depth of the atom's front surface at the centre of pixel (x, y).
double surface_depth(const Shape& s, int x, int y) {
    const double u = x + 0.5 - s.cx, v = s.cy - (y + 0.5);
    const double e = s.d - (s.a * u * u + s.b * v * v + s.c * u * v);
    return s.zc + s.kx * u + s.ky * v + s.kz * std::sqrt(std::max(e, 0.0));
}

// The shading's ring colours (index 1..n), as the redraw paints its rings.
std::vector<std::uint32_t> ring_words(Colour colour, int n) {
    std::vector<std::uint32_t> words(static_cast<std::size_t>(n + 1), frame_word(colour));
    const int channels[3] = {red(colour), green(colour), blue(colour)};
    const double quarter = n / 4.0;
    for (int ring = 1; ring <= n; ++ring) {
        const double f = 1 + (n - ring) * static_cast<double>(n - ring) / (quarter * quarter);
        int shade[3];
        for (int ch = 0; ch < 3; ++ch)
            shade[ch] = static_cast<int>(std::nearbyint((255 - channels[ch]) / f + channels[ch]));
        words[static_cast<std::size_t>(ring)] = frame_word(rgb(shade[0], shade[1], shade[2]));
    }
    return words;
}

void paint_atom(PixelFrame& frame, const Shape& s, std::int32_t index, Colour fill, bool gradation,
                double page_ratio) {
    const std::uint32_t black = frame_word(kBlack), word = frame_word(fill);
    const int rings = gradation ? static_cast<int>(std::nearbyint(s.major / page_ratio)) : 0;
    const std::vector<std::uint32_t> shades =
        rings > 0 ? ring_words(fill, rings) : std::vector<std::uint32_t>{};
    const Span rows = rows_of(s, s.grow, frame.height());
    bool any = false;
    for (int y = rows.first; y <= rows.last; ++y) {
        const Span outer = row_span(s, y, s.grow, frame.width());
        if (outer.empty()) continue;
        Span inner = row_span(s, y, s.shrink, frame.width());
        inner.first = std::max(inner.first, outer.first);
        inner.last = std::min(inner.last, outer.last);
        std::uint32_t* row = frame.row(y);
        std::fill(frame.owner_row(y) + outer.first, frame.owner_row(y) + outer.last + 1, index);
        if (inner.empty()) {
            std::fill(row + outer.first, row + outer.last + 1, black);
        } else {
            std::fill(row + outer.first, row + inner.first, black);
            std::fill(row + inner.last + 1, row + outer.last + 1, black);
            if (rings == 0) {
                std::fill(row + inner.first, row + inner.last + 1, word);
            } else {
                const double v = s.cy - (y + 0.5);
                for (int x = inner.first; x <= inner.last; ++x) {
                    const double u = x + 0.5 - s.cx;
                    const double q = s.a * u * u + s.b * v * v + s.c * u * v;
                    const double rho = std::sqrt(std::max(q, 0.0) / s.d);
                    const int ring = std::clamp(static_cast<int>(1 + (1 - rho) * rings), 1, rings);
                    row[x] = shades[static_cast<std::size_t>(ring)];
                }
            }
        }
        any = true;
    }
    // An atom smaller than a pixel is still a dot of the pen.
    if (!any && s.cx >= 0 && s.cy >= 0 && s.cx < frame.width() && s.cy < frame.height()) {
        const int x = static_cast<int>(s.cx), y = static_cast<int>(s.cy);
        frame.row(y)[x] = black;
        frame.owner_row(y)[x] = index;
    }
}

// Lines of the principal ellipses and semi-axes, from page pixels to frame
// pixels. Only lines and polylines are drawn; the atoms' outlines are not
// drawn through this canvas.
class FrameLines : public Canvas {
  public:
    FrameLines(PixelFrame& frame, double ratio) : frame_(frame), ratio_(ratio) {}
    void set_pen(const Pen& pen) override { colour_ = pen.colour; }
    void set_brush(const Brush&) override {}
    void polygon(std::span<const Point> points) override { polyline(points); }
    void polyline(std::span<const Point> points) override {
        for (std::size_t i = 1; i < points.size(); ++i)
            line(points[i - 1], points[i]);
    }
    void line(Point from, Point to) override {
        frame_.line({from.x * ratio_, from.y * ratio_}, {to.x * ratio_, to.y * ratio_}, colour_);
    }
    void ellipse(Point, Point) override {}
    void rectangle(Point, Point) override {}
    void text(Point, std::string_view, const TextStyle&) override {}
    TextSize text_size(std::string_view, const Font&) override { return {}; }

  private:
    PixelFrame& frame_;
    double ratio_;
    Colour colour_ = kBlack;
};

// The pixel centres x of a row where alpha x + beta lies in [lo, hi], with
// `inverse` = 1 / alpha (alpha 0: inverse 0, and every x or none).
inline void solve_row(double inverse, double beta, double lo, double hi, double& x_lo,
                      double& x_hi) {
    if (inverse == 0) {
        const bool in = beta >= lo && beta <= hi;
        x_lo = in ? -1e300 : 1;
        x_hi = in ? 1e300 : 0;
        return;
    }
    const double a = (lo - beta) * inverse, b = (hi - beta) * inverse;
    x_lo = std::min(a, b);
    x_hi = std::max(a, b);
}

double inverse_of(double v) {
    return std::fabs(v) < 1e-12 ? 0 : 1 / v;
}

struct Bond {
    std::int32_t p = 0, q = 0;  // its atoms, p painted first
    double z1 = 0, dz = 0;      // view depth at p, and towards q
    double half_width = 0;      // angstrom
    double taper = 0;           // tan(perspective)
    Colour fill = kYellow;
};

// Paints one bond's band between the centres of its atoms, right after its
// atom p: leaves out the pixels its own atoms were painted on and those
// where the bond lies behind the atom surface painted there.
void paint_bond(PixelFrame& frame, const Bond& bond, std::span<const Shape> shapes, double scale,
                double half_pen) {
    const Shape& p = shapes[static_cast<std::size_t>(bond.p)];
    const Shape& q = shapes[static_cast<std::size_t>(bond.q)];
    const double x1 = p.cx, y1 = p.cy;
    const double dx = q.cx - p.cx, dy = q.cy - p.cy;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0) || !std::isfinite(len)) return;
    const double ux = dx / len, uy = dy / len;  // along, from p
    const double nx = -uy, ny = ux;             // across
    const double inv_ux = inverse_of(ux), inv_nx = inverse_of(nx), inv_len = 1 / len;
    const double hw = bond.half_width * scale;
    auto width = [&](double t) {
        return hw *
               std::clamp(1 + bond.taper * (bond.z1 + t * bond.dz), kMinBondTaper, kMaxBondTaper);
    };
    const double reach = std::max(width(0), width(1)) + half_pen;
    if (!std::isfinite(reach)) return;
    const std::uint32_t black = frame_word(kBlack), word = frame_word(bond.fill);
    const Span rows =
        pixels_between(std::min(y1, q.cy) - reach, std::max(y1, q.cy) + reach, frame.height());
    for (int y = rows.first; y <= rows.last; ++y) {
        const double ry = y + 0.5 - y1;
        // Along in [0, len] and across within reach, both linear in x.
        double a_lo, a_hi, c_lo, c_hi;
        solve_row(inv_ux, ry * uy - x1 * ux, 0, len, a_lo, a_hi);
        solve_row(inv_nx, ry * ny - x1 * nx, -reach, reach, c_lo, c_hi);
        const Span band = pixels_between(std::max(a_lo, c_lo), std::min(a_hi, c_hi), frame.width());
        if (band.empty()) continue;
        std::uint32_t* row = frame.row(y);
        const std::int32_t* owners = frame.owner_row(y);
        const double rx0 = band.first + 0.5 - x1;
        double t = (rx0 * ux + ry * uy) * inv_len;
        double across = rx0 * nx + ry * ny;
        const double dt = ux * inv_len, dacross = nx;
        // The width hardly changes over the few pixels of a row: taken once,
        // in its middle. The ends of the band lie inside the bond's atoms.
        const double w = width(std::clamp(t + dt * (band.last - band.first) / 2, 0.0, 1.0));
        const double outer = w + half_pen, inner = w - half_pen;
        for (int x = band.first; x <= band.last; ++x, t += dt, across += dacross) {
            const double off = std::fabs(across);
            if (off > outer) continue;
            const std::int32_t o = owners[x];
            if (o == bond.p || o == bond.q) continue;
            if (o != kNoOwner) {
                const Shape& k = shapes[static_cast<std::size_t>(o)];
                const double z = bond.z1 + t * bond.dz;
                if (z < k.z_front && z < surface_depth(k, x, y)) continue;  // hidden
            }
            row[x] = off > inner ? black : word;
        }
    }
}

}  // namespace

bool draw_drag_frame(const StructureDocument& doc, const DrawingState& state,
                     const PageGeometry& page, double pixel_ratio, PixelFrame& frame) {
    frame.clear(doc.background_colour);
    if (static_cast<int>(doc.display.size()) > kMaxGenAtoms) return false;
    const int n = drawable_atoms(doc, state);
    if (n <= 0 || frame.width() == 0) return true;
    const double ratio = pixel_ratio > 0 && std::isfinite(pixel_ratio) ? pixel_ratio : 1.0;
    const FrameMap m{page.scale * ratio, page.x0 * ratio, page.y0 * ratio};
    const double half_pen = std::max(1, page.pen_width) * ratio / 2;
    const auto& pts = state.view.points;
    const auto& ell = state.ellipsoids.atoms;
    // Read once in atom order: the display copy's atoms are large.
    std::vector<char> shown(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        shown[static_cast<std::size_t>(i)] = doc.display[static_cast<std::size_t>(i)].drawn == 1;
    auto visible = [&](int i) { return shown[static_cast<std::size_t>(i)] != 0; };

    std::vector<Shape> shapes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        if (visible(i))
            shapes[static_cast<std::size_t>(i)] = make_shape(
                ell[static_cast<std::size_t>(i)], pts[static_cast<std::size_t>(i)], m, half_pen);
    const BondsByAtom bonds = bonds_by_atom(doc, n);
    const AtomStyle style{state.options.colour_gradation,
                          state.options.draw_planes || state.options.draw_planes_and_axes,
                          state.options.draw_planes_and_axes};
    FrameLines lines(frame, ratio);
    const double taper = std::tan(state.view.bond_perspective * kDegToRad);
    const std::vector<int> order = depth_order(pts, n);
    for (int rank = n - 1; rank >= 0; --rank) {
        const int a = order[static_cast<std::size_t>(rank)];
        if (!visible(a)) continue;
        const std::size_t sa = static_cast<std::size_t>(a);
        if (!shapes[sa].usable) continue;
        paint_atom(frame, shapes[sa], a, atom_fill_colour(doc, a), style.gradation, ratio);
        if (style.planes || style.axes) {
            lines.set_pen({kBlack, 1, PenStyle::Solid});
            draw_principal_ellipses_and_axes(lines, page, pts[sa], ell[sa], style,
                                             state.view.rotation);
        }
        for (int k = bonds.first[sa]; k < bonds.first[sa + 1]; ++k) {
            const CalcBond& bond =
                doc.bonds[static_cast<std::size_t>(bonds.list[static_cast<std::size_t>(k)])];
            const int other = bond.atom1 - 1 == a ? bond.atom2 - 1 : bond.atom1 - 1;
            const std::size_t so = static_cast<std::size_t>(other);
            if (pts[so][2] < pts[sa][2] || !shapes[so].usable) continue;
            const double ax = pts[so][0] - pts[sa][0], ay = pts[so][1] - pts[sa][1];
            if (ax * ax + ay * ay < 1e-12) continue;  // seen end-on, as the redraw leaves it
            const Bond b{a,
                         other,
                         pts[sa][2],
                         pts[so][2] - pts[sa][2],
                         bond.width / 100.0,
                         taper,
                         bond_fill_colour(doc, state, bond, a)};
            paint_bond(frame, b, shapes, m.scale, half_pen);
        }
    }
    return true;
}

}  // namespace veldor
