#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "core/document.h"
#include "core/real48.h"
#include "core/text.h"

namespace veldor {
namespace {

TEST(FixedPoint, RightAlignedWidenedNeverExponent) {
    EXPECT_EQ(format_fixed(3.14159, 8, 4), "  3.1416");
    EXPECT_EQ(format_fixed(-0.5, 10, 6), " -0.500000");
    EXPECT_EQ(format_fixed(12345.678, 6, 2), "12345.68");  // widened, not cut
    EXPECT_EQ(format_fixed(1e20, 4, 1), "100000000000000000000.0");
    EXPECT_EQ(format_fixed(1e-9, 8, 4), "  0.0000");
    EXPECT_EQ(format_fixed(2.0, 4, 0), "   2");  // F4.0: no decimal point
    EXPECT_EQ(format_fixed(-1, 4, 0), "  -1");
    EXPECT_EQ(format_fixed(0.060, 6, 3), " 0.060");
}

TEST(FixedPoint, IgnoresTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(format_fixed(1.5, 6, 2), "  1.50");
        EXPECT_EQ(parse_double("1.5"), 1.5);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FixedPoint, IntegersAndTexts) {
    EXPECT_EQ(format_int(42, 5), "   42");
    EXPECT_EQ(format_int(-123456, 4), "-123456");
    EXPECT_EQ(pad_right("C1", 4), "C1  ");
    EXPECT_EQ(pad_right("LONGNAME", 4), "LONGNAME");
    EXPECT_EQ(pad_left("CL", 4), "  CL");
}

TEST(NumberReading, AcceptsWhatUsersTypeOnly) {
    EXPECT_EQ(parse_double(" 1.5 "), 1.5);
    EXPECT_EQ(parse_double("-.25"), -0.25);
    EXPECT_EQ(parse_double("+2"), 2.0);
    EXPECT_EQ(parse_double("1e-3"), 1e-3);
    EXPECT_EQ(parse_double("5."), 5.0);
    EXPECT_FALSE(parse_double(""));
    EXPECT_FALSE(parse_double("1.2.3"));
    EXPECT_FALSE(parse_double("1,5"));
    EXPECT_FALSE(parse_double("abc"));
    EXPECT_FALSE(parse_double("+-1"));
    EXPECT_FALSE(parse_double("nan"));
    EXPECT_FALSE(parse_double("inf"));
    EXPECT_FALSE(parse_double("1 2"));
    EXPECT_EQ(parse_int(" 12 "), 12);
    EXPECT_FALSE(parse_int("1.0"));
}

TEST(NumberReading, TidyCellText) {
    EXPECT_EQ(tidy_number_text(""), "0");
    EXPECT_EQ(tidy_number_text("5."), "5.0");
    EXPECT_EQ(tidy_number_text("-.5"), "-0.5");
    EXPECT_EQ(tidy_number_text(" .5"), "0.5");
    EXPECT_EQ(tidy_number_text("5. "), "5.0");
    EXPECT_EQ(tidy_number_text("12.25"), "12.25");
    EXPECT_EQ(parse_double(tidy_number_text("-.")), 0.0);
}

TEST(Text, TrimCaseSplit) {
    EXPECT_EQ(trim("  ab c \r\n"), "ab c");
    EXPECT_EQ(to_upper("Cl1a"), "CL1A");
    EXPECT_EQ(to_lower("X,Y"), "x,y");
    EXPECT_EQ(remove_spaces(" C 1 2"), "C12");
    EXPECT_EQ(split_tokens("  1, 2 ,,3 ", " ,"), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(Real48, KeepsFortyBitsOfMantissa) {
    EXPECT_EQ(round_real48(0.5), 0.5);
    EXPECT_EQ(round_real48(0.0), 0.0);
    EXPECT_EQ(round_real48(-3.0), -3.0);
    // 1/3 keeps 40 significant bits: the error is below 2^-41 and not zero.
    const double third = round_real48(1.0 / 3.0);
    EXPECT_NE(third, 1.0 / 3.0);
    EXPECT_LT(std::abs(third - 1.0 / 3.0), std::ldexp(1.0, -41));
    // Rounding is idempotent and the result fits 40 bits.
    EXPECT_EQ(round_real48(third), third);
    int e = 0;
    const double m = std::frexp(third, &e);
    const double scaled = std::ldexp(m, 40);
    EXPECT_EQ(scaled, std::floor(scaled));
    // Below the smallest six-byte real the value vanishes.
    EXPECT_EQ(round_real48(1e-40), 0.0);
    EXPECT_EQ(round_real48(-1e-40), 0.0);
}

TEST(Document, NamesAndFields) {
    EXPECT_EQ(make_atom_name("CL", "1"), "Cl1");
    EXPECT_EQ(make_atom_name("C", "12"), "C12");
    EXPECT_EQ(make_atom_name("C", " 1 a"), "C1a");
    EXPECT_EQ(make_atom_name("CL", "1234567"), "Cl1234");  // names keep 6 characters
    EXPECT_EQ(fit("ABCDEF", 4), "ABCD");
    EXPECT_TRUE(same_atom_name("Cl1", "CL1"));
    EXPECT_FALSE(same_atom_name("Cl1", "Cl2"));
}

TEST(Document, ResetEmptiesTablesAndTextsKeepsOptions) {
    StructureDocument doc;
    doc.title = "t";
    doc.space_group = "P21/c";
    doc.positions.push_back({SymOp::identity(), "X,Y,Z", 1});
    doc.asym.push_back(Atom{});
    doc.gen.push_back(Atom{});
    doc.bonds.push_back(CalcBond{});
    doc.generation_mode = GenerationMode::Sphere;
    doc.bond_width = 9;
    reset(doc);
    EXPECT_TRUE(doc.title.empty());
    EXPECT_TRUE(doc.space_group.empty());
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.gen.empty());
    EXPECT_TRUE(doc.bonds.empty());
    EXPECT_EQ(doc.generation_mode, GenerationMode::Sphere);
    EXPECT_EQ(doc.bond_width, 9);
    // The bond count is stored in a 16-bit field: the capacity must fit.
    static_assert(kMaxBonds <= 32767);
}

TEST(SymOpRecord, AppliesRotationThenTranslation) {
    SymOp op;
    op.m = {{{0, -1, 0, 0.5}, {1, 0, 0, 0}, {0, 0, 1, 0.25}}};
    const Vec3 p = op.apply({0.1, 0.2, 0.3});
    EXPECT_NEAR(p[0], 0.3, 1e-15);
    EXPECT_NEAR(p[1], 0.1, 1e-15);
    EXPECT_NEAR(p[2], 0.55, 1e-15);
}

}  // namespace
}  // namespace veldor
