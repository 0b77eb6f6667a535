// What operator lists say about their lattice, and the lookups and edits
// of the catalogue that rest on it.

#include <gtest/gtest.h>

#include "core/metric.h"
#include "symmetry/catalogue.h"
#include "symmetry/lattice.h"
#include "symmetry/operators.h"

namespace veldor {
namespace {

const char* const kData = VELDOR_DATA_DIR;

std::vector<EquivalentPosition> positions(std::initializer_list<const char*> texts) {
    std::vector<EquivalentPosition> out;
    for (const char* t : texts)
        out.push_back({*decode_operator(t), t, 0});
    return out;
}

SymOp op_with(const char* text, double t1, double t2, double t3) {
    SymOp op = *decode_operator(text);
    op.m[0][3] = t1;
    op.m[1][3] = t2;
    op.m[2][3] = t3;
    return op;
}

TEST(Lattice, TranslationsAreBroughtIntoTheUnitInterval) {
    EXPECT_EQ(unit_translation(2.5), 0.5);
    EXPECT_EQ(unit_translation(-0.25), 0.75);
    EXPECT_EQ(unit_translation(1.0), 0.0);
    EXPECT_EQ(unit_translation(0.3333333 + 0.6666667), 0.0);  // 1 in decimals
    SymOp op = op_with("X,Y,Z", 2.5, -1.5, 3);                // x+5/2, y-3/2, z+3
    reduce_translations(op);
    EXPECT_EQ(op.translation(), (Vec3{0.5, 0.5, 0}));
}

// The letter from the centring translations present, the centre only when
// it is at the origin (modulo a centring vector).
TEST(Lattice, LetterAndCentreFromTheOperators) {
    auto c2c = positions({"X,Y,Z", "-X,Y,-Z+1/2", "-X,-Y,-Z", "X,-Y,Z+1/2"});
    expand_by_centring(c2c, centring_vectors("C", ""));
    LatticeDescription d = describe_lattice(c2c);
    EXPECT_EQ(d.letter, "C");
    EXPECT_EQ(d.centring, centring_vectors("C", ""));
    EXPECT_EQ(d.centrosymmetric, 1);

    // P n n n, origin choice 1: the centre is at (1/4, 1/4, 1/4).
    d = describe_lattice(
        positions({"X,Y,Z", "-X,-Y,Z", "-X,Y,-Z", "X,-Y,-Z", "-X+1/2,-Y+1/2,-Z+1/2",
                   "X+1/2,Y+1/2,-Z+1/2", "X+1/2,-Y+1/2,Z+1/2", "-X+1/2,Y+1/2,Z+1/2"}));
    EXPECT_EQ(d.letter, "P");
    EXPECT_EQ(d.centrosymmetric, 0);

    // I centring with the centre at (1/2, 1/2, 1/2): still a centre at the origin.
    d = describe_lattice(
        positions({"X,Y,Z", "X+1/2,Y+1/2,Z+1/2", "-X+1/2,-Y+1/2,-Z+1/2", "-X,-Y,-Z"}));
    EXPECT_EQ(d.letter, "I");
    EXPECT_EQ(d.centrosymmetric, 1);
    d = describe_lattice(positions({"X,Y,Z", "X+1/2,Y+1/2,Z+1/2", "-X+1/2,-Y+1/2,-Z+1/2"}));
    EXPECT_EQ(d.centrosymmetric, 1);  // -x+1/2 is -x plus the centring vector

    // R on hexagonal axes written with 4 decimals, as many files do.
    std::vector<EquivalentPosition> r = positions({"X,Y,Z"});
    r.push_back({op_with("X,Y,Z", 0.6667, 0.3333, 0.3333), "", 0});
    r.push_back({op_with("X,Y,Z", 0.3333, 0.6667, 0.6667), "", 0});
    d = describe_lattice(r);
    EXPECT_EQ(d.letter, "R");
    EXPECT_EQ(d.centring.size(), 2u);
    EXPECT_EQ(d.centrosymmetric, 0);

    // A translation that is no lattice centring: primitive, every operator listed.
    d = describe_lattice(positions({"X,Y,Z", "X+1/2,Y,Z"}));
    EXPECT_EQ(d.letter, "P");
    EXPECT_TRUE(d.centring.empty());
}

TEST(Lattice, OperatorSetsCompareModuloLatticeTranslations) {
    const std::vector<SymOp> a{SymOp::identity(), op_with("-X,-Y,-Z", 0.5, 0, 0)};
    const std::vector<SymOp> b{op_with("-X,-Y,-Z", -0.5, 1, 0.0004), op_with("X,Y,Z", 1, 0, 0)};
    EXPECT_TRUE(same_operator_set(a, b));
    EXPECT_FALSE(same_operator_set(a, {SymOp::identity()}));
    EXPECT_FALSE(same_operator_set(a, {SymOp::identity(), *decode_operator("-X,-Y,-Z")}));
}

TEST(Lattice, CellMetricAgainstTheRotations) {
    const auto mono = positions({"X,Y,Z", "-X,Y+1/2,-Z+1/2"});
    EXPECT_TRUE(cell_fits_operators({5, 6, 7, 90, 100, 90}, mono));
    EXPECT_TRUE(cell_fits_operators({5, 6, 7, 90, 90, 90}, mono));  // beta 90 is monoclinic too
    EXPECT_FALSE(cell_fits_operators({5, 6, 7, 89.98, 100, 90}, mono));
    const auto hexa = positions({"X,Y,Z", "-Y,X-Y,Z", "-X+Y,-X,Z"});
    EXPECT_TRUE(cell_fits_operators({3.21, 3.21, 5.21, 90, 90, 120}, hexa));
    EXPECT_FALSE(cell_fits_operators({3.21, 3.21, 5.21, 90, 90, 120.01}, hexa));
    EXPECT_FALSE(cell_fits_operators({3.21, 3.2101, 5.21, 90, 90, 120}, hexa));
}

// A reader's lookup: the cell only orders the search.
TEST(Lattice, SymbolLookupSearchesEveryCatalogue) {
    using Codes = std::vector<std::string>;
    EXPECT_EQ(systems_in_search_order("MONO"),
              (Codes{"MONO", "CUBI", "TETR", "ORTH", "HEXA", "RHOM", "TRIC"}));
    // No system guessed: the order of the system list.
    EXPECT_EQ(systems_in_search_order(""),
              (Codes{"CUBI", "TETR", "ORTH", "HEXA", "RHOM", "MONO", "TRIC"}));
    StructureDocument doc;
    doc.cell_parameters = {5, 6, 7, 90, 90, 90};  // beta 90: guessed orthorhombic
    RecordingMessages m;
    compute_metric(doc, m);
    set_crystal_system_from_cell(doc);
    ASSERT_EQ(doc.crystal_system, "ORTH");
    doc.lattice_letter = "P";
    EXPECT_EQ(look_up_group(doc, "P21/c", kData, m), LookupStatus::NotFound);
    EXPECT_EQ(look_up_group_in_any_system(doc, "P21/c", kData, m), LookupStatus::Found);
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_EQ(doc.positions.size(), 4u);
    EXPECT_EQ(look_up_group_in_any_system(doc, "X4bm", kData, m), LookupStatus::NotFound);
    EXPECT_TRUE(doc.positions.empty());
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_TRUE(m.warnings.empty());
}

// A symbol without origin or axes suffix names the setting International
// Tables take by default: origin choice 1, hexagonal axes.
TEST(Lattice, SymbolWithoutSuffixIsTheDefaultSetting) {
    for (const auto& [system, symbol, entry] :
         {std::tuple{"CUBI", "F d -3 m", "Fd-3m:1"}, std::tuple{"ORTH", "Pnnn", "Pnnn:1"},
          std::tuple{"HEXA", "R -3 c", "R-3c:H"}, std::tuple{"RHOM", "R-3c", "R-3c:R"},
          std::tuple{"MONO", "P 21/c", "P21/c"}}) {
        RecordingMessages m;
        const auto cat = read_catalogue(catalogue_file(kData, system), m);
        ASSERT_TRUE(cat);
        const int i = cat->find(symbol);
        ASSERT_GE(i, 0) << symbol;
        EXPECT_EQ(cat->entries[static_cast<std::size_t>(i)].symbol, entry) << symbol;
    }
}

TEST(Lattice, CellEditAsksForANewGeneration) {
    StructureDocument doc;
    doc.crystal_system = "TETR";
    RecordingMessages m;
    ASSERT_TRUE(edit_cell_field(doc, 0, "5.2", m));
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_TRUE(doc.cell_changed);
    doc.regeneration_needed = false;
    EXPECT_FALSE(edit_cell_field(doc, 2, "x", m));
    EXPECT_FALSE(doc.regeneration_needed);
}

}  // namespace
}  // namespace veldor
