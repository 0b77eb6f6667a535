#include "drawing/scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>
#include <optional>

#include "core/elements.h"
#include "core/metric.h"
#include "core/text.h"
#include "drawing/ellipsoid.h"
#include "drawing/picking.h"
#include "generation/generate.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

// Squared view-plane length of a bond seen end-on.
constexpr double kTinyAxis = 1e-12;
// Fills darker than this (0..255) take white centred labels.
constexpr double kDarkFillLuminance = 110;

bool visible(const StructureDocument& doc, int i) {
    return doc.display[static_cast<std::size_t>(i)].drawn == 1;
}

// The atoms that the view table and the display copy both hold.
int table_atoms(const StructureDocument& doc, const ViewState& v) {
    return std::min(
        {v.atom_count, static_cast<int>(doc.display.size()), static_cast<int>(v.points.size())});
}

// Black on light fills, white on dark ones, so a centred label reads on any atom.
Colour legible_text_colour(Colour fill) {
    const double luminance = 0.299 * red(fill) + 0.587 * green(fill) + 0.114 * blue(fill);
    return luminance < kDarkFillLuminance ? kWhite : kBlack;
}

// The style a label is drawn with comes from its style text, which is
// what the file keeps and the font dialog rewrites.
Font canvas_font(const LabelFont& f, double font_scale) {
    const FontStyle style = font_style_from_text(f.style_text);
    Font font;
    font.name = f.name;
    font.size = f.size * font_scale;
    font.colour = f.colour;
    font.bold = style.bold;
    font.italic = style.italic;
    font.underline = style.underline;
    font.strikeout = style.strikeout;
    return font;
}

// Parameters t where the projected axis P1 + t (P2 - P1) crosses an
// outline; false when it does not.
bool outline_crossings(const AtomEllipsoid& e, const Vec3& centre, const Vec3& p1, const Vec3& p2,
                       double& r1, double& r2) {
    const double x0 = p1[0] - centre[0], y0 = p1[1] - centre[1];
    const double dx = p2[0] - p1[0], dy = p2[1] - p1[1];
    const double a = e.A * dx * dx + e.B * dy * dy + e.C * dx * dy;
    const double b = 2 * e.A * x0 * dx + 2 * e.B * y0 * dy + e.C * (x0 * dy + y0 * dx);
    const double c = e.A * x0 * x0 + e.B * y0 * y0 + e.C * x0 * y0 - e.D;
    const double disc = b * b - 4 * a * c;
    if (!(disc > 0) || a == 0) return false;
    const double s = std::sqrt(disc);
    r1 = (-b - s) / (2 * a);
    r2 = (-b + s) / (2 * a);
    if (r1 > r2) std::swap(r1, r2);
    return true;
}

// Whether the axis point at t lies behind the middle of the ellipsoid's
// depth chord at that point of the view plane.
bool behind(const AtomEllipsoid& e, const Vec3& centre, const Vec3& p1, const Vec3& d, double t) {
    const double x = p1[0] + t * d[0] - centre[0];
    const double y = p1[1] + t * d[1] - centre[1];
    const double z = p1[2] + t * d[2] - centre[2];
    const Mat3& w = e.W_view;
    const double mid = -(w[0][2] * x + w[1][2] * y) / w[2][2];
    return z < mid;
}

// The stretch of (0, 1) that another atom hides: where its outline covers
// the projected axis and its surface lies in front of the axis. The hidden
// set is one interval: the axis inside the ellipsoid, widened by the parts
// that pass behind it. An end that lies on the outline is flagged, the
// others (where the axis pierces the surface) are not.
struct Hidden {
    double lo = 0, hi = 0;
    bool lo_on_outline = false, hi_on_outline = false;
};
bool hidden_by(const AtomShape& k, const Vec3& p1, const Vec3& p2, Hidden& h) {
    const AtomEllipsoid& e = *k.ellipsoid;
    double r1, r2;
    if (!outline_crossings(e, k.centre, p1, p2, r1, r2)) return false;
    const double lo = std::max(r1, 0.0);
    const double hi = std::min(r2, 1.0);
    if (!(lo < hi)) return false;
    const Vec3 d = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const Vec3 q0 = {p1[0] - k.centre[0], p1[1] - k.centre[1], p1[2] - k.centre[2]};
    const Vec3 wd = transform(e.W_view, d);
    const double a3 = dot(d, wd);
    const double b3 = 2 * dot(q0, wd);
    const double c3 = dot(q0, transform(e.W_view, q0)) - 1;
    const double disc = b3 * b3 - 4 * a3 * c3;
    double s1 = hi, s2 = hi;  // the axis inside the ellipsoid: none
    if (disc > 0 && a3 > 0) {
        s1 = (-b3 - std::sqrt(disc)) / (2 * a3);
        s2 = (-b3 + std::sqrt(disc)) / (2 * a3);
    }
    double cov_lo = 2, cov_hi = -1;
    auto add = [&](double a, double b) {
        cov_lo = std::min(cov_lo, a);
        cov_hi = std::max(cov_hi, b);
    };
    const double in_lo = std::max(lo, s1), in_hi = std::min(hi, s2);
    if (in_lo < in_hi) add(in_lo, in_hi);
    const double before_hi = std::min(hi, s1);
    if (lo < before_hi && behind(e, k.centre, p1, d, (lo + before_hi) / 2)) add(lo, before_hi);
    const double after_lo = std::max(lo, s2);
    if (after_lo < hi && behind(e, k.centre, p1, d, (after_lo + hi) / 2)) add(after_lo, hi);
    if (!(cov_lo < cov_hi)) return false;
    h = {cov_lo, cov_hi, cov_lo == lo, cov_hi == hi};
    return true;
}

// Half extents of an outline's bounding box (angstrom).
void outline_extent(const AtomEllipsoid& e, double& hx, double& hy) {
    const double a = -e.A, b = -e.B, c = -e.C, d = -e.D;
    const double det = a * b - c * c / 4;
    if (!(det > 0) || !(d > 0)) {
        hx = hy = 0;
        return;
    }
    hx = std::sqrt(d * b / det);
    hy = std::sqrt(d * a / det);
}

// A uniform grid over the view plane holding each visible atom in the
// cells its outline box touches, so a bond asks only the atoms near it.
class OutlineGrid {
  public:
    OutlineGrid(const StructureDocument& doc, const DrawingState& state, int n) {
        const auto& pts = state.view.points;
        boxes_.assign(static_cast<std::size_t>(n), Box{});
        double sum = 0;
        int count = 0;
        bool any = false;
        for (int i = 0; i < n; ++i) {
            if (!visible(doc, i)) continue;
            double hx, hy;
            outline_extent(state.ellipsoids.atoms[static_cast<std::size_t>(i)], hx, hy);
            const Vec3& p = pts[static_cast<std::size_t>(i)];
            Box& b = boxes_[static_cast<std::size_t>(i)];
            b = {p[0] - hx, p[1] - hy, p[0] + hx, p[1] + hy, true};
            if (!any) {
                min_x_ = b.x0, min_y_ = b.y0, max_x_ = b.x1, max_y_ = b.y1;
                any = true;
            }
            min_x_ = std::min(min_x_, b.x0);
            min_y_ = std::min(min_y_, b.y0);
            max_x_ = std::max(max_x_, b.x1);
            max_y_ = std::max(max_y_, b.y1);
            sum += 2 * std::max(hx, hy);
            ++count;
        }
        if (!any) return;
        cell_ = std::max(sum / count, 0.2);
        const double span = std::max(max_x_ - min_x_, max_y_ - min_y_);
        cell_ = std::max(cell_, span / 512);
        nx_ = static_cast<int>((max_x_ - min_x_) / cell_) + 1;
        ny_ = static_cast<int>((max_y_ - min_y_) / cell_) + 1;
        start_.assign(static_cast<std::size_t>(nx_ * ny_ + 1), 0);
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<int> fill;
            if (pass == 1) {
                std::partial_sum(start_.begin(), start_.end(), start_.begin());
                items_.assign(static_cast<std::size_t>(start_.back()), 0);
                fill.assign(start_.begin(), start_.end() - 1);
            }
            for (int i = 0; i < n; ++i) {
                const Box& b = boxes_[static_cast<std::size_t>(i)];
                if (!b.used) continue;
                int cx0, cy0, cx1, cy1;
                cells(b.x0, b.y0, b.x1, b.y1, cx0, cy0, cx1, cy1);
                for (int cy = cy0; cy <= cy1; ++cy)
                    for (int cx = cx0; cx <= cx1; ++cx) {
                        const std::size_t c = static_cast<std::size_t>(cy * nx_ + cx);
                        if (pass == 0)
                            ++start_[c + 1];
                        else
                            items_[static_cast<std::size_t>(fill[c]++)] = i;
                    }
            }
        }
        stamp_.assign(static_cast<std::size_t>(n), 0);
    }

    // Calls f(atom) once for each visible atom whose outline box meets the
    // box of the segment from a to b.
    template <class F>
    void near_segment(const Vec3& a, const Vec3& b, F&& f) {
        if (nx_ == 0) return;
        const double x0 = std::min(a[0], b[0]), x1 = std::max(a[0], b[0]);
        const double y0 = std::min(a[1], b[1]), y1 = std::max(a[1], b[1]);
        if (x1 < min_x_ || x0 > max_x_ || y1 < min_y_ || y0 > max_y_) return;
        int cx0, cy0, cx1, cy1;
        cells(x0, y0, x1, y1, cx0, cy0, cx1, cy1);
        ++query_;
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx) {
                const std::size_t c = static_cast<std::size_t>(cy * nx_ + cx);
                for (int k = start_[c]; k < start_[c + 1]; ++k) {
                    const int atom = items_[static_cast<std::size_t>(k)];
                    if (stamp_[static_cast<std::size_t>(atom)] == query_) continue;
                    stamp_[static_cast<std::size_t>(atom)] = query_;
                    const Box& bx = boxes_[static_cast<std::size_t>(atom)];
                    if (bx.x1 < x0 || bx.x0 > x1 || bx.y1 < y0 || bx.y0 > y1) continue;
                    f(atom);
                }
            }
    }

  private:
    struct Box {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool used = false;
    };
    void cells(double x0, double y0, double x1, double y1, int& cx0, int& cy0, int& cx1,
               int& cy1) const {
        auto clampx = [&](double v) {
            return std::clamp(static_cast<int>((v - min_x_) / cell_), 0, nx_ - 1);
        };
        auto clampy = [&](double v) {
            return std::clamp(static_cast<int>((v - min_y_) / cell_), 0, ny_ - 1);
        };
        cx0 = clampx(x0);
        cx1 = clampx(x1);
        cy0 = clampy(y0);
        cy1 = clampy(y1);
    }

    std::vector<Box> boxes_;
    double min_x_ = 0, min_y_ = 0, max_x_ = 0, max_y_ = 0, cell_ = 1;
    int nx_ = 0, ny_ = 0;
    std::vector<int> start_, items_;
    std::vector<unsigned> stamp_;
    unsigned query_ = 0;
};

}  // namespace

Colour atom_fill_colour(const StructureDocument& doc, int atom) {
    const Atom& a = doc.display[static_cast<std::size_t>(atom)];
    return doc.colour_fragments ? fragment_colour(a.tag) : a.colour;
}

Colour bond_fill_colour(const StructureDocument& doc, const DrawingState& state, const CalcBond& b,
                        int first_drawn) {
    if (state.options.black_and_white) return kWhite;
    if (doc.colour_fragments)
        return fragment_colour(doc.display[static_cast<std::size_t>(first_drawn)].tag);
    if (state.options.double_triple_bonds) {
        if (b.multiplicity == 1) return kSingleMarkBondColour;
        if (b.multiplicity == 2) return kDoubleMarkBondColour;
    }
    return b.colour;
}

int drawable_atoms(const StructureDocument& doc, const DrawingState& state) {
    return std::min(table_atoms(doc, state.view), static_cast<int>(state.ellipsoids.atoms.size()));
}

BondsByAtom bonds_by_atom(const StructureDocument& doc, int atom_count) {
    const int n = std::max(0, atom_count);
    BondsByAtom r;
    r.first.assign(static_cast<std::size_t>(n + 1), 0);
    std::vector<std::pair<int, int>> ends;
    for (int b = 0; b < static_cast<int>(doc.bonds.size()); ++b) {
        const CalcBond& bond = doc.bonds[static_cast<std::size_t>(b)];
        const int a1 = bond.atom1 - 1, a2 = bond.atom2 - 1;
        if (bond.width == 0 || a1 < 0 || a2 < 0 || a1 >= n || a2 >= n) continue;
        if (!visible(doc, a1) || !visible(doc, a2)) continue;
        ends.push_back({a1, b});
        if (a2 != a1) ends.push_back({a2, b});
    }
    for (const auto& e : ends)
        ++r.first[static_cast<std::size_t>(e.first + 1)];
    std::partial_sum(r.first.begin(), r.first.end(), r.first.begin());
    r.list.assign(ends.size(), 0);
    std::vector<int> fill(r.first.begin(), r.first.end() - 1);
    for (const auto& e : ends)
        r.list[static_cast<std::size_t>(fill[static_cast<std::size_t>(e.first)]++)] = e.second;
    return r;
}

std::vector<int> depth_order(std::span<const Vec3> points, int atom_count) {
    std::vector<int> order(static_cast<std::size_t>(atom_count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return points[static_cast<std::size_t>(a)][2] > points[static_cast<std::size_t>(b)][2];
    });
    return order;
}

namespace {

// bond_stretches into the caller's vectors, so the redraw reuses their memory.
void stretches_into(const AtomShape& p, const AtomShape& q, std::span<const AtomShape> others,
                    std::vector<BondStretch>& cuts, std::vector<BondStretch>& pieces) {
    cuts.clear();
    pieces.clear();
    const Vec3& p1 = p.centre;
    const Vec3& p2 = q.centre;
    const double dx = p2[0] - p1[0], dy = p2[1] - p1[1];
    if (dx * dx + dy * dy < kTinyAxis) return;
    // Each cut runs from an entry to an exit, both with the outline they lie on.
    double r1, r2;
    if (outline_crossings(*p.ellipsoid, p1, p1, p2, r1, r2)) cuts.push_back({{r1, p}, {r2, p}});
    if (outline_crossings(*q.ellipsoid, p2, p1, p2, r1, r2)) cuts.push_back({{r1, q}, {r2, q}});
    for (const AtomShape& k : others) {
        Hidden h;
        if (!hidden_by(k, p1, p2, h)) continue;
        cuts.push_back(
            {{h.lo, h.lo_on_outline ? k : AtomShape{}}, {h.hi, h.hi_on_outline ? k : AtomShape{}}});
    }
    std::sort(cuts.begin(), cuts.end(),
              [](const BondStretch& a, const BondStretch& b) { return a.start.t < b.start.t; });
    StretchEnd from{0, {}};
    for (const BondStretch& c : cuts) {
        if (c.start.t > from.t) {
            StretchEnd to = c.start;
            if (to.t > 1) to = {1, {}};
            pieces.push_back({from, to});
        }
        if (c.end.t > from.t) from = c.end;
        if (from.t >= 1) break;
    }
    if (from.t < 1) pieces.push_back({from, {1, {}}});
    std::erase_if(pieces, [](const BondStretch& s) { return !(s.end.t > s.start.t); });
}

// bond_piece_polygon into the caller's vector.
void piece_polygon_into(const PageGeometry& page, const Vec3& p1, const Vec3& p2,
                        const BondStretch& s, double half_width, double perspective_degrees,
                        std::vector<Point>& pts) {
    pts.clear();
    const Vec3 d = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const double len_xy = std::hypot(d[0], d[1]);
    if (len_xy <= 0) return;
    const double nx = -d[1] / len_xy, ny = d[0] / len_xy;  // across the bond
    const double taper = std::tan(perspective_degrees * kDegToRad);
    // Offsets across the band, from one edge to the other, closer near the edges.
    static const auto across = [] {
        std::array<double, kBondEndPoints> a{};
        for (int i = 0; i < kBondEndPoints; ++i)
            a[static_cast<std::size_t>(i)] = std::cos(std::numbers::pi * i / (kBondEndPoints - 1));
        return a;
    }();
    auto width = [&](double t) {
        return half_width *
               std::clamp(1 + taper * (p1[2] + t * d[2]), kMinBondTaper, kMaxBondTaper);
    };
    const double w0 = width(s.start.t), w1 = width(s.end.t);
    // Where each line parallel to the axis crosses the end's outline: its
    // exit for a start, its entry for an end (the axis parameter where it
    // misses the outline).
    auto along = [&](const StretchEnd& e, double w, bool start,
                     std::array<double, kBondEndPoints>& t) {
        t.fill(e.t);
        if (!e.outline.ellipsoid) return;
        const AtomEllipsoid& o = *e.outline.ellipsoid;
        const double a = o.A * d[0] * d[0] + o.B * d[1] * d[1] + o.C * d[0] * d[1];
        if (a == 0) return;
        const double bx = p1[0] - e.outline.centre[0], by = p1[1] - e.outline.centre[1];
        for (std::size_t i = 0; i < t.size(); ++i) {
            const double x0 = bx + w * across[i] * nx, y0 = by + w * across[i] * ny;
            const double b =
                2 * o.A * x0 * d[0] + 2 * o.B * y0 * d[1] + o.C * (x0 * d[1] + y0 * d[0]);
            const double c = o.A * x0 * x0 + o.B * y0 * y0 + o.C * x0 * y0 - o.D;
            const double disc = b * b - 4 * a * c;
            if (!(disc > 0)) continue;
            const double root = std::sqrt(disc);
            const double r1 = (-b - root) / (2 * a), r2 = (-b + root) / (2 * a);
            t[i] = start ? std::max(r1, r2) : std::min(r1, r2);
        }
    };
    std::array<double, kBondEndPoints> t0{}, t1{};
    along(s.start, w0, true, t0);
    along(s.end, w1, false, t1);
    for (std::size_t i = 0; i < across.size(); ++i)
        if (t0[i] > t1[i]) t0[i] = t1[i] = (t0[i] + t1[i]) / 2;  // a piece shorter than wide
    auto point = [&](double t, double offset) {
        return page.map(p1[0] + t * d[0] + offset * nx, p1[1] + t * d[1] + offset * ny);
    };
    pts.reserve(2 * kBondEndPoints);
    for (std::size_t i = 0; i < across.size(); ++i)
        pts.push_back(point(t0[i], w0 * across[i]));
    for (std::size_t i = across.size(); i-- > 0;)
        pts.push_back(point(t1[i], w1 * across[i]));
}

}  // namespace

std::vector<BondStretch> bond_stretches(const AtomShape& p, const AtomShape& q,
                                        std::span<const AtomShape> others) {
    std::vector<BondStretch> cuts, pieces;
    stretches_into(p, q, others, cuts, pieces);
    return pieces;
}

std::vector<Point> bond_piece_polygon(const PageGeometry& page, const Vec3& p1, const Vec3& p2,
                                      const BondStretch& s, double half_width,
                                      double perspective_degrees) {
    std::vector<Point> pts;
    piece_polygon_into(page, p1, p2, s, half_width, perspective_degrees, pts);
    return pts;
}

void clear_picture(Canvas& canvas, const PageGeometry& page, Colour background) {
    canvas.set_pen({background, 1, PenStyle::Solid});
    canvas.set_brush({background, false});
    canvas.rectangle({0, 0}, {static_cast<double>(page.width), static_cast<double>(page.height)});
    canvas.set_pen({kBlack, page.pen_width, PenStyle::Solid});
}

void draw_atoms_and_bonds(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                          const PageGeometry& page) {
    const ViewState& v = state.view;
    const int n = drawable_atoms(doc, state);
    if (n <= 0) return;
    const auto& pts = v.points;
    const auto& ell = state.ellipsoids.atoms;
    const BondsByAtom bonds = bonds_by_atom(doc, n);
    const std::vector<int>& first = bonds.first;
    const std::vector<int>& list = bonds.list;

    OutlineGrid grid(doc, state, n);
    // Longest semi-axis of each atom: an atom whose front lies behind the
    // whole bond cannot hide any of it.
    std::vector<double> reach(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < reach.size(); ++i)
        reach[i] = 1 / std::sqrt(ell[i].eigenvalues[2]);
    const AtomStyle style{state.options.colour_gradation,
                          state.options.draw_planes || state.options.draw_planes_and_axes,
                          state.options.draw_planes_and_axes};
    const std::vector<int> order = depth_order(pts, n);
    std::vector<AtomShape> others;
    std::vector<BondStretch> cuts, pieces;
    std::vector<Point> polygon;
    for (int rank = n - 1; rank >= 0; --rank) {
        const int a = order[static_cast<std::size_t>(rank)];
        if (!visible(doc, a)) continue;
        const std::size_t sa = static_cast<std::size_t>(a);
        draw_atom(canvas, page, pts[sa], ell[sa], atom_fill_colour(doc, a), style, v.rotation);
        for (int k = first[sa]; k < first[sa + 1]; ++k) {
            const CalcBond& bond =
                doc.bonds[static_cast<std::size_t>(list[static_cast<std::size_t>(k)])];
            const int other = bond.atom1 - 1 == a ? bond.atom2 - 1 : bond.atom1 - 1;
            const std::size_t so = static_cast<std::size_t>(other);
            if (pts[so][2] < pts[sa][2]) continue;
            others.clear();
            const double back = pts[sa][2];
            grid.near_segment(pts[sa], pts[so], [&](int atom) {
                const std::size_t sk = static_cast<std::size_t>(atom);
                if (atom == a || atom == other || pts[sk][2] + reach[sk] < back) return;
                others.push_back({pts[sk], &ell[sk]});
            });
            stretches_into({pts[sa], &ell[sa]}, {pts[so], &ell[so]}, others, cuts, pieces);
            if (pieces.empty()) continue;
            canvas.set_brush({bond_fill_colour(doc, state, bond, a), false});
            canvas.set_pen({kBlack, page.pen_width, PenStyle::Solid});
            for (const BondStretch& s : pieces) {
                piece_polygon_into(page, pts[sa], pts[so], s, bond.width / 100.0,
                                   v.bond_perspective, polygon);
                canvas.polygon(polygon);
            }
        }
    }
}

std::string atom_label_text(const StructureDocument& doc, int atom) {
    const std::size_t i = static_cast<std::size_t>(atom);
    if (i < doc.gen_labels.size()) return doc.gen_labels[i];
    return i < doc.display.size() ? doc.display[i].name : std::string();
}

std::string label_with_position_code(const StructureDocument& doc, int atom, Messages& messages) {
    const std::string label = atom_label_text(doc, atom);
    const std::optional<SiteCode> code =
        site_code(doc, doc.display[static_cast<std::size_t>(atom)], messages);
    if (!code) return label;
    std::string op;
    if (code->n >= 1 && code->n <= static_cast<int>(doc.positions.size()))
        op = doc.positions[static_cast<std::size_t>(code->n - 1)].text;
    return label + " (" + op + ")(" + format_site_code(*code) + ")";
}

void draw_atom_labels(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                      const PageGeometry& page, Messages& messages) {
    if (!state.options.labels_in_centre && !state.options.labels_off_centre) return;
    const ViewState& v = state.view;
    const int n = table_atoms(doc, v);
    TextStyle moved;
    moved.font = canvas_font(state.atom_label_font, page.font_scale);
    moved.opaque = true;
    moved.background = doc.background_colour;
    TextStyle centred;
    centred.font = Font{"Times New Roman", 7 * page.font_scale, kBlack};
    centred.opaque = true;
    for (int i = 0; i < n; ++i) {
        const Atom& a = doc.display[static_cast<std::size_t>(i)];
        if (a.labelled != 1 || a.drawn != 1) continue;
        const Vec3& p = v.points[static_cast<std::size_t>(i)];
        if (a.label_dx != 0 || a.label_dy != 0) {
            const std::string text = state.options.add_position_code
                                         ? label_with_position_code(doc, i, messages)
                                         : atom_label_text(doc, i);
            const TextSize size = canvas.text_size(text, moved.font);
            const Point anchor = page.map(p[0] - a.label_dx, p[1] - a.label_dy);
            const Point at = {anchor.x, anchor.y - std::floor(size.height / 2)};
            // A label placed over its own atom leaves the atom (and its
            // principal axes) visible through it.
            TextStyle style = moved;
            if (i < static_cast<int>(state.ellipsoids.atoms.size())) {
                double hx, hy;
                outline_extent(state.ellipsoids.atoms[static_cast<std::size_t>(i)], hx, hy);
                const Point c = page.map(p[0], p[1]);
                const double rx = hx * page.scale, ry = hy * page.scale;
                if (at.x < c.x + rx && at.x + size.width > c.x - rx && at.y < c.y + ry &&
                    at.y + size.height > c.y - ry)
                    style.opaque = false;
            }
            canvas.text(at, text, style);
        } else {
            const std::string text =
                remove_spaces(atom_label_text(doc, i)) + "(" + std::to_string(i + 1) + ")";
            centred.background = atom_fill_colour(doc, i);
            centred.font.colour = legible_text_colour(centred.background);
            const TextSize size = canvas.text_size(text, centred.font);
            const Point at = page.map(p[0], p[1]);
            canvas.text({at.x - std::floor(size.width / 2), at.y - std::floor(size.height / 2)},
                        text, centred);
        }
    }
}

void draw_bond_labels(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                      const PageGeometry& page) {
    if (!state.options.bond_labels) return;
    const ViewState& v = state.view;
    const int n = table_atoms(doc, v);
    TextStyle style;
    style.font = canvas_font(state.bond_label_font, page.font_scale);
    for (const CalcBond& b : doc.bonds) {
        if (b.label.empty() || (b.label_dx == 0 && b.label_dy == 0)) continue;
        const int a1 = b.atom1 - 1, a2 = b.atom2 - 1;
        if (a1 < 0 || a2 < 0 || a1 >= n || a2 >= n) continue;
        // A masked bond keeps its label hidden with it.
        if (b.width == 0 || !visible(doc, a1) || !visible(doc, a2)) continue;
        const Vec3& p = v.points[static_cast<std::size_t>(a1)];
        const Point anchor = page.map(p[0] - b.label_dx, p[1] - b.label_dy);
        const double h = canvas.text_size(b.label, style.font).height / 2;
        const double angle = b.label_angle * kDegToRad;
        style.angle = b.label_angle;
        // Half the text height towards the text's own top.
        canvas.text({anchor.x - std::nearbyint(h * std::sin(angle)),
                     anchor.y - std::nearbyint(h * std::cos(angle))},
                    b.label, style);
    }
}

void draw_cell(const DrawingState& state, Canvas& canvas, const PageGeometry& page) {
    const ViewState& v = state.view;
    const std::size_t n = static_cast<std::size_t>(v.atom_count);
    if (v.points.size() != n + 8) return;
    Point c[8];
    for (std::size_t i = 0; i < 8; ++i)
        c[i] = page.map(v.points[n + i][0], v.points[n + i][1]);
    canvas.set_pen({kCellColour, 1, PenStyle::Dotted});
    canvas.set_brush({kWhite, false});
    static constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : kEdges)
        canvas.line(c[e[0]], c[e[1]]);
    canvas.set_pen({kBlack, 1, PenStyle::Solid});
    canvas.set_brush({kCellLetterBackground, false});
    TextStyle style;
    style.font = Font{"Times New Roman", 14 * page.font_scale, kBlack, true};
    style.opaque = true;
    style.background = kCellLetterBackground;
    static constexpr const char* kLetters[4] = {"o", "a", "b", "c"};
    static constexpr int kCorners[4] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i)
        canvas.text(c[kCorners[i]], kLetters[i], style);
}

void draw_ring_middle(const DrawingState& state, Canvas& canvas, const PageGeometry& page) {
    const ViewState& v = state.view;
    if (!v.ring_shown) return;
    const Vec3& p = v.ring_point;
    if (v.ring_radius > 0) {
        const UnitCircle& uc = unit_circle(page.outline_steps);
        std::vector<Point> pts(uc.cos.size());
        for (std::size_t k = 0; k < pts.size(); ++k)
            pts[k] = page.map(p[0] + v.ring_radius * uc.cos[k], p[1] + v.ring_radius * uc.sin[k]);
        canvas.set_pen({kRingColour, 1, PenStyle::Dashed});
        canvas.polyline(pts);
    }
    canvas.set_pen({kBlack, 1, PenStyle::Solid});
    canvas.set_brush({kRingCrossBrush, false});
    const Point c = page.map(p[0], p[1]);
    canvas.line({c.x - 5, c.y}, {c.x + 5, c.y});
    canvas.line({c.x, c.y - 5}, {c.x, c.y + 5});
}

void draw_scale_bar(Canvas& canvas, const PageGeometry& page, Colour bar, Colour background) {
    const double s = page.snap(page.scale);
    const double y = page.height - 20;
    canvas.set_pen({bar, 2, PenStyle::Solid});
    canvas.set_brush({background, false});
    canvas.line({10, y}, {10 + s, y});
    TextStyle style;
    style.font = Font{"Times New Roman", 8 * page.font_scale, bar};
    style.opaque = true;
    style.background = background;
    canvas.text({std::floor((10 + s) / 2), static_cast<double>(page.height - 35)}, "1\u00c5",
                style);
    canvas.set_pen({bar, 1, PenStyle::Solid});
}

void draw_atom_marks(const StructureDocument& doc, const ViewState& view, Canvas& canvas,
                     const PageGeometry& page, std::span<const int> atoms) {
    const int n = static_cast<int>(std::min(doc.display.size(), view.points.size()));
    canvas.set_pen({kAtomMarkColour, 2, PenStyle::Solid});
    canvas.set_brush({kWhite, true});
    for (int a : atoms) {
        if (a < 0 || a >= n || doc.display[static_cast<std::size_t>(a)].drawn == 0) continue;
        const Point c = atom_pixel(view, page, a);
        canvas.ellipse({c.x - kPickTolerance, c.y - kPickTolerance},
                       {c.x + kPickTolerance, c.y + kPickTolerance});
    }
}

bool redraw(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
            const PageGeometry& page, Messages& messages) {
    if (static_cast<int>(doc.display.size()) > kMaxGenAtoms) {
        messages.warn(kTooManyAtomsToDraw);
        return false;
    }
    clear_picture(canvas, page, doc.background_colour);
    {
        // Shading paints many rings per atom: show the busy cursor meanwhile.
        std::optional<BusyScope> busy;
        if (state.options.colour_gradation) busy.emplace(messages);
        draw_atoms_and_bonds(doc, state, canvas, page);
    }
    draw_overlays(doc, state, canvas, page, messages);
    return true;
}

void draw_overlays(const StructureDocument& doc, const DrawingState& state, Canvas& canvas,
                   const PageGeometry& page, Messages& messages) {
    draw_atom_labels(doc, state, canvas, page, messages);
    draw_bond_labels(doc, state, canvas, page);
    if (state.options.draw_cell) draw_cell(state, canvas, page);
    draw_ring_middle(state, canvas, page);
    draw_scale_bar(canvas, page, state.scale_bar_colour, doc.background_colour);
}

RedrawRequestResult redraw_request(StructureDocument& doc, DrawingState& state,
                                   const RedrawRequest& request, const DrawingEnvironment& env,
                                   Messages& messages) {
    const DrawingOptions before = state.options;
    state.options = request.options;
    state.view.mouse_mode = request.mouse_mode;
    const std::optional<double> width = parse_double(request.bond_width_text);
    if (!width) {
        messages.warn(kBondWidthReadError);
        return RedrawRequestResult::BondWidthUnreadable;
    }
    doc.bond_width = static_cast<int>(std::nearbyint(*width * 100));
    const std::optional<double> perspective = parse_double(request.bond_perspective_text);
    if (!perspective) {
        messages.warn(kBondPerspectiveReadError);
        return RedrawRequestResult::PerspectiveUnreadable;
    }
    state.view.bond_perspective = *perspective;
    state.view.probability_index = request.probability_index;
    const bool probability_changed =
        state.view.probability_index != state.previous_probability_index;
    const bool mode_changed = before.iso_display != state.options.iso_display;
    if (probability_changed || mode_changed) {
        recompute_ellipsoids(doc, state, env, messages);
        set_up_scene(doc, state, env.height);
        state.previous_probability_index = state.view.probability_index;
    } else if (before.draw_cell != state.options.draw_cell) {
        set_up_scene(doc, state, env.height);
    }
    colour_atoms(doc.display, doc.element_sorts);
    return RedrawRequestResult::Redraw;
}

}  // namespace veldor
