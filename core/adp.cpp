#include "core/adp.h"

#include <cmath>

#include "core/elements.h"
#include "core/real48.h"
#include "core/text.h"

namespace veldor {

namespace {

constexpr std::size_t kMessageNameLength = 11;

// The symmetric matrix of six values in the order 11, 22, 33, 12, 13, 23.
Mat3 symmetric(const std::array<double, 6>& v) {
    return Mat3{{{v[0], v[3], v[4]}, {v[3], v[1], v[5]}, {v[4], v[5], v[2]}}};
}

std::array<double, 6> scaled(const std::array<double, 6>& values,
                             const std::array<double, 6>& factors) {
    std::array<double, 6> out{};
    for (int k = 0; k < 6; ++k)
        out[k] = values[k] * factors[k];
    return out;
}

bool flat(const std::array<double, 6>& adp) {
    return adp[1] == 0 && adp[2] == 0;
}

// An empty cell reads as 0.
std::optional<double> read_cell(const std::string& text) {
    if (trim(text).empty()) return 0.0;
    return parse_double(text);
}

// Products in extended precision, stored as double.
double product(double p, double x, double y, double z = 1.0) {
    return static_cast<double>(static_cast<long double>(p) * x * y * z);
}

}  // namespace

std::array<double, 6> anisotropic_factors(const Metric& m, double p) {
    const double as = m.reciprocal[0], bs = m.reciprocal[1], cs = m.reciprocal[2];
    return {product(p, as, as), product(p, bs, bs), product(p, cs, cs),
            product(p, as, bs), product(p, as, cs), product(p, bs, cs)};
}

std::array<double, 6> isotropic_factors(const Metric& m, double p) {
    const double as = m.reciprocal[0], bs = m.reciprocal[1], cs = m.reciprocal[2];
    const Vec3& cos_star = m.reciprocal_cosines;  // alpha*, beta*, gamma*
    return {product(p, as, as),
            product(p, bs, bs),
            product(p, cs, cs),
            product(p, as, bs, cos_star[2]),
            product(p, as, cs, cos_star[1]),
            product(p, bs, cs, cos_star[0])};
}

std::optional<TypedAdp> read_typed_adp(const AdpCells& cells, AdpReadError* error) {
    TypedAdp typed;
    typed.shown = cells;
    for (int k = 0; k < 6; ++k) {
        const std::optional<double> v = read_cell(cells.aniso[k]);
        if (!v) {
            if (error) error->cell = k;
            return std::nullopt;
        }
        typed.values[k] = *v;
    }
    if (!flat(typed.values)) return typed;

    std::optional<double> iso = read_cell(cells.iso);
    if (!iso) {
        if (error) error->cell = 6;
        return std::nullopt;
    }
    if (*iso == 0) iso = kDefaultIsoValue;
    typed.values = {*iso, 0, 0, 0, 0, 0};
    typed.iso = 1;
    typed.shown.aniso = {};
    typed.shown.iso = format_fixed(*iso, 8, 6);
    return typed;
}

void convert_typed_to_u(std::array<double, 6>& values, int iso, ThermalExpression expr,
                        const Metric& m) {
    std::array<double, 6> divisors{};
    switch (expr) {
        case ThermalExpression::U:
            return;
        case ThermalExpression::B:
            divisors.fill(kBOverU);
            break;
        case ThermalExpression::Beta:
            divisors = anisotropic_factors(m);
            if (iso) divisors.fill(divisors[0]);
            break;
    }
    for (int k = 0; k < 6; ++k) {
        const double d = round_real48(divisors[k]);
        if (d != 0) values[k] /= d;
    }
}

AdpCells show_adp(Atom& atom, ThermalExpression expr, const Metric& m) {
    std::array<double, 6> factors{};
    factors.fill(1.0);
    if (expr == ThermalExpression::B) factors.fill(kBOverU);
    if (expr == ThermalExpression::Beta) factors = anisotropic_factors(m);

    AdpCells cells;
    if (flat(atom.adp)) {
        atom.iso = 1;
        cells.iso = format_fixed(atom.adp[0] * factors[0], 8, 5);
        return cells;
    }
    for (int k = 0; k < 6; ++k) {
        cells.aniso[k] = std::fabs(atom.adp[k]) < kShownZeroU
                             ? "0"
                             : format_fixed(atom.adp[k] * factors[k], 9, 6);
    }
    return cells;
}

void check_asymmetric_unit(StructureDocument& doc, Messages& messages) {
    const std::array<double, 6> f = anisotropic_factors(doc.metric);
    const Mat3& b_inv = doc.metric.B_inverse;
    for (Atom& atom : doc.asym) {
        if (atom.iso != 0 || atom.name.empty()) continue;
        const Mat3 t = symmetric(scaled(atom.adp, f));
        const Mat3 cartesian = multiply(multiply(transpose(b_inv), t), b_inv);
        if (!inverse(cartesian).singular) continue;

        const double ueq = (atom.adp[0] + atom.adp[1] + atom.adp[2]) / 3;
        atom.adp = {ueq, 0, 0, 0, 0, 0};
        atom.iso = 1;
        messages.beep();
        messages.warn("Atom " + fit(atom.name, kMessageNameLength) +
                      " has a non definite positive matrix Uij. Ueq was reset to " +
                      format_fixed(ueq, 6, 4));
    }
}

GeneratedAdp generated_betas(const Atom& asym_atom, const Mat3& rotation, const Metric& m,
                             Messages& messages) {
    std::array<double, 6> u = asym_atom.adp;
    double uiso = u[0];
    if (element_key(asym_atom.element) == "H") {
        u[1] = 0;
        uiso = kHydrogenUiso;
    }

    GeneratedAdp out;
    std::array<double, 6> beta{};
    if (u[1] != 0) {
        beta = scaled(u, anisotropic_factors(m));
        out.iso = 0;
    } else {
        const std::array<double, 6> g = isotropic_factors(m);
        for (int k = 0; k < 6; ++k)
            beta[k] = uiso * g[k];
        out.iso = 1;
    }
    if (not_positive_definite(beta[0], beta[1], beta[2], beta[3], beta[4], beta[5]))
        messages.warn("Non definite positive matrix on atom " + asym_atom.name);

    const Mat3 turned = multiply(multiply(rotation, symmetric(beta)), transpose(rotation));
    out.beta = {turned[0][0], turned[1][1], turned[2][2], turned[0][1], turned[0][2], turned[1][2]};
    return out;
}

double u_equivalent_of_betas(const std::array<double, 6>& beta, const Metric& m) {
    const std::array<double, 6> g{m.G[0][0], m.G[1][1], m.G[2][2], m.G[0][1], m.G[0][2], m.G[1][2]};
    // Ueq = 1/3 sum over i and j of U(ij) a*(i) a*(j) a(i).a(j), and
    // U(ij) a*(i) a*(j) is beta(ij) / 2 pi^2: each off-diagonal term stands
    // for two entries of the tensor.
    constexpr double weight[6] = {1, 1, 1, 2, 2, 2};
    long double sum = 0;
    for (int k = 0; k < 6; ++k)
        sum += static_cast<long double>(weight[k]) * g[k] * beta[k];
    return static_cast<double>(sum / kIsoAverageDivisor);
}

double u_equivalent(const Atom& atom, const Metric& m) {
    if (atom.iso != 0) return atom.adp[0];
    const std::array<double, 6> q = anisotropic_factors(m, kIsoAverageTwoPiSquared);
    std::array<double, 6> beta{};
    for (std::size_t k = 0; k < 6; ++k)
        beta[k] = atom.adp[k] * q[k];
    return u_equivalent_of_betas(beta, m);
}

void isotropic_average(StructureDocument& doc) {
    for (Atom& atom : doc.asym) {
        if (atom.iso != 0) continue;
        atom.adp = {u_equivalent(atom, doc.metric), 0, 0, 0, 0, 0};
        atom.iso = 1;
    }
    doc.regeneration_needed = true;
}

}  // namespace veldor
