#include <gtest/gtest.h>

#include <cmath>

#include "core/adp.h"
#include "core/real48.h"
#include "core/text.h"

namespace veldor {
namespace {

Metric metric_of(const std::array<double, 6>& cell) {
    RecordingMessages msg;
    Metric m;
    EXPECT_TRUE(compute_metric(cell, m, msg));
    return m;
}

Atom aniso_atom(const std::string& element, const std::array<double, 6>& u) {
    Atom a;
    a.element = element;
    a.label = "1";
    a.name = make_atom_name(element, "1");
    a.adp = u;
    a.iso = 0;
    return a;
}

AdpCells cells(std::array<std::string, 6> six, std::string iso = "") {
    return AdpCells{std::move(six), std::move(iso)};
}

TEST(AdpFactors, OrthogonalAndMonoclinicCells) {
    const Metric cubic = metric_of({10, 10, 10, 90, 90, 90});
    const auto f = anisotropic_factors(cubic);
    const auto g = isotropic_factors(cubic);
    // a* is 0.1 only to the precision of the program's degree constant.
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(f[k], 19.7391754562 * 0.01, 1e-10) << k;
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(g[k], f[k]);
    for (int k = 3; k < 6; ++k)
        EXPECT_NEAR(g[k], 0, 1e-6) << k;  // cos 90* ~ 0

    const Metric mono = metric_of({10, 12, 8, 90, 100, 90});
    const auto gm = isotropic_factors(mono);
    const double as = mono.reciprocal[0], cs = mono.reciprocal[2];
    EXPECT_NEAR(gm[4], kAdpP * as * cs * mono.reciprocal_cosines[1], 1e-15);
    EXPECT_GT(std::fabs(gm[4]), 1e-4);
    EXPECT_NEAR(anisotropic_factors(mono, 2.0)[0], 2.0 * as * as, 1e-15);
}

TEST(ReadTypedAdp, AnisotropicRowEmptyCellsReadZero) {
    const auto t = read_typed_adp(cells({"0.02", "0.03", "0.04", "", " -.005", "0.001"}, "junk"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->iso, 0);
    const std::array<double, 6> expected{0.02, 0.03, 0.04, 0, -0.005, 0.001};
    EXPECT_EQ(t->values, expected);
    EXPECT_EQ(t->shown.aniso[0], "0.02");  // shown back as typed
    EXPECT_EQ(t->shown.iso, "junk");       // not read for an anisotropic row
}

TEST(ReadTypedAdp, Zero22And33MakesIsotropicFromColumn12) {
    const auto t = read_typed_adp(cells({"0.02", "0", "0.03", "0.01", "", ""}, "0.05"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->iso, 0);  // only 22 zero: anisotropic

    const auto i = read_typed_adp(cells({"0.02", "0", "", "0.01", "", ""}, "0.05"));
    ASSERT_TRUE(i);
    EXPECT_EQ(i->iso, 1);
    const std::array<double, 6> expected{0.05, 0, 0, 0, 0, 0};
    EXPECT_EQ(i->values, expected);
    EXPECT_EQ(i->shown.iso, "0.050000");
    for (const std::string& c : i->shown.aniso)
        EXPECT_EQ(c, "");
}

TEST(ReadTypedAdp, IsotropicZeroOrEmptyBecomesPointOne) {
    for (const char* typed : {"", "0", " 0.0 "}) {
        const auto t = read_typed_adp(cells({"", "", "", "", "", ""}, typed));
        ASSERT_TRUE(t) << typed;
        EXPECT_EQ(t->values[0], 0.1);
        EXPECT_EQ(t->shown.iso, "0.100000");
    }
    const auto wide = read_typed_adp(cells({"", "", "", "", "", ""}, "12.5"));
    EXPECT_EQ(wide->shown.iso, "12.500000");  // widened, never cut
}

TEST(ReadTypedAdp, BadCellReportsItsIndex) {
    AdpReadError err;
    EXPECT_FALSE(read_typed_adp(cells({"0.01", "0.02", "x", "", "", ""}), &err));
    EXPECT_EQ(err.cell, 2);
    EXPECT_FALSE(read_typed_adp(cells({"", "", "", "", "", ""}, "1,5"), &err));
    EXPECT_EQ(err.cell, 6);
    EXPECT_FALSE(read_typed_adp(cells({"", "", "", "", "", "--1"})));  // no error holder
}

TEST(ConvertTypedToU, BisoZeroStoresPointOneOverEightPiSquaredWithSixByteDivisor) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    auto t = read_typed_adp(cells({"", "", "", "", "", ""}, "0"));
    ASSERT_TRUE(t);
    convert_typed_to_u(t->values, t->iso, ThermalExpression::B, m);
    const double divisor = round_real48(4 * 19.7391754562);
    EXPECT_EQ(t->values[0], 0.1 / divisor);
    EXPECT_NE(t->values[0], 0.1 / (4 * 19.7391754562));  // the rounding is really there
    // B = 8 pi^2 U, as everywhere in crystallography (and in the powder readers).
    EXPECT_NEAR(t->values[0], 0.1 / (8 * M_PI * M_PI), 1e-8);
}

TEST(ConvertTypedToU, BetaUsesFkAndIsotropicF11) {
    const Metric m = metric_of({5, 7, 9, 90, 90, 90});
    const auto f = anisotropic_factors(m);
    std::array<double, 6> v{0.01, 0.02, 0.03, 0.004, 0.005, 0.006};
    convert_typed_to_u(v, 0, ThermalExpression::Beta, m);
    EXPECT_EQ(v[1], 0.02 / round_real48(f[1]));
    EXPECT_EQ(v[5], 0.006 / round_real48(f[5]));
    std::array<double, 6> iso{0.01, 0, 0, 0, 0, 0};
    convert_typed_to_u(iso, 1, ThermalExpression::Beta, m);
    EXPECT_EQ(iso[0], 0.01 / round_real48(f[0]));
    std::array<double, 6> u{0.01, 0.02, 0.03, 0, 0, 0};
    const auto before = u;
    convert_typed_to_u(u, 0, ThermalExpression::U, m);
    EXPECT_EQ(u, before);
}

TEST(ShowAdp, WidthsDecimalsAndTinyValues) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    Atom a = aniso_atom("C", {0.02, 0.031, 0.0456789, 0.000009, -0.00001, -0.0012});
    const AdpCells u = show_adp(a, ThermalExpression::U, m);
    EXPECT_EQ(u.aniso[0], " 0.020000");
    EXPECT_EQ(u.aniso[2], " 0.045679");
    EXPECT_EQ(u.aniso[3], "0");          // below 1e-5
    EXPECT_EQ(u.aniso[4], "-0.000010");  // 1e-5 itself is shown
    EXPECT_EQ(u.aniso[5], "-0.001200");
    EXPECT_EQ(u.iso, "");
    EXPECT_EQ(a.iso, 0);

    const AdpCells b = show_adp(a, ThermalExpression::B, m);
    EXPECT_EQ(b.aniso[0], " 1.579134");  // 0.02 x 8 pi^2
    const AdpCells beta = show_adp(a, ThermalExpression::Beta, m);
    EXPECT_EQ(beta.aniso[1], format_fixed(0.031 * anisotropic_factors(m)[1], 9, 6));
}

TEST(ShowAdp, FlatAtomIsMarkedIsotropic) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    Atom a = aniso_atom("O", {0.05, 0, 0, 0.01, 0, 0});
    const AdpCells u = show_adp(a, ThermalExpression::U, m);
    EXPECT_EQ(a.iso, 1);
    EXPECT_EQ(u.iso, " 0.05000");
    for (const std::string& c : u.aniso)
        EXPECT_EQ(c, "");
    EXPECT_EQ(show_adp(a, ThermalExpression::B, m).iso, " 3.94784");  // 0.05 x 8 pi^2
    EXPECT_EQ(show_adp(a, ThermalExpression::Beta, m).iso, format_fixed(0.05 * kAdpP * 0.01, 8, 5));
}

TEST(ShowAdp, URoundTripsThroughB) {
    const Metric m = metric_of({8.1, 9.3, 11.7, 90, 104.5, 90});
    Atom a = aniso_atom("S", {0.0213, 0.0345, 0.0178, -0.0021, 0.0043, 0.0007});
    const AdpCells shown = show_adp(a, ThermalExpression::B, m);
    auto typed = read_typed_adp(shown);
    ASSERT_TRUE(typed);
    convert_typed_to_u(typed->values, typed->iso, ThermalExpression::B, m);
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(typed->values[k], a.adp[k], 1e-7) << k;

    const AdpCells as_beta = show_adp(a, ThermalExpression::Beta, m);
    auto from_beta = read_typed_adp(as_beta);
    ASSERT_TRUE(from_beta);
    convert_typed_to_u(from_beta->values, from_beta->iso, ThermalExpression::Beta, m);
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(from_beta->values[k], a.adp[k], 1e-5) << k;
}

TEST(CheckAsymmetricUnit, SingularMatrixResetWithBeepAndMessage) {
    StructureDocument doc;
    doc.metric = metric_of({10, 11, 12, 90, 90, 90});
    doc.asym = {aniso_atom("C", {0.02, 0.03, 0, 0, 0, 0}),
                aniso_atom("N", {0.02, 0.03, 0.04, 0.001, 0, 0})};
    doc.asym.push_back(aniso_atom("O", {0.05, 0, 0, 0, 0, 0}));
    doc.asym[2].iso = 1;
    RecordingMessages msg;
    check_asymmetric_unit(doc, msg);

    ASSERT_EQ(msg.log.size(), 2u);
    EXPECT_EQ(msg.log[0], "beep");
    EXPECT_EQ(msg.warnings[0],
              "Atom C1 has a non definite positive matrix Uij. Ueq was reset to 0.0167");
    EXPECT_NEAR(doc.asym[0].adp[0], 0.05 / 3, 1e-17);
    for (int k = 1; k < 6; ++k)
        EXPECT_EQ(doc.asym[0].adp[k], 0);
    EXPECT_EQ(doc.asym[0].iso, 1);
    EXPECT_EQ(doc.asym[1].iso, 0);  // regular atom untouched
    EXPECT_EQ(doc.asym[1].adp[2], 0.04);
    EXPECT_EQ(doc.asym[2].adp[0], 0.05);
}

TEST(GeneratedBetas, HydrogenAlwaysIsotropicPointZeroOne) {
    const Metric m = metric_of({6, 7, 8, 90, 95, 90});
    const auto g = isotropic_factors(m);
    RecordingMessages msg;
    for (const char* e : {"H", " h", "H "}) {
        const GeneratedAdp b =
            generated_betas(aniso_atom(e, {0.05, 0.06, 0.07, 0.01, 0, 0}), identity3(), m, msg);
        EXPECT_EQ(b.iso, 1) << e;
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(b.beta[k], 0.01 * g[k], 1e-15) << e << k;
    }
    EXPECT_TRUE(msg.log.empty());
    // "HG" is mercury, not hydrogen.
    EXPECT_EQ(
        generated_betas(aniso_atom("HG", {0.05, 0.06, 0.07, 0, 0, 0}), identity3(), m, msg).iso, 0);
}

TEST(GeneratedBetas, TwoFoldAndFourFoldRotations) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    const double f = anisotropic_factors(m)[0];  // all six equal in a cubic cell
    Atom a = aniso_atom("S", {0.01, 0.02, 0.03, 0.004, 0.005, 0.006});
    RecordingMessages msg;

    // 2-fold along b: -x, y, -z.
    const Mat3 two{{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};
    const GeneratedAdp b2 = generated_betas(a, two, m, msg);
    const std::array<double, 6> e2{0.01, 0.02, 0.03, -0.004, 0.005, -0.006};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(b2.beta[k], e2[k] * f, 1e-15) << k;
    EXPECT_EQ(b2.iso, 0);

    // 4-fold along c: -y, x, z. R T R^T swaps 11/22 and gives 13' = -23, 23' = 13.
    const Mat3 four{{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
    const GeneratedAdp b4 = generated_betas(a, four, m, msg);
    const std::array<double, 6> e4{0.02, 0.01, 0.03, -0.004, -0.006, 0.005};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(b4.beta[k], e4[k] * f, 1e-15) << k;
    EXPECT_TRUE(msg.log.empty());
}

TEST(GeneratedBetas, NonPositiveDefiniteIsReportedAndKept) {
    const Metric m = metric_of({10, 10, 10, 90, 90, 90});
    RecordingMessages msg;
    const GeneratedAdp b =
        generated_betas(aniso_atom("C", {0.01, 0.01, 0.01, 0.05, 0, 0}), identity3(), m, msg);
    ASSERT_EQ(msg.log.size(), 1u);
    EXPECT_EQ(msg.warnings[0], "Non definite positive matrix on atom C1");
    EXPECT_EQ(b.beta[3], 0.05 * anisotropic_factors(m)[3]);
}

TEST(IsotropicAverage, OrthogonalCellIsMeanOfDiagonal) {
    StructureDocument doc;
    doc.metric = metric_of({5, 7, 9, 90, 90, 90});
    doc.asym = {aniso_atom("C", {0.02, 0.03, 0.04, 0.01, -0.002, 0.003})};
    doc.asym.push_back(aniso_atom("O", {0.06, 0, 0, 0, 0, 0}));
    doc.asym[1].iso = 1;
    doc.asym.push_back(aniso_atom("N", {0.01, 0.02, 0.06, 0, 0, 0}));
    isotropic_average(doc);
    // The degree constant leaves cos 90 at about 2e-6, so off-diagonal terms
    // add a little; the diagonal alone is exact to the two 2 pi^2 values.
    EXPECT_NEAR(doc.asym[0].adp[0], 0.03, 0.03 * 2e-6);
    EXPECT_NEAR(doc.asym[2].adp[0], 0.03, 1e-12);
    for (int k = 1; k < 6; ++k)
        EXPECT_EQ(doc.asym[0].adp[k], 0);
    EXPECT_EQ(doc.asym[0].iso, 1);
    EXPECT_EQ(doc.asym[1].adp[0], 0.06);
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST(UEquivalent, MonoclinicCountsOffDiagonalTermsTwice) {
    const Metric m = metric_of({10, 12, 8, 90, 100, 90});
    const Atom a = aniso_atom("C", {0.02, 0.03, 0.04, 0, 0.005, 0});
    // Monoclinic Ueq = (U22 + (U11 + U33 + 2 U13 cos beta) / sin^2 beta) / 3
    // = (0.03 + (0.02 + 0.04 + 2 x 0.005 x -0.173648) / 0.969846) / 3 = 0.0300252.
    EXPECT_NEAR(u_equivalent(a, m), 0.0300252, 2e-7);
    // Counting U13 once would give 0.0303236: the test tells the two apart.
    const double sb = std::sin(100 * kDegToRad), cb = std::cos(100 * kDegToRad);
    const double expected =
        kIsoAverageTwoPiSquared *
        (0.02 / (sb * sb) + 0.03 + 0.04 / (sb * sb) + 2 * 0.005 * cb / (sb * sb)) /
        kIsoAverageDivisor;
    EXPECT_NEAR(u_equivalent(a, m), expected, 1e-10);

    Atom iso = a;
    iso.iso = 1;
    EXPECT_EQ(u_equivalent(iso, m), 0.02);
}

}  // namespace
}  // namespace veldor
