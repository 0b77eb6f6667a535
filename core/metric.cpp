#include "core/metric.h"

#include <cmath>

namespace veldor {

namespace {

Mat3 metric_tensor(double a, double b, double c, double cos_al, double cos_be, double cos_ga) {
    Mat3 g{};
    g[0][0] = a * a;
    g[1][1] = b * b;
    g[2][2] = c * c;
    g[0][1] = a * b * cos_ga;
    g[0][2] = a * c * cos_be;
    g[1][2] = b * c * cos_al;
    g[1][0] = g[0][1];
    g[2][0] = g[0][2];
    g[2][1] = g[1][2];
    return g;
}

}  // namespace

bool compute_metric(const std::array<double, 6>& cell, Metric& out, Messages& messages) {
    Metric m;
    m.cell = cell;
    const double a = cell[0], b = cell[1], c = cell[2];
    for (int i = 0; i < 3; ++i) {
        const double rad = cell[3 + i] * kDegToRad;
        m.cosines[i] = std::cos(rad);
        m.sines[i] = std::sin(rad);
    }
    const double ca = m.cosines[0], cb = m.cosines[1], cg = m.cosines[2];
    const double sa = m.sines[0], sb = m.sines[1], sg = m.sines[2];

    const long double v = 1.0L - static_cast<long double>(ca) * ca -
                          static_cast<long double>(cb) * cb - static_cast<long double>(cg) * cg +
                          2.0L * ca * cb * cg;
    m.volume = static_cast<double>(std::sqrt(std::fabs(v)) * a * b * c);
    if (!(v > 0) || !(m.volume > 0) || !std::isfinite(m.volume)) {
        messages.warn(kSingularCellMessage);
        return false;
    }

    const double as = b * c * sa / m.volume;
    const double bs = c * a * sb / m.volume;
    const double cs = a * b * sg / m.volume;
    m.reciprocal_cosines = {(cb * cg - ca) / (sb * sg), (cg * ca - cb) / (sg * sa),
                            (ca * cb - cg) / (sa * sb)};
    const double al_s = std::acos(m.reciprocal_cosines[0]);
    const double be_s = std::acos(m.reciprocal_cosines[1]);
    const double ga_s = std::acos(m.reciprocal_cosines[2]);
    m.reciprocal = {as, bs, cs, al_s * kRadToDeg, be_s * kRadToDeg, ga_s * kRadToDeg};

    m.G = metric_tensor(a, b, c, ca, cb, cg);
    m.G_star = metric_tensor(as, bs, cs, m.reciprocal_cosines[0], m.reciprocal_cosines[1],
                             m.reciprocal_cosines[2]);

    m.B = Mat3{{{as, bs * m.reciprocal_cosines[2], cs * m.reciprocal_cosines[1]},
                {0, bs * std::sin(ga_s), -cs * std::sin(be_s) * ca},
                {0, 0, 1.0 / c}}};
    const InverseResult inv = inverse(m.B);
    if (inv.singular) {
        messages.warn(kSingularCellMessage);
        return false;
    }
    m.B_inverse = inv.inverse;
    m.frac_to_cart = multiply(m.B, m.G);
    m.cart_to_frac = multiply(m.G_star, m.B_inverse);
    out = m;
    return true;
}

bool compute_metric(StructureDocument& doc, Messages& messages) {
    return compute_metric(doc.cell_parameters, doc.metric, messages);
}

std::string crystal_system_from_cell(const std::array<double, 6>& cell,
                                     const std::string& current) {
    const double a = cell[0], b = cell[1], c = cell[2];
    const double al = cell[3], be = cell[4], ga = cell[5];
    const double dab = std::fabs(a - b), dbc = std::fabs(b - c), dca = std::fabs(c - a);
    const double tol = kEqualLengthTolerance;
    if (al == 90 && be == 90 && ga == 90) {
        if (dab < tol && dbc < tol && dca < tol) return "CUBI";
        if (dab < tol && dbc > tol) return "TETR";
        if (dab > tol && dbc > tol) return "ORTH";
        return current;
    }
    if (al == 90 && be == 90 && ga == 120) return "HEXA";
    if (dab < tol && dbc < tol && dca < tol) return "RHOM";
    if (al == 90 && ga == 90 && be != 90) return "MONO";
    if (al == 90 && be == 90 && ga != 90) return "MONO";
    return "TRIC";
}

void set_crystal_system_from_cell(StructureDocument& doc) {
    doc.crystal_system = crystal_system_from_cell(doc.cell_parameters, doc.crystal_system);
}

Vec3 normalise_direct(const Vec3& f, const Metric& m) {
    const double a = m.cell[0], b = m.cell[1], c = m.cell[2];
    const double n =
        std::sqrt(f[0] * f[0] * a * a + f[1] * f[1] * b * b + f[2] * f[2] * c * c +
                  2 * (f[0] * f[1] * a * b * m.cosines[2] + f[1] * f[2] * b * c * m.cosines[0] +
                       f[0] * f[2] * a * c * m.cosines[1]));
    if (n == 0) return f;
    return {f[0] / n, f[1] / n, f[2] / n};
}

Vec3 normalise_reciprocal(const Vec3& h, const Metric& m) {
    const double a = m.reciprocal[0], b = m.reciprocal[1], c = m.reciprocal[2];
    const Vec3& cs = m.reciprocal_cosines;
    const double n = std::sqrt(h[0] * h[0] * a * a + h[1] * h[1] * b * b + h[2] * h[2] * c * c +
                               2 * (h[0] * h[1] * a * b * cs[2] + h[1] * h[2] * b * c * cs[0] +
                                    h[0] * h[2] * a * c * cs[1]));
    if (n == 0) return h;
    return {h[0] / n, h[1] / n, h[2] / n};
}

Vec3 frac_to_cart(const Vec3& frac, const Metric& m) {
    return transform(m.frac_to_cart, frac);
}

Vec3 cart_to_frac(const Vec3& cart, const Metric& m) {
    return transform(m.cart_to_frac, cart);
}

double distance(const Vec3& p, const Vec3& q, const Metric& m) {
    return length(frac_to_cart({q[0] - p[0], q[1] - p[1], q[2] - p[2]}, m));
}

}  // namespace veldor
