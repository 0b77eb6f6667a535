// Atom generation on hand-worked structures: images, coincident images,
// fragments, box, sphere, cell contents, limits and their messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/metric.h"
#include "fixtures.h"
#include "generation/bonds.h"
#include "generation/generate.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::build_sorts;
using testing::make_document;

std::vector<std::string> only_warnings(const RecordingMessages& m) {
    return m.warnings;
}

int count_at(const StructureDocument& doc, const std::string& name) {
    return static_cast<int>(std::count_if(doc.gen.begin(), doc.gen.end(),
                                          [&](const Atom& a) { return a.name == name; }));
}

void cell_contents(StructureDocument& doc) {
    RecordingMessages m;
    set_generation_option(doc, GenerationMode::CellContents, m);
}

// A linear H-C#C-Cl molecule along b and a sodium ion on the inversion
// centre, in P21/c (a 8, b 10, c 14 A, beta 100).
//
// Atoms, worked by hand:
// - The molecule lies at x = z = 0.2 with y from 0.100 to 0.489. Its four
//   images keep x and z away from the faces (x 0.2 or 0.8; z 0.2, 0.3, 0.8,
//   0.7) and never cross y = 0 or 1 (op 2: y + 1/2 up to 0.989; op 3: -y,
//   0.511 to 0.900 in the cell; op 4: -y - 1/2, 0.011 to 0.400). So each
//   image is one whole molecule inside the cell: 4 x 4 = 16 atoms.
// - Na at (0, 0, 0): ops 1 and 3 give (0, 0, 0), ops 2 and 4 give
//   (0, 1/2, 1/2) modulo the lattice, so two distinct sites. The cell
//   -0.005..1.005 holds (0, 0, 0) at all 8 corners and (0, 1/2, 1/2) on both
//   a-faces: 8 + 2 = 10 atoms.
// Total 26.
//
// Bonds, worked by hand (b = 10 A, so along b a step of 0.1 is 1 A):
// - H-C 1.06 A (sort 1.2 x (0.31 + 0.76) = 1.284), C#C 1.20 A (1.824),
//   C-Cl 1.63 A (2.136): 3 per molecule. Within a molecule H..C 2.26,
//   C..Cl 2.83 and H..Cl 3.89 A are all longer than their sorts.
// - Between molecules the shortest contact is 4.76 A (dx 0.6, dz 0.1:
//   4.8^2 + 1.4^2 - 2 x 4.8 x 1.4 x cos 80 deg), longer than any sort.
// - Na to the nearest molecule atom: dx = dz = 0.2 from a corner gives
//   1.6^2 + 2.8^2 - 2 x 1.6 x 2.8 x cos 80 = 8.84 A^2, plus (10 dy)^2; for H
//   (dy 0.1) 3.14 A > Na-H 2.364, for C (dy 0.206) 3.60 A > Na-C 2.904,
//   Cl is farther. Na-Na at least 8 A > 3.984.
// Total 4 x 3 = 12 bonds, the 4 C#C with mark 2, the 4 H-C with half width.
StructureDocument hand_checked_p21c() {
    StructureDocument doc = make_document({8, 10, 14, 90, 100, 90}, "P21/c");
    add_atom(doc, "H", "1", 0.2, 0.100, 0.2);
    add_atom(doc, "C", "1", 0.2, 0.206, 0.2);
    add_atom(doc, "C", "2", 0.2, 0.326, 0.2);
    add_atom(doc, "CL", "1", 0.2, 0.489, 0.2);
    add_atom(doc, "NA", "1", 0, 0, 0);
    build_sorts(doc);
    return doc;
}

TEST(Generate, HandCheckedMoleculeInP21cCellContents) {
    StructureDocument doc = hand_checked_p21c();
    cell_contents(doc);
    EXPECT_EQ(doc.crystal_system, "MONO");
    RecordingMessages m;
    generate(doc, m);
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_EQ(doc.gen.size(), 26u);
    EXPECT_EQ(count_at(doc, "Na1"), 10);
    EXPECT_EQ(count_at(doc, "Cl1"), 4);
    ASSERT_EQ(doc.bonds.size(), 12u);
    int triple = 0, half = 0;
    for (const CalcBond& b : doc.bonds) {
        if (b.multiplicity == 2) ++triple;
        if (b.width == doc.bond_width / 2) ++half;
        EXPECT_LT(b.length, 1.7);
    }
    EXPECT_EQ(triple, 4);
    EXPECT_EQ(half, 4);
    for (const Atom& a : doc.gen) {
        EXPECT_GE(a.x, -0.005);
        EXPECT_LE(a.x, 1.005);
        EXPECT_GE(a.y, -0.005);
        EXPECT_LE(a.y, 1.005);
        EXPECT_GE(a.z, -0.005);
        EXPECT_LE(a.z, 1.005);
    }
}

TEST(Generate, HandCheckedMoleculeWithoutOptionGivesOneAtomPerImage) {
    StructureDocument doc = hand_checked_p21c();
    RecordingMessages m;
    generate(doc, m);
    // 4 molecule atoms x 4 operators, and Na twice (ops 3 and 4 coincide).
    EXPECT_EQ(doc.gen.size(), 18u);
    EXPECT_EQ(doc.bonds.size(), 12u);
    // Images in operator order: operator 1 first, all atoms, then operator 2.
    EXPECT_EQ(doc.gen[0].tag, 1);
    EXPECT_EQ(doc.gen[4].name, "Na1");
    EXPECT_EQ(doc.gen[5].tag, 2);
    EXPECT_EQ(doc.gen[5].name, "H1");
}

TEST(Generate, EarlierOperatorKeepsTheSharedSite) {
    StructureDocument doc = make_document({7, 8, 9, 90, 90, 90}, "P-1");
    add_atom(doc, "C", "1", 0.5, 0, 0);  // the inversion maps it onto itself + (1, 0, 0)
    build_sorts(doc);
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 1u);
    EXPECT_EQ(doc.gen[0].tag, 1);
    EXPECT_EQ(doc.gen[0].x, 0.5);

    std::swap(doc.generation_ops[0], doc.generation_ops[1]);  // the inversion first
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 1u);
    EXPECT_EQ(doc.gen[0].tag, 1);
    EXPECT_EQ(doc.gen[0].x, -0.5);
}

TEST(Generate, ImagesNearOppositeFacesDoNotWrap) {
    StructureDocument doc = make_document({7, 8, 9, 90, 90, 90}, "P1");
    add_atom(doc, "O", "1", 0.99999, 0.3, 0.3);
    add_atom(doc, "O", "2", 0.00001, 0.3, 0.3);
    add_atom(doc, "O", "3", -0.00001, 0.3, 0.3);  // in the cell: 0.99999, as O1
    build_sorts(doc);
    RecordingMessages m;
    make_generated_atoms(doc, m);
    ASSERT_EQ(doc.gen.size(), 2u);
    EXPECT_EQ(doc.gen[0].name, "O1");
    EXPECT_EQ(doc.gen[1].name, "O2");
}

// Coordinates printed with 4 decimals (0.3333, 0.6667) on the special
// positions of a hexagonal group put the images of one site 1e-4 apart:
// they are one site. In every mode no two generated atoms end closer than
// 0.02 A and no bond is shorter than 0.1 A.
TEST(Generate, FourDecimalSpecialPositionsAreOneSiteInEveryMode) {
    const GenerationMode modes[] = {GenerationMode::None, GenerationMode::Fragments,
                                    GenerationMode::Box, GenerationMode::Sphere,
                                    GenerationMode::CellContents};
    for (GenerationMode mode : modes) {
        StructureDocument doc = make_document({3.21, 3.21, 5.21, 90, 90, 120}, "P63/mmc");
        add_atom(doc, "MG", "1", 0.3333, 0.6667, 0.25);
        add_atom(doc, "O", "1", 0.3333, 0.6667, 0.62);
        build_sorts(doc);
        doc.generation_mode = mode;
        doc.enclosure = {{2, 2, 2}, {0.5, 0.5, 0.5}, 4};
        doc.cut_box = doc.cut_sphere = mode == GenerationMode::Box;
        if (mode == GenerationMode::CellContents) cell_contents(doc);
        RecordingMessages m;
        generate(doc, m);
        SCOPED_TRACE(static_cast<int>(mode));
        ASSERT_FALSE(doc.gen.empty());
        for (std::size_t i = 0; i < doc.gen.size(); ++i)
            for (std::size_t j = i + 1; j < doc.gen.size(); ++j)
                ASSERT_GE(distance(doc.gen[i].position(), doc.gen[j].position(), doc.metric),
                          kCoincidentSites)
                    << doc.gen[i].name << " " << i << " " << j;
        for (const CalcBond& b : doc.bonds)
            EXPECT_GE(b.length, kMinBondLength);
    }
    // The two sites of 2c each once per cell: Mg at (1/3, 2/3, 1/4) and (2/3, 1/3, 3/4).
    StructureDocument doc = make_document({3.21, 3.21, 5.21, 90, 90, 120}, "P63/mmc");
    add_atom(doc, "MG", "1", 0.3333, 0.6667, 0.25);
    build_sorts(doc);
    RecordingMessages m;
    make_generated_atoms(doc, m);
    EXPECT_EQ(doc.gen.size(), 2u);
}

// Two images on either side of a cell face stay two images (no wrap), but
// a lattice translation that brings one onto the other makes them one atom.
TEST(Generate, ImagesAcrossAFaceMergeOnceTranslatedTogether) {
    StructureDocument doc = make_document({7, 8, 9, 90, 90, 90}, "P1");
    add_atom(doc, "O", "1", 0.99999, 0.3, 0.3);
    add_atom(doc, "O", "2", 0.00001, 0.3, 0.3);
    add_atom(doc, "H", "1", 0.10, 0.3, 0.3);  // 0.7 A from the site
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(count_at(doc, "O1") + count_at(doc, "O2"), 1);
    for (const CalcBond& b : doc.bonds)
        EXPECT_GE(b.length, kMinBondLength);
}

TEST(Generate, ReduceIntoCell) {
    EXPECT_EQ(reduce_coordinate(1.25), 0.25);
    EXPECT_EQ(reduce_coordinate(-0.25), 0.75);
    EXPECT_EQ(reduce_coordinate(-1.0), 0.0);
    EXPECT_EQ(reduce_coordinate(2.0), 0.0);
    EXPECT_EQ(reduce_coordinate(0.99999), 0.99999);
    EXPECT_EQ(reduce_coordinate(-1e-20), 1.0);  // rounding: 1 - 1e-20 is 1
}

TEST(Generate, CellContentsKeepsFacesEdgesAndCornersOnBothSides) {
    StructureDocument doc = make_document({6, 6, 6, 90, 90, 90}, "P1");
    add_atom(doc, "NA", "1", 0, 0, 0);           // corner: 8
    add_atom(doc, "NA", "2", 0.5, 0, 0);         // edge: 4
    add_atom(doc, "NA", "3", 0.5, 0.5, 1.0);     // face: 2
    add_atom(doc, "NA", "4", 0.004, 0.5, 0.5);   // 1.004 still in: 2
    add_atom(doc, "NA", "5", 0.006, 0.25, 0.5);  // 1.006 out: 1
    add_atom(doc, "NA", "6", 0.5, 0.5, -0.996);  // 0.004 after reduction: 2
    build_sorts(doc);
    cell_contents(doc);
    EXPECT_EQ(doc.crystal_system, "CUBI");
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(count_at(doc, "Na1"), 8);
    EXPECT_EQ(count_at(doc, "Na2"), 4);
    EXPECT_EQ(count_at(doc, "Na3"), 2);
    EXPECT_EQ(count_at(doc, "Na4"), 2);
    EXPECT_EQ(count_at(doc, "Na5"), 1);
    EXPECT_EQ(count_at(doc, "Na6"), 2);
    // Atom order: atom by atom, translations x outermost.
    EXPECT_EQ(doc.gen[0].x, 0);
    EXPECT_EQ(doc.gen[0].z, 0);
    EXPECT_EQ(doc.gen[1].z, 1);
    EXPECT_EQ(doc.gen[7].x, 1);
    EXPECT_EQ(doc.gen[7].y, 1);
    EXPECT_EQ(doc.gen[7].z, 1);
}

TEST(Generate, HexagonalCellContentsDropsPointsFarFromTheDiagonal) {
    StructureDocument doc = make_document({6, 6, 9, 90, 90, 120}, "P1");
    add_atom(doc, "NA", "1", 0.003, 0, 0.5);
    add_atom(doc, "NA", "2", 0, 0, 0.25);
    build_sorts(doc);
    cell_contents(doc);
    ASSERT_EQ(doc.crystal_system, "HEXA");
    RecordingMessages m;
    generate(doc, m);
    // Na1: (0.003, 0), (0.003, 1), (1.003, 1) kept; (1.003, 0) has |x - y| 1.003.
    EXPECT_EQ(count_at(doc, "Na1"), 3);
    // Na2: |x - y| is at most 1 at every corner of the face.
    EXPECT_EQ(count_at(doc, "Na2"), 4);

    // The rule belongs to cell contents only, not to a box of the same size.
    doc.generation_mode = GenerationMode::Box;
    doc.cut_box = true;
    generate(doc, m);
    EXPECT_EQ(count_at(doc, "Na1"), 4);
}

TEST(Generate, BoxCutKeepsSingleAtomsWholeKeepsTheMolecule) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "C", "1", 0.45, 0.5, 0.5);
    add_atom(doc, "C", "2", 0.59, 0.5, 0.5);  // 1.4 A away, outside the box
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Box;
    doc.enclosure.box = {0.3, 0.3, 0.3};
    doc.enclosure.centre = {0.4, 0.5, 0.5};  // x from 0.25 to 0.55
    doc.cut_box = true;
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 1u);
    EXPECT_EQ(doc.gen[0].name, "C1");
    EXPECT_TRUE(doc.bonds.empty());

    doc.cut_box = false;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 2u);
    EXPECT_NEAR(doc.gen[1].x, 0.59, 1e-12);
    EXPECT_EQ(doc.bonds.size(), 1u);
    EXPECT_TRUE(m.warnings.empty());
}

TEST(Generate, SphereOfRadiusZeroKeepsOnlyAtomsAtTheCentre) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "O", "1", 0.25, 0.25, 0.25);
    add_atom(doc, "O", "2", 0.25, 0.25, 0.2502);
    add_atom(doc, "O", "3", 1.25, 0.25, 0.25);  // the same site one cell on
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Sphere;
    doc.enclosure.radius = 0;
    doc.enclosure.centre = {1.25, 0.25, 0.25};
    doc.cut_sphere = true;
    RecordingMessages m;
    generate(doc, m);
    // O3, moved onto O1 as part of its fragment, is the same image as O1;
    // only O1, one cell on, lies at the centre.
    ASSERT_EQ(doc.gen.size(), 1u);
    EXPECT_EQ(doc.gen[0].name, "O1");
    EXPECT_EQ(doc.gen[0].x, 1.25);

    // Whole fragments need a distance below the radius: none at radius 0.
    doc.cut_sphere = false;
    generate(doc, m);
    EXPECT_TRUE(doc.gen.empty());
}

TEST(Generate, SphereWholeFragmentsNeedAnAtomStrictlyInside) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "C", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "C", "2", 0.625, 0.5, 0.5);  // 1.25 A
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Sphere;
    doc.enclosure.centre = {0.25, 0.5, 0.5};
    // C1 exactly on the sphere.
    doc.enclosure.radius = distance(doc.enclosure.centre, doc.asym[0].position(), doc.metric);
    doc.cut_sphere = false;
    RecordingMessages m;
    generate(doc, m);
    EXPECT_TRUE(doc.gen.empty());
    doc.cut_sphere = true;  // cut: "not above r" keeps C1
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 1u);
    EXPECT_EQ(doc.gen[0].name, "C1");
}

TEST(Generate, AsymmetricUnitFragmentJoinsAtTheFirstImageWithUTurned) {
    // P21/c in a 10 A cube-shaped cell. C2 is stored as the image by -x,
    // y+1/2, -z+1/2 of the site 1.5 A from C1; O1 bonds to nothing.
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P21/c");
    add_atom(doc, "C", "1", 0.1, 0.1, 0.1);
    add_atom(doc, "O", "1", 0.6, 0.6, 0.6);
    Atom& c2 = add_atom(doc, "C", "2", -0.25, -0.4, 0.4);
    c2.iso = 0;
    c2.adp = {0.01, 0.02, 0.03, 0.001, 0.002, 0.003};
    build_sorts(doc);
    assemble_asym_fragments(doc);
    ASSERT_EQ(doc.asym.size(), 3u);
    EXPECT_EQ(doc.asym[0].name, "C1");
    EXPECT_EQ(doc.asym[1].name, "C2");
    EXPECT_EQ(doc.asym[2].name, "O1");
    EXPECT_EQ(doc.asym[0].tag, 1);
    EXPECT_EQ(doc.asym[1].tag, 1);
    EXPECT_EQ(doc.asym[2].tag, 2);
    EXPECT_EQ(doc.asym[1].x, 0.25);
    EXPECT_NEAR(doc.asym[1].y, 0.1, 1e-15);
    EXPECT_NEAR(doc.asym[1].z, 0.1, 1e-15);
    // U' = R U R^T with R = diag(-1, 1, -1).
    const std::array<double, 6> turned{0.01, 0.02, 0.03, -0.001, 0.002, -0.003};
    EXPECT_EQ(doc.asym[1].adp, turned);
}

TEST(Generate, AsymmetricUnitIsRestoredAfterGeneration) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P21/c");
    add_atom(doc, "C", "1", 0.1, 0.1, 0.1);
    Atom& c2 = add_atom(doc, "C", "2", -0.25, -0.4, 0.4);
    c2.iso = 0;
    c2.adp = {0.02, 0.02, 0.02, 0.02, 0.02, 0.02};  // singular: made isotropic for the run
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    const std::vector<Atom> before = doc.asym;
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.asym.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(doc.asym[i].name, before[i].name);
        EXPECT_EQ(doc.asym[i].x, before[i].x);
        EXPECT_EQ(doc.asym[i].adp, before[i].adp);
        EXPECT_EQ(doc.asym[i].iso, before[i].iso);
        EXPECT_EQ(doc.asym[i].tag, before[i].tag);
    }
    ASSERT_FALSE(m.warnings.empty());
    EXPECT_EQ(
        m.warnings[0].rfind("Atom C2 has a non definite positive matrix Uij. Ueq was reset to ", 0),
        0u);
    EXPECT_EQ(m.busy_depth, 0);
}

TEST(Generate, FragmentsAreMovedSoTheirCentroidIsNearestTheCellCentre) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "C", "1", 1.30, 0.5, 0.5);
    add_atom(doc, "C", "2", 1.45, 0.5, 0.5);
    add_atom(doc, "O", "1", 0.98, 0.2, 0.2);
    add_atom(doc, "O", "2", 0.09, 0.2, 0.2);  // 1.1 A from O1 across the face
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 4u);
    // Fragment 1 (C1, C2) moved by -1 along a.
    EXPECT_EQ(doc.gen[0].name, "C1");
    EXPECT_NEAR(doc.gen[0].x, 0.30, 1e-12);
    EXPECT_NEAR(doc.gen[1].x, 0.45, 1e-12);
    EXPECT_EQ(doc.gen[0].tag, 1);
    EXPECT_EQ(doc.gen[0].colour, rgb(255, 0, 0));
    // Fragment 2: O2 joins O1 at 1.09; the centroid 1.035 is moved to 0.035.
    EXPECT_EQ(doc.gen[2].name, "O1");
    EXPECT_EQ(doc.gen[3].name, "O2");
    EXPECT_NEAR(doc.gen[2].x, -0.02, 1e-12);
    EXPECT_NEAR(doc.gen[3].x, 0.09, 1e-12);
    EXPECT_EQ(doc.gen[3].tag, 2);
    EXPECT_EQ(doc.gen[3].colour, rgb(0, 0, 255));
    EXPECT_EQ(doc.bonds.size(), 2u);
}

TEST(Generate, CentroidTieKeepsTheFirstTranslationInLoopOrder) {
    // A lone atom at x = 1 is as near the centre moved by -1 as left alone;
    // the search meets -1 first and keeps it. At x = 0, 0 comes before +1.
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "O", "1", 1.0, 0.5, 0.5);
    add_atom(doc, "O", "2", 0.0, 0.2, 0.2);
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 2u);
    EXPECT_EQ(doc.gen[0].x, 0.0);
    EXPECT_EQ(doc.gen[1].x, 0.0);
}

TEST(Generate, FragmentColoursRepeatEveryFourteen) {
    EXPECT_EQ(fragment_colour(1), rgb(255, 0, 0));
    EXPECT_EQ(fragment_colour(2), rgb(0, 0, 255));
    EXPECT_EQ(fragment_colour(3), rgb(0, 128, 0));
    EXPECT_EQ(fragment_colour(11), rgb(192, 192, 192));
    EXPECT_EQ(fragment_colour(14), rgb(0, 0, 128));
    EXPECT_EQ(fragment_colour(15), rgb(255, 0, 0));
    EXPECT_EQ(fragment_colour(28), rgb(0, 0, 128));
    EXPECT_EQ(fragment_colour(29), rgb(255, 0, 0));
    EXPECT_EQ(fragment_colour(45), rgb(0, 128, 0));
}

TEST(Generate, LabelsDisplayCopyAndFlags) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P-1");
    Atom& a = add_atom(doc, "CL", "12", 0.1, 0.2, 0.3);
    a.drawn = 0;
    a.labelled = 0;
    build_sorts(doc);
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 2u);
    ASSERT_EQ(doc.gen_labels.size(), 2u);
    EXPECT_EQ(doc.gen_labels[0], "CL12");
    EXPECT_EQ(doc.display.size(), 2u);
    EXPECT_EQ(doc.display[1].x, doc.gen[1].x);
    EXPECT_EQ(doc.gen[1].drawn, 1);
    EXPECT_EQ(doc.gen[1].labelled, 1);
    EXPECT_EQ(doc.gen[1].tag, 2);
    EXPECT_EQ(doc.gen[1].iso, 1);
}

TEST(Generate, EmptyAsymmetricUnitEmptiesTheGeneratedAtoms) {
    StructureDocument doc = make_document({10, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "C", "1", 0.1, 0.2, 0.3);
    build_sorts(doc);
    RecordingMessages m;
    generate(doc, m);
    ASSERT_EQ(doc.gen.size(), 1u);
    doc.asym.clear();
    doc.bonds.push_back({});
    generate(doc, m);
    EXPECT_TRUE(doc.gen.empty());
    EXPECT_TRUE(doc.display.empty());
    EXPECT_TRUE(doc.bonds.empty());
    EXPECT_TRUE(doc.gen_labels.empty());
}

TEST(Generate, BoxStopsAt4999AtomsWithItsMessage) {
    StructureDocument doc = make_document({5, 5, 5, 90, 90, 90}, "P1");
    add_atom(doc, "NA", "1", 0.5, 0.5, 0.5);
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Box;
    doc.enclosure.box = {20, 20, 20};  // 8000 cells
    doc.cut_box = true;
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(doc.gen.size(), 4999u);
    EXPECT_EQ(only_warnings(m), std::vector<std::string>{"Too many generated atoms"});

    doc.cut_box = false;  // whole fragments: the same limit
    RecordingMessages m2;
    generate(doc, m2);
    EXPECT_EQ(doc.gen.size(), 4999u);
    EXPECT_EQ(only_warnings(m2), std::vector<std::string>{"Too many generated atoms"});
}

TEST(Generate, MoreThan500FragmentsStopTheAssembly) {
    StructureDocument doc = make_document({100, 100, 100, 90, 90, 90}, "P1");
    for (int i = 0; i < 501; ++i)  // no radius: no sort bonds them
        add_atom(doc, "XX", std::to_string(i + 1), 0.01 * (i % 50), 0.01 * (i / 50), 0.5);
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(only_warnings(m), std::vector<std::string>{"Too many generated atoms"});
    ASSERT_EQ(doc.gen.size(), 500u);
    EXPECT_EQ(doc.gen.back().tag, 500);
    EXPECT_EQ(doc.gen.back().name, "Xx500");
}

TEST(Generate, AFragmentOfMoreThan500AtomsStopsTheAssembly) {
    // A chain of 502 carbons 1.5 A apart along a, and a lone oxygen.
    StructureDocument doc = make_document({1000, 10, 10, 90, 90, 90}, "P1");
    add_atom(doc, "O", "1", 0.9, 0.5, 0.5);
    for (int i = 0; i < 502; ++i)
        add_atom(doc, "C", std::to_string(i + 1), 0.0015 * i, 0.5, 0.5);
    build_sorts(doc);
    doc.generation_mode = GenerationMode::Fragments;
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(only_warnings(m), std::vector<std::string>{"Too many atoms"});
    // The oxygen's fragment and the first 500 carbons of the chain.
    ASSERT_EQ(doc.gen.size(), 501u);
    EXPECT_EQ(doc.gen[0].name, "O1");
    EXPECT_EQ(doc.gen[1].tag, 2);
    EXPECT_EQ(doc.gen[500].name, "C500");
}

TEST(Generate, MoreThan5000ImagesKeepTheFirst5000) {
    StructureDocument doc = make_document({60, 60, 60, 90, 90, 90}, "Fm-3m");
    for (int i = 0; i < 27; ++i)  // general positions: 192 images each; XX has no bonds
        add_atom(doc, "XX", std::to_string(i + 1), 0.011 + 0.013 * i, 0.031 + 0.007 * i,
                 0.047 + 0.0051 * i);
    build_sorts(doc);
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(doc.gen.size(), 5000u);
    EXPECT_EQ(only_warnings(m), std::vector<std::string>{"Too many generated atoms"});
    // Every image survives, so the 5000th is image 5000 in operator order.
    EXPECT_EQ(doc.gen.back().tag, 4999 / 27 + 1);
    EXPECT_EQ(doc.gen.back().name, "Xx" + std::to_string(4999 % 27 + 1));
}

TEST(Generate, InorganicCellContentsInFm3m) {
    // Rock salt: Na at 0,0,0 and Cl at 1/2,1/2,1/2 make 4 + 4 sites; the cell
    // shows Na on 8 corners, 6 faces (14) and Cl on 12 edges and the centre (13).
    StructureDocument doc = make_document({5.64, 5.64, 5.64, 90, 90, 90}, "Fm-3m");
    add_atom(doc, "NA", "1", 0, 0, 0);
    add_atom(doc, "CL", "1", 0.5, 0.5, 0.5);
    build_sorts(doc);
    RecordingMessages m0;
    make_generated_atoms(doc, m0);
    EXPECT_EQ(doc.gen.size(), 8u);
    cell_contents(doc);
    RecordingMessages m;
    generate(doc, m);
    EXPECT_EQ(count_at(doc, "Na1"), 14);
    EXPECT_EQ(count_at(doc, "Cl1"), 13);
    // Na-Cl 2.82 A is within 1.2 x (1.66 + 1.02) = 3.216; Na-Na 3.988 A is
    // just beyond 3.984 and Cl-Cl beyond 2.448. The Cl at the centre has its
    // 6 Na in the cell, each Cl on an edge 4 of its 6: 6 + 12 x 4 = 54.
    EXPECT_EQ(doc.bonds.size(), 54u);
}

TEST(GenerationOption, CellContentsSetsTheBoxAndSelectsEveryPosition) {
    StructureDocument doc = make_document({10, 10, 12, 90, 90, 90}, "P21/c");
    doc.generation_ops.clear();
    for (auto& p : doc.positions)
        p.selected = 0;
    doc.enclosure.box = {3, 3, 3};
    doc.enclosure.centre = {0, 0, 0};
    doc.crystal_system = "MONO";
    RecordingMessages m;
    set_generation_option(doc, GenerationMode::CellContents, m);
    EXPECT_TRUE(m.log.empty());
    EXPECT_EQ(doc.generation_mode, GenerationMode::CellContents);
    EXPECT_EQ(doc.enclosure.box, (Vec3{1.01, 1.01, 1.01}));
    EXPECT_EQ(doc.enclosure.centre, (Vec3{0.5, 0.5, 0.5}));
    // The system of the group stays (a monoclinic group in a cell with beta 90)...
    EXPECT_EQ(doc.crystal_system, "MONO");
    EXPECT_TRUE(doc.cut_box);
    EXPECT_TRUE(doc.regeneration_needed);
    EXPECT_EQ(doc.generation_ops.size(), 4u);
    for (const auto& p : doc.positions)
        EXPECT_EQ(p.selected, 1);
    // ... and without a group the cell decides.
    doc.space_group.clear();
    set_generation_option(doc, GenerationMode::CellContents, m);
    EXPECT_EQ(doc.crystal_system, "TETR");
}

TEST(GenerationOption, BoxSphereAndFragmentsAskAboutColours) {
    StructureDocument doc = make_document({10, 10, 12, 90, 90, 90}, "P1");
    RecordingMessages m;
    m.answers = {Answer::Yes, Answer::Cancel, Answer::No};
    set_generation_option(doc, GenerationMode::Box, m);
    EXPECT_TRUE(doc.colour_fragments);
    EXPECT_EQ(doc.generation_mode, GenerationMode::Box);
    set_generation_option(doc, GenerationMode::Sphere, m);
    EXPECT_FALSE(doc.colour_fragments);
    EXPECT_EQ(doc.generation_mode, GenerationMode::Sphere);
    set_generation_option(doc, GenerationMode::Fragments, m);
    EXPECT_FALSE(doc.colour_fragments);
    EXPECT_EQ(m.log,
              (std::vector<std::string>(3, "confirm: Do you want to colour the fragments?")));
    doc.regeneration_needed = false;
    set_generation_option(doc, GenerationMode::None, m);
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_TRUE(doc.regeneration_needed);
}

}  // namespace
}  // namespace veldor
