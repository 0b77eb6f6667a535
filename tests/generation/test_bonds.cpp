// Bond sorts, the bond search and the bond-lengths dialog, on hand-worked cases.

#include <gtest/gtest.h>

#include <cmath>

#include "core/metric.h"
#include "fixtures.h"
#include "generation/bonds.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::build_sorts;
using testing::make_document;

// A cubic 10 A cell in P1: a fractional step of 0.1 is 1 A.
StructureDocument cubic() {
    return make_document({10, 10, 10, 90, 90, 90}, "P1");
}

// The asymmetric unit taken as the generated list, for searches alone.
void search(StructureDocument& doc, Messages& messages) {
    build_sorts(doc);
    doc.gen = doc.asym;
    search_bonds(doc, messages);
}

TEST(BondSorts, EveryPairOnceInElementOrderWithFactorOnePointTwo) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0, 0, 0);
    add_atom(doc, "H", "1", 0, 0, 0);
    add_atom(doc, "Cl", "1", 0, 0, 0);
    add_atom(doc, "CL", "2", 0, 0, 0);  // same element sort as Cl
    build_sorts(doc);
    ASSERT_EQ(doc.element_sorts.size(), 3u);
    ASSERT_EQ(doc.bond_sorts.size(), 6u);
    const char* pairs[6][2] = {{"C", "C"}, {"C", "H"},  {"C", "CL"},
                               {"H", "H"}, {"H", "CL"}, {"CL", "CL"}};
    const double radius[3] = {0.76, 0.31, 1.02};
    const int index[6][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 2}};
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(doc.bond_sorts[s].element1, pairs[s][0]);
        EXPECT_EQ(doc.bond_sorts[s].element2, pairs[s][1]);
        EXPECT_DOUBLE_EQ(doc.bond_sorts[s].max_distance,
                         1.2 * (radius[index[s][0]] + radius[index[s][1]]));
    }
}

TEST(BondSorts, ElementWithoutRadiusGetsOnePointTwoTimesTheOther) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0, 0, 0);
    add_atom(doc, "XX", "1", 0, 0, 0);
    build_sorts(doc);
    ASSERT_EQ(doc.bond_sorts.size(), 3u);
    EXPECT_DOUBLE_EQ(doc.bond_sorts[1].max_distance, 1.2 * 0.76);  // C-XX
    EXPECT_EQ(doc.bond_sorts[2].max_distance, 0);                  // XX-XX
}

TEST(BondSorts, TableStopsAtItsCapacity) {
    StructureDocument doc = cubic();
    for (int i = 0; i < 45; ++i)
        doc.element_sorts.push_back({0, 1.0, "E" + std::to_string(i)});
    // 45 elements make 1035 pairs; the table holds 1000.
    EXPECT_FALSE(build_bond_sorts(doc));
    EXPECT_EQ(doc.bond_sorts.size(), 1000u);
    doc.element_sorts.resize(44);  // 990 pairs fit
    EXPECT_TRUE(build_bond_sorts(doc));
    EXPECT_EQ(doc.bond_sorts.size(), 990u);
}

TEST(BondSorts, RebuildLosesAnEditedDistance) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0, 0, 0);
    add_atom(doc, "O", "1", 0, 0, 0);
    build_sorts(doc);
    doc.bond_sorts[1].max_distance = 3;
    doc.asym.pop_back();  // an element goes: sorts are rebuilt
    build_sorts(doc);
    ASSERT_EQ(doc.bond_sorts.size(), 1u);
    EXPECT_DOUBLE_EQ(doc.bond_sorts[0].max_distance, 1.2 * 1.52);
}

// Atoms closer than 0.1 A are one site, never a bond: elements without a
// radius (bond-sort distance 0) therefore never bond, and two carbons
// 0.05 A apart neither.
TEST(BondSearch, NoBondIsShorterThanATenthOfAnAngstrom) {
    StructureDocument doc = cubic();
    add_atom(doc, "XX", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "XX", "2", 0.5, 0.5, 0.5);
    add_atom(doc, "C", "1", 0.2, 0.2, 0.2);
    add_atom(doc, "C", "2", 0.205, 0.2, 0.2);  // 0.05 A
    add_atom(doc, "C", "3", 0.2, 0.211, 0.2);  // 0.11 A from C1
    RecordingMessages m;
    search(doc, m);
    std::vector<std::pair<int, int>> pairs;
    for (const CalcBond& b : doc.bonds) {
        pairs.emplace_back(b.atom1, b.atom2);
        EXPECT_GE(b.length, kMinBondLength);
    }
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{3, 5}, {4, 5}}));
}

// The SHELX convention: PART 0 bonds to every part, two different non-zero
// parts never, negative parts by their absolute value.
TEST(BondSearch, DisorderPartsBondThroughPartZeroOnly) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0.50, 0.5, 0.5, 1);
    add_atom(doc, "C", "2", 0.65, 0.5, 0.5, 2);    // 1.5 A from C1, other part
    add_atom(doc, "C", "3", 0.50, 0.65, 0.5, 0);   // 1.5 A from C1, part 0
    add_atom(doc, "C", "4", 0.35, 0.5, 0.5, 1);    // 1.5 A from C1, same part
    add_atom(doc, "C", "5", 0.50, 0.35, 0.5, -1);  // 1.5 A from C1, part -1
    add_atom(doc, "C", "6", 0.50, 0.5, 0.65, -2);  // 1.5 A from C1, part -2
    RecordingMessages m;
    search(doc, m);
    std::vector<std::pair<int, int>> from_c1;
    for (const CalcBond& b : doc.bonds)
        if (b.atom1 == 1) from_c1.emplace_back(b.atom1, b.atom2);
    EXPECT_EQ(from_c1, (std::vector<std::pair<int, int>>{{1, 3}, {1, 4}, {1, 5}}));
    EXPECT_TRUE(parts_may_bond(0, -3));
    EXPECT_TRUE(parts_may_bond(-2, 2));
    EXPECT_FALSE(parts_may_bond(1, -2));
}

TEST(BondSearch, CarbonCarbonMarksFromLength) {
    EXPECT_EQ(carbon_multiplicity(1.39), 1);
    EXPECT_EQ(carbon_multiplicity(1.20), 2);
    EXPECT_EQ(carbon_multiplicity(1.54), 0);
    EXPECT_EQ(carbon_multiplicity(1.271), 0);  // exactly the lower threshold keeps 0
    EXPECT_EQ(carbon_multiplicity(1.439), 0);
    EXPECT_EQ(carbon_multiplicity(1.4389), 1);
    EXPECT_EQ(carbon_multiplicity(1.2709), 2);

    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0.1, 0.1, 0.1);
    add_atom(doc, "C", "2", 0.239, 0.1, 0.1);  // 1.39 A
    add_atom(doc, "C", "3", 0.1, 0.5, 0.5);
    add_atom(doc, "C", "4", 0.1, 0.62, 0.5);  // 1.20 A
    add_atom(doc, "C", "5", 0.7, 0.7, 0.7);
    add_atom(doc, "C", "6", 0.854, 0.7, 0.7);  // 1.54 A
    add_atom(doc, "O", "1", 0.1, 0.1, 0.22);   // C-O 1.20 A: no mark
    RecordingMessages m;
    search(doc, m);
    ASSERT_EQ(doc.bonds.size(), 4u);
    EXPECT_EQ(doc.bonds[0].atom2, 2);
    EXPECT_EQ(doc.bonds[0].multiplicity, 1);
    EXPECT_EQ(doc.bonds[1].atom2, 7);
    EXPECT_EQ(doc.bonds[1].multiplicity, 0);
    EXPECT_EQ(doc.bonds[2].atom1, 3);
    EXPECT_EQ(doc.bonds[2].multiplicity, 2);
    EXPECT_EQ(doc.bonds[3].atom1, 5);
    EXPECT_EQ(doc.bonds[3].multiplicity, 0);
    EXPECT_NEAR(doc.bonds[3].length, 1.54, 1e-9);
}

TEST(BondSearch, NewBondTakesDocumentColourAndWidthHalvedForHydrogen) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "H", "1", 0.6, 0.5, 0.5);
    add_atom(doc, "C", "2", 0.5, 0.65, 0.5);
    build_sorts(doc);
    doc.bond_width = 15;
    doc.bond_colour = rgb(1, 2, 3);
    doc.gen = doc.asym;
    RecordingMessages m;
    search_bonds(doc, m);
    ASSERT_EQ(doc.bonds.size(), 2u);
    const CalcBond& ch = doc.bonds[0];
    EXPECT_EQ(ch.atom1, 1);
    EXPECT_EQ(ch.atom2, 2);
    EXPECT_EQ(ch.width, 7);
    EXPECT_EQ(ch.colour, rgb(1, 2, 3));
    EXPECT_NEAR(ch.length, 1.0, 1e-9);
    EXPECT_EQ(ch.label, "");
    EXPECT_EQ(ch.label_dx, 0);
    EXPECT_EQ(ch.label_dy, 0);
    EXPECT_EQ(ch.label_angle, 0);
    EXPECT_EQ(doc.bonds[1].width, 15);
}

TEST(BondSearch, DistanceEqualToTheSortIsBonded) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "C", "2", 0.625, 0.5, 0.5);
    build_sorts(doc);
    const double d = distance(doc.asym[0].position(), doc.asym[1].position(), doc.metric);
    EXPECT_NEAR(d, 1.25, 1e-9);
    doc.bond_sorts[0].max_distance = d;
    doc.gen = doc.asym;
    RecordingMessages m;
    search_bonds(doc, m);
    EXPECT_EQ(doc.bonds.size(), 1u);
    doc.bond_sorts[0].max_distance = std::nextafter(d, 0.0);
    search_bonds(doc, m);
    EXPECT_EQ(doc.bonds.size(), 0u);
}

TEST(BondSearch, EachMatchingSortGivesABond) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "O", "1", 0.6, 0.5, 0.5);
    build_sorts(doc);
    doc.bond_sorts.push_back({"O", "C", 1.1});  // the pair in the other order, again
    doc.gen = doc.asym;
    RecordingMessages m;
    search_bonds(doc, m);
    ASSERT_EQ(doc.bonds.size(), 2u);
    EXPECT_EQ(doc.bonds[0].atom2, 2);
    EXPECT_EQ(doc.bonds[1].atom2, 2);
}

TEST(BondSearch, TooMuchBondsStopsAtTenThousandInPairOrder) {
    // 150 carbons 0.105 A apart on a 10 x 15 grid, all within 1.75 A of each
    // other: every one of the 11175 pairs bonds.
    StructureDocument doc = cubic();
    for (int i = 0; i < 150; ++i)
        add_atom(doc, "C", std::to_string(i + 1), 0.5 + 0.0105 * (i % 10), 0.5 + 0.0105 * (i / 10),
                 0.5);
    RecordingMessages m;
    search(doc, m);
    ASSERT_EQ(doc.bonds.size(), 10000u);
    EXPECT_EQ(m.warnings, std::vector<std::string>{"Too much bonds!"});
    // The 10000th pair in the order i, then j.
    int count = 0, last_i = 0, last_j = 0;
    for (int i = 1; i <= 150 && count < 10000; ++i)
        for (int j = i + 1; j <= 150 && count < 10000; ++j) {
            ++count;
            last_i = i;
            last_j = j;
        }
    EXPECT_EQ(doc.bonds.back().atom1, last_i);
    EXPECT_EQ(doc.bonds.back().atom2, last_j);
    for (std::size_t b = 1; b < doc.bonds.size(); ++b) {
        const auto& p = doc.bonds[b - 1];
        const auto& q = doc.bonds[b];
        ASSERT_TRUE(p.atom1 < q.atom1 || (p.atom1 == q.atom1 && p.atom2 < q.atom2));
    }
}

TEST(BondSearch, ExactlyTenThousandBondsIsNoError) {
    // 10000 separate C-C pairs would need 20000 atoms; instead one cluster
    // of n atoms with n(n-1)/2 = 10000 is impossible, so take 141 atoms
    // (9870 pairs) and 130 extra pairs of H2.
    // The 141 carbons on a 5 x 5 x 6 grid 0.2 A apart (less 9 points).
    StructureDocument doc = make_document({200, 200, 200, 90, 90, 90}, "P1");
    for (int i = 0; i < 141; ++i)
        add_atom(doc, "C", std::to_string(i + 1), 0.5 + 0.001 * (i % 5), 0.5 + 0.001 * (i / 5 % 5),
                 0.5 + 0.001 * (i / 25));
    for (int k = 0; k < 130; ++k) {
        add_atom(doc, "H", std::to_string(2 * k + 1), 0.01 * (k % 10), 0.01 * (k / 10), 0.9);
        add_atom(doc, "H", std::to_string(2 * k + 2), 0.01 * (k % 10) + 0.003, 0.01 * (k / 10),
                 0.9);
    }
    RecordingMessages m;
    search(doc, m);
    EXPECT_EQ(doc.bonds.size(), 10000u);
    EXPECT_TRUE(m.warnings.empty());
}

TEST(BondLengthsDialog, RowsShowSymbolsAndDistanceWithTwoDecimals) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0, 0, 0);
    add_atom(doc, "H", "1", 0, 0, 0);
    build_sorts(doc);
    const auto rows = bond_length_rows(doc);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].element1, "C");
    EXPECT_EQ(rows[0].element2, "C");
    EXPECT_EQ(rows[0].distance, "  1.82");  // 1.824
    EXPECT_EQ(rows[1].distance, "  1.28");  // 1.284
    EXPECT_EQ(rows[2].distance, "  0.74");  // 0.744
}

TEST(BondLengthsDialog, ReadErrorNamesTheRowAndKeepsTheRowsBefore) {
    StructureDocument doc = cubic();
    add_atom(doc, "C", "1", 0, 0, 0);
    add_atom(doc, "H", "1", 0, 0, 0);
    build_sorts(doc);
    const double hh = doc.bond_sorts[2].max_distance;
    RecordingMessages m;
    EXPECT_FALSE(read_bond_lengths(doc, {" 2.5", "1,3", "9"}, m));
    EXPECT_EQ(m.warnings, std::vector<std::string>{"Read error at line 2"});
    EXPECT_EQ(doc.bond_sorts[0].max_distance, 2.5);
    EXPECT_DOUBLE_EQ(doc.bond_sorts[1].max_distance, 1.284);
    EXPECT_EQ(doc.bond_sorts[2].max_distance, hh);

    RecordingMessages ok;
    EXPECT_TRUE(read_bond_lengths(doc, {"2", "1.5", "0"}, ok));
    EXPECT_TRUE(ok.warnings.empty());
    EXPECT_EQ(doc.bond_sorts[2].max_distance, 0);

    RecordingMessages empty;
    EXPECT_FALSE(read_bond_lengths(doc, {"2", "1.5", ""}, empty));
    EXPECT_EQ(empty.warnings, std::vector<std::string>{"Read error at line 3"});
}

}  // namespace
}  // namespace veldor
