#include "drawing/ellipsoid.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>

#include "core/adp.h"
#include "core/text.h"

namespace veldor {

static_assert(kEllipsoidTwoPiSquared == kIsoAverageTwoPiSquared);

namespace {

constexpr double kQuarterPi = 0.7853981633974483;
// Principal-ellipse points this close to the rim are left out.
constexpr double kRimTolerance = 0.00001;

Mat3 symmetric(double m11, double m22, double m33, double m12, double m13, double m23) {
    return Mat3{{{m11, m12, m13}, {m12, m22, m23}, {m13, m23, m33}}};
}

Mat3 scaled(const Mat3& m, double f) {
    Mat3 r = m;
    for (auto& row : r)
        for (double& v : row)
            v *= f;
    return r;
}

void make_faulty(AtomEllipsoid& e) {
    const double w = 1.0 / (kFaultyAtomRadius * kFaultyAtomRadius);
    e.W = scaled(identity3(), w);
    e.eigenvalues = {w, w, w};
    e.eigenvectors = identity3();
    e.faulty = true;
}

void write_diagnostic(const StructureDocument& doc, int atom_number, bool not_psd,
                      const std::string& work_dir) {
    const std::filesystem::path path = std::filesystem::path(work_dir) / kDiagnosticFileName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return;
    out << atom_number << " ier=" << (not_psd ? 1 : 0) << "\n";
    for (const Atom& a : doc.display) {
        out << a.name;
        for (double v : a.adp)
            out << format_fixed(v, 8, 4);
        out << "\n";
    }
}

}  // namespace

double probability_factor(int probability_index) {
    const int i = std::clamp(probability_index, 1, 10);
    return kProbabilityFactors[static_cast<std::size_t>(i - 1)];
}

const UnitCircle& unit_circle(int steps) {
    static std::map<int, UnitCircle> tables;
    auto it = tables.find(steps);
    if (it != tables.end()) return it->second;
    UnitCircle c;
    // The screen table steps by this exact value.
    const double step = steps == 50 ? 0.12566370614359174 : 2 * std::numbers::pi / steps;
    for (int k = 0; k <= steps; ++k) {
        c.cos.push_back(std::cos(k * step));
        c.sin.push_back(std::sin(k * step));
    }
    return tables.emplace(steps, std::move(c)).first->second;
}

Mat3 probability_tensor(const Atom& atom, double c, ThermalMode mode, const Metric& metric) {
    const auto& b = atom.adp;
    if (mode == ThermalMode::Aniso || atom.iso == 1) {
        const double k = c * c / kEllipsoidTwoPiSquared;
        return symmetric(k * b[0], k * b[1], k * b[2], k * b[3], k * b[4], k * b[5]);
    }
    // The atom's Ueq, by the one formula of the writers and listings.
    return scaled(metric.G_star, c * c * u_equivalent_of_betas(b, metric));
}

Eigen jacobi(const Mat3& symmetric_matrix) {
    Mat3 a = symmetric_matrix;
    Eigen r;
    static constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (int sweep = 1; sweep <= kJacobiMaxSweeps; ++sweep) {
        r.sweeps = sweep;
        const double s = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
        bool diagonal = true;
        for (const auto& pair : kPairs) {
            const int p = pair[0], q = pair[1];
            if (!(std::fabs(a[p][q] / s) > kJacobiTolerance)) continue;
            diagonal = false;
            const double app = a[p][p], aqq = a[q][q], apq = a[p][q];
            double theta;
            if (std::fabs(app - aqq) <= kJacobiTolerance)
                theta = apq > 0 ? kQuarterPi : -kQuarterPi;
            else
                theta = std::atan(2 * apq / (app - aqq)) / 2;
            const double c = std::cos(theta), sn = std::sin(theta);
            a[p][p] = app * c * c + 2 * apq * c * sn + aqq * sn * sn;
            a[q][q] = app * sn * sn - 2 * apq * c * sn + aqq * c * c;
            a[p][q] = a[q][p] = 0;
            const int k = 3 - p - q;
            const double akp = a[k][p], akq = a[k][q];
            a[k][p] = a[p][k] = c * akp + sn * akq;
            a[k][q] = a[q][k] = -sn * akp + c * akq;
            for (int row = 0; row < 3; ++row) {
                const double ep = r.vectors[row][p], eq = r.vectors[row][q];
                r.vectors[row][p] = c * ep + sn * eq;
                r.vectors[row][q] = -sn * ep + c * eq;
            }
        }
        if (diagonal) {
            r.converged = true;
            break;
        }
    }
    r.values = {a[0][0], a[1][1], a[2][2]};
    for (const auto& pair : kPairs) {
        const int i = pair[0], j = pair[1];
        if (r.values[i] < r.values[j]) {
            std::swap(r.values[i], r.values[j]);
            for (auto& row : r.vectors)
                std::swap(row[i], row[j]);
        }
    }
    return r;
}

void compute_ellipsoids(const StructureDocument& doc, int probability_index, ThermalMode mode,
                        const std::string& work_dir, Messages& messages, EllipsoidSet& set) {
    const double c = probability_factor(probability_index);
    const Metric& m = doc.metric;
    const Mat3 b_inv_t = transpose(m.B_inverse);
    set.atoms.assign(doc.display.size(), AtomEllipsoid{});
    set.smallest_eigenvalue = kSmallestEigenvalueStart;
    set.largest_eigenvalue = kLargestEigenvalueStart;
    bool reported = false;
    // The first unusable tensor of a computation is written out and shown;
    // every such atom becomes a small sphere and the others go on.
    auto fault = [&](std::size_t i, AtomEllipsoid& e, const Mat3& v) {
        if (!reported) {
            const bool not_psd =
                not_positive_definite(v[0][0], v[1][1], v[2][2], v[0][1], v[0][2], v[1][2]);
            write_diagnostic(doc, static_cast<int>(i) + 1, not_psd, work_dir);
            messages.warn(kMatrixInversionMessage);
            reported = true;
        }
        make_faulty(e);
    };
    for (std::size_t i = 0; i < doc.display.size(); ++i) {
        AtomEllipsoid& e = set.atoms[i];
        const Mat3 t = probability_tensor(doc.display[i], c, mode, m);
        const Mat3 v = multiply(multiply(b_inv_t, t), m.B_inverse);
        const InverseResult inv = inverse(v);
        if (inv.singular) {
            fault(i, e, v);
            continue;
        }
        e.W = inv.inverse;
        for (auto& row : e.W)
            for (double& w : row)
                if (std::fabs(w) < kSmallEllipsoidEntry) w = 0;
        const Eigen eig = jacobi(e.W);
        if (!(eig.values[2] > 0) || !std::isfinite(eig.values[0])) {
            fault(i, e, v);
            continue;
        }
        e.eigenvalues = eig.values;
        e.eigenvectors = eig.vectors;
        set.smallest_eigenvalue = std::min(set.smallest_eigenvalue, eig.values[2]);
        set.largest_eigenvalue = std::max(set.largest_eigenvalue, eig.values[0]);
    }
}

void compute_outline(AtomEllipsoid& e, const Mat3& rotation, const Mat3& rotation_inverse) {
    e.W_view = multiply(multiply(rotation, e.W), rotation_inverse);
    const Mat3& w = e.W_view;
    e.A = w[0][2] * w[0][2] - w[0][0] * w[2][2];
    e.B = w[1][2] * w[1][2] - w[1][1] * w[2][2];
    e.C = 2 * (w[0][2] * w[1][2] - w[0][1] * w[2][2]);
    e.D = -w[2][2];
}

void compute_outlines(EllipsoidSet& set, const Mat3& rotation, const Mat3& rotation_inverse) {
    for (AtomEllipsoid& e : set.atoms)
        compute_outline(e, rotation, rotation_inverse);
}

double outline_radius(const AtomEllipsoid& e, double cos_t, double sin_t) {
    const double den = e.A * cos_t * cos_t + e.B * sin_t * sin_t + e.C * sin_t * cos_t;
    const double r2 = e.D / den;
    return r2 > 0 ? std::sqrt(r2) : 0.0;
}

namespace {
// outline_polygon into the caller's vector.
void outline_polygon_into(const PageGeometry& page, const Vec3& centre, const AtomEllipsoid& e,
                          std::vector<Point>& pts) {
    const UnitCircle& uc = unit_circle(page.outline_steps);
    pts.resize(uc.cos.size());
    for (std::size_t k = 0; k < pts.size(); ++k) {
        const double r = outline_radius(e, uc.cos[k], uc.sin[k]);
        pts[k] = page.map(centre[0] + r * uc.cos[k], centre[1] + r * uc.sin[k]);
    }
}
}  // namespace

std::vector<Point> outline_polygon(const PageGeometry& page, const Vec3& centre,
                                   const AtomEllipsoid& e) {
    std::vector<Point> pts;
    outline_polygon_into(page, centre, e, pts);
    return pts;
}

namespace {

void draw_shading(Canvas& canvas, const PageGeometry& page, const Vec3& centre,
                  const AtomEllipsoid& e, Colour colour) {
    const UnitCircle& uc = unit_circle(page.outline_steps);
    const std::size_t count = uc.cos.size();
    std::vector<double> radius(count);
    double r_max = 0;
    for (std::size_t k = 0; k < count; ++k) {
        radius[k] = outline_radius(e, uc.cos[k], uc.sin[k]);
        r_max = std::max(r_max, radius[k]);
    }
    const int n = static_cast<int>(std::nearbyint(r_max * page.scale));
    std::vector<Point> pts(count);
    if (n > 0) {
        const int channels[3] = {red(colour), green(colour), blue(colour)};
        const double quarter = n / 4.0;
        for (int ring = 1; ring <= n; ++ring) {
            const double f = 1 + (n - ring) * static_cast<double>(n - ring) / (quarter * quarter);
            int shade[3];
            for (int ch = 0; ch < 3; ++ch)
                shade[ch] =
                    static_cast<int>(std::nearbyint((255 - channels[ch]) / f + channels[ch]));
            const Colour c = rgb(shade[0], shade[1], shade[2]);
            canvas.set_pen({c, 1, PenStyle::Solid});
            canvas.set_brush({c, false});
            const double shrink = 1 - static_cast<double>(ring - 1) / n;
            for (std::size_t k = 0; k < count; ++k) {
                const double r = radius[k] * shrink;
                pts[k] = page.map(centre[0] + r * uc.cos[k], centre[1] + r * uc.sin[k]);
            }
            canvas.polygon(pts);
        }
    }
    canvas.set_pen({kBlack, page.pen_width, PenStyle::Solid});
    canvas.set_brush({kWhite, false});
    for (std::size_t k = 0; k < count; ++k)
        pts[k] = page.map(centre[0] + radius[k] * uc.cos[k], centre[1] + radius[k] * uc.sin[k]);
    canvas.polyline(pts);
}

void draw_principal_ellipses(Canvas& canvas, const PageGeometry& page, const Vec3& centre,
                             const AtomEllipsoid& e, const Mat3& rotation) {
    const Mat3 ev = multiply(rotation, e.eigenvectors);
    const InverseResult h = inverse(ev);
    if (h.singular) return;
    const Vec3 n = {h.inverse[0][2], h.inverse[1][2], h.inverse[2][2]};
    const Vec3& l = e.eigenvalues;
    const Vec3 g = {2 * n[0] * l[0], 2 * n[1] * l[1], 2 * n[2] * l[2]};
    const UnitCircle& uc = unit_circle(page.outline_steps);
    static constexpr int kPlanes[3][2] = {{0, 1}, {1, 2}, {2, 0}};
    std::vector<Point> line;
    for (const auto& plane : kPlanes) {
        const int i = plane[0], j = plane[1];
        line.clear();
        for (std::size_t k = 0; k < uc.cos.size(); ++k) {
            const double ct = uc.cos[k], st = uc.sin[k];
            const double rho = std::sqrt(1 / (ct * ct * l[i] + st * st * l[j]));
            Vec3 p{};
            p[i] = rho * ct;
            p[j] = rho * st;
            const Vec3 v = transform(ev, p);
            const Point at = page.map(centre[0] + v[0], centre[1] + v[1]);
            const double m = dot(g, p);
            if (std::fabs(m) < kRimTolerance) continue;
            if (m > 0) {
                line.push_back(at);
            } else if (!line.empty()) {
                // The first hidden point closes the visible run.
                line.back() = at;
                if (line.size() > 1) canvas.polyline(line);
                line.clear();
            }
        }
        if (line.size() > 1) canvas.polyline(line);
    }
}

void draw_semi_axes(Canvas& canvas, const PageGeometry& page, const Vec3& centre,
                    const AtomEllipsoid& e, const Mat3& rotation) {
    const Point from = page.map(centre[0], centre[1]);
    for (int k = 0; k < 3; ++k) {
        const double len = 1 / std::sqrt(e.eigenvalues[k]);
        Vec3 v = transform(rotation, {e.eigenvectors[0][k] * len, e.eigenvectors[1][k] * len,
                                      e.eigenvectors[2][k] * len});
        if (v[2] < 0) v = {-v[0], -v[1], -v[2]};
        canvas.line(from, page.map(centre[0] + v[0], centre[1] + v[1]));
    }
}

}  // namespace

void draw_atom(Canvas& canvas, const PageGeometry& page, const Vec3& centre, const AtomEllipsoid& e,
               Colour colour, const AtomStyle& style, const Mat3& rotation) {
    canvas.set_brush({colour, false});
    canvas.set_pen({kBlack, page.pen_width, PenStyle::Solid});
    // The memory of the outline is kept: a picture draws thousands of atoms.
    thread_local std::vector<Point> outline;
    outline_polygon_into(page, centre, e, outline);
    canvas.polygon(outline);
    if (style.gradation) draw_shading(canvas, page, centre, e, colour);
    draw_principal_ellipses_and_axes(canvas, page, centre, e, style, rotation);
}

void draw_principal_ellipses_and_axes(Canvas& canvas, const PageGeometry& page, const Vec3& centre,
                                      const AtomEllipsoid& e, const AtomStyle& style,
                                      const Mat3& rotation) {
    if (e.faulty) return;
    if (style.planes || style.axes) draw_principal_ellipses(canvas, page, centre, e, rotation);
    if (style.axes) draw_semi_axes(canvas, page, centre, e, rotation);
}

}  // namespace veldor
