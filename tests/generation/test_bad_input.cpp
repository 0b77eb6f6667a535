// Bad input never crashes, hangs or writes past a table: absurd cells,
// coordinates, enclosures and bond distances.

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "direct.h"
#include "fixtures.h"
#include "generation/bonds.h"
#include "generation/generate.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::build_sorts;
using testing::make_document;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const GenerationMode kModes[] = {GenerationMode::None, GenerationMode::Box, GenerationMode::Sphere,
                                 GenerationMode::Fragments, GenerationMode::CellContents};

void expect_within_capacities(const StructureDocument& doc) {
    EXPECT_LE(doc.gen.size(), static_cast<std::size_t>(kMaxGenAtoms));
    EXPECT_LE(doc.bonds.size(), static_cast<std::size_t>(kMaxBonds));
    EXPECT_EQ(doc.display.size(), doc.gen.size());
    EXPECT_EQ(doc.gen_labels.size(), doc.gen.size());
    for (const CalcBond& b : doc.bonds) {
        EXPECT_GE(b.atom1, 1);
        EXPECT_LT(b.atom1, b.atom2);
        EXPECT_LE(b.atom2, static_cast<int>(doc.gen.size()));
    }
}

TEST(BadInput, NonFiniteCoordinatesGiveWhatThePlainLoopsGive) {
    for (std::uint64_t seed = 300; seed < 330; ++seed) {
        std::mt19937_64 rng(seed);
        StructureDocument doc = testing::random_structure(rng);
        doc.asym[0].x = kNaN;
        if (doc.asym.size() > 1) doc.asym[1].y = kInf;
        if (doc.asym.size() > 2) doc.asym[2].z = -kInf;
        StructureDocument plain = doc;
        RecordingMessages m1, m2;
        generate(doc, m1);
        direct::generate(plain, m2);
        ASSERT_EQ(doc.gen.size(), plain.gen.size()) << seed;
        for (std::size_t i = 0; i < doc.gen.size(); ++i) {
            ASSERT_EQ(doc.gen[i].name, plain.gen[i].name) << seed;
            ASSERT_EQ(doc.gen[i].tag, plain.gen[i].tag) << seed;
        }
        ASSERT_EQ(doc.bonds.size(), plain.bonds.size()) << seed;
        ASSERT_EQ(m1.log, m2.log) << seed;
        expect_within_capacities(doc);
    }
}

TEST(BadInput, DegenerateCellInEveryMode) {
    for (GenerationMode mode : kModes) {
        StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P21/c");
        add_atom(doc, "C", "1", 0.1, 0.2, 0.3);
        add_atom(doc, "C", "2", 0.15, 0.2, 0.3);
        build_sorts(doc);
        doc.cell_parameters = {0, 0, 0, 0, 0, 0};
        doc.metric = Metric{};  // never computed
        doc.generation_mode = mode;
        doc.enclosure.radius = 5;
        RecordingMessages m;
        generate(doc, m);
        expect_within_capacities(doc);
    }
}

TEST(BadInput, HugeAndEmptyEnclosures) {
    const Vec3 boxes[] = {{1e12, 1e12, 0}, {1e12, 1e12, 1e12}, {kInf, 1, 1},       {kNaN, 1, 1},
                          {-3, -3, -3},    {0, 0, 0},          {1e300, 0.5, 1e300}};
    for (bool cut : {true, false})
        for (const Vec3& box : boxes) {
            StructureDocument doc = make_document({7, 8, 9, 90, 100, 90}, "P21/c");
            add_atom(doc, "C", "1", 0.1, 0.2, 0.3);
            add_atom(doc, "O", "1", 0.2, 0.2, 0.3);
            build_sorts(doc);
            doc.generation_mode = GenerationMode::Box;
            doc.enclosure.box = box;
            doc.cut_box = cut;
            RecordingMessages m;
            generate(doc, m);
            expect_within_capacities(doc);
        }
    for (bool cut : {true, false})
        for (double radius : {1e9, kInf, kNaN, -4.0, 1e300}) {
            StructureDocument doc = make_document({7, 8, 9, 90, 100, 90}, "P21/c");
            add_atom(doc, "C", "1", 0.1, 0.2, 0.3);
            build_sorts(doc);
            doc.generation_mode = GenerationMode::Sphere;
            doc.enclosure.radius = radius;
            doc.enclosure.centre = {0.5, 0.5, 0.5};
            doc.cut_sphere = cut;
            RecordingMessages m;
            generate(doc, m);
            expect_within_capacities(doc);
            if (radius == 1e9 || radius == kInf) {
                EXPECT_EQ(m.warnings, std::vector<std::string>{"Too many generated atoms"});
            }
        }
}

TEST(BadInput, NonFiniteCentre) {
    StructureDocument doc = make_document({7, 8, 9, 90, 100, 90}, "P-1");
    add_atom(doc, "C", "1", 0.1, 0.2, 0.3);
    build_sorts(doc);
    for (GenerationMode mode : {GenerationMode::Box, GenerationMode::Sphere}) {
        for (bool cut : {true, false}) {
            doc.generation_mode = mode;
            doc.cut_box = doc.cut_sphere = cut;
            doc.enclosure.centre = {kNaN, 0.5, kInf};
            doc.enclosure.radius = 5;
            RecordingMessages m;
            generate(doc, m);
            EXPECT_TRUE(doc.gen.empty());
        }
    }
}

TEST(BadInput, AbsurdBondDistancesAndOperators) {
    StructureDocument doc = make_document({7, 8, 9, 90, 100, 90}, "Pbca");
    for (int i = 0; i < 30; ++i)
        add_atom(doc, "C", std::to_string(i + 1), 0.03 * i, 0.1, 0.2 + 0.01 * i);
    build_sorts(doc);
    doc.bond_sorts[0].max_distance = 1e300;
    for (GenerationMode mode : kModes) {
        doc.generation_mode = mode;
        RecordingMessages m;
        generate(doc, m);
        expect_within_capacities(doc);
    }
    doc.bond_sorts[0].max_distance = kNaN;
    doc.generation_ops.push_back(SymOp{});  // all zero: every image at the origin
    SymOp wild = SymOp::identity();
    wild.m[0][3] = kNaN;
    doc.generation_ops.push_back(wild);
    for (GenerationMode mode : kModes) {
        doc.generation_mode = mode;
        RecordingMessages m;
        generate(doc, m);
        expect_within_capacities(doc);
    }
    doc.generation_ops.clear();
    RecordingMessages m;
    generate(doc, m);
    EXPECT_TRUE(doc.gen.empty());
    EXPECT_TRUE(doc.bonds.empty());
}

TEST(BadInput, TinyCellPacksEverythingIntoOneFragment) {
    StructureDocument doc = make_document({0.5, 0.5, 0.5, 90, 90, 90}, "Fm-3m");
    for (int i = 0; i < 5; ++i)
        add_atom(doc, "C", std::to_string(i + 1), 0.1 * i, 0.05 * i, 0.02 * i);
    build_sorts(doc);
    for (GenerationMode mode : kModes) {
        doc.generation_mode = mode;
        doc.enclosure.radius = 2;
        RecordingMessages m;
        generate(doc, m);
        expect_within_capacities(doc);
    }
}

}  // namespace
}  // namespace veldor
