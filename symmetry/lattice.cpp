#include "symmetry/lattice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/mat3.h"
#include "symmetry/operators.h"

namespace veldor {

namespace {

constexpr double kWholeNumber = 1e-9;
constexpr double kMetricTolerance = 1e-5;

// The distance of t from the nearest whole number.
double off_lattice(double t) {
    return std::fabs(t - std::round(t));
}

bool same_translation(const Vec3& a, const Vec3& b) {
    for (int k = 0; k < 3; ++k)
        if (off_lattice(a[k] - b[k]) > kTranslationMatchTolerance) return false;
    return true;
}

bool same_operator(const SymOp& a, const SymOp& b) {
    return a.rotation() == b.rotation() && same_translation(a.translation(), b.translation());
}

bool contains(const std::vector<Vec3>& set, const Vec3& v) {
    return std::any_of(set.begin(), set.end(),
                       [&](const Vec3& w) { return same_translation(v, w); });
}

// The same set of vectors modulo 1, each listed once.
bool same_translation_set(const std::vector<Vec3>& a, const std::vector<Vec3>& b) {
    if (a.size() != b.size()) return false;
    return std::all_of(a.begin(), a.end(), [&](const Vec3& v) { return contains(b, v); });
}

}  // namespace

double unit_translation(double t) {
    if (!std::isfinite(t)) return t;
    double r = t - std::floor(t);
    if (r < kWholeNumber || r > 1 - kWholeNumber) r = 0;
    return r;
}

void reduce_translations(SymOp& op) {
    for (auto& row : op.m)
        row[3] = unit_translation(row[3]);
}

LatticeDescription describe_lattice(const std::vector<EquivalentPosition>& positions) {
    // The pure translations: operators whose rotation is the identity.
    std::vector<Vec3> translations;
    const Mat3 identity = identity3();
    for (const EquivalentPosition& p : positions) {
        if (p.op.rotation() != identity) continue;
        const Vec3 t = p.op.translation();
        if (same_translation(t, {0, 0, 0}) || contains(translations, t)) continue;
        translations.push_back(t);
    }
    LatticeDescription d;
    for (const char* letter : {"A", "B", "C", "I", "F", "R"}) {
        const std::vector<Vec3> vectors = centring_vectors(letter, "HEXA");
        if (!translations.empty() && same_translation_set(translations, vectors)) {
            d.letter = letter;
            d.centring = vectors;
            break;
        }
    }
    Mat3 minus_identity = identity;
    for (int i = 0; i < 3; ++i)
        minus_identity[i][i] = -1;
    for (const EquivalentPosition& p : positions) {
        if (p.op.rotation() != minus_identity) continue;
        const Vec3 t = p.op.translation();
        if (same_translation(t, {0, 0, 0}) || contains(d.centring, t)) {
            d.centrosymmetric = 1;
            break;
        }
    }
    return d;
}

bool same_operator_set(const std::vector<SymOp>& a, const std::vector<SymOp>& b) {
    auto covered = [](const std::vector<SymOp>& x, const std::vector<SymOp>& y) {
        return std::all_of(x.begin(), x.end(), [&](const SymOp& op) {
            return std::any_of(y.begin(), y.end(),
                               [&](const SymOp& q) { return same_operator(op, q); });
        });
    };
    return covered(a, b) && covered(b, a);
}

std::vector<SymOp> operators_of(const std::vector<EquivalentPosition>& positions) {
    std::vector<SymOp> ops;
    ops.reserve(positions.size());
    for (const EquivalentPosition& p : positions)
        ops.push_back(p.op);
    return ops;
}

bool cell_fits_operators(const std::array<double, 6>& cell,
                         const std::vector<EquivalentPosition>& positions) {
    const double rad = std::numbers::pi / 180;
    const double a = cell[0], b = cell[1], c = cell[2];
    const double ca = std::cos(cell[3] * rad), cb = std::cos(cell[4] * rad),
                 cg = std::cos(cell[5] * rad);
    const Mat3 g{{{a * a, a * b * cg, a * c * cb},
                  {a * b * cg, b * b, b * c * ca},
                  {a * c * cb, b * c * ca, c * c}}};
    const double scale = std::max({g[0][0], g[1][1], g[2][2]});
    if (!(scale > 0) || !std::isfinite(scale)) return false;
    for (const EquivalentPosition& p : positions) {
        const Mat3 r = p.op.rotation();
        const Mat3 kept = multiply(multiply(transpose(r), g), r);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (std::fabs(kept[i][j] - g[i][j]) > kMetricTolerance * scale) return false;
    }
    return true;
}

}  // namespace veldor
