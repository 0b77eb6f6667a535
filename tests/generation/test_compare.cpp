// The fast generation steps and bond search against the plain loops, on many
// random structures: same atoms (every field, coordinates to the bit), same
// order, same fragment numbers, same bonds, same messages.

#include <gtest/gtest.h>

#include <random>

#include "direct.h"
#include "fixtures.h"
#include "generation/bonds.h"
#include "generation/generate.h"

namespace veldor {
namespace {

using testing::random_structure;
using testing::RandomOptions;

void expect_same_atoms(const std::vector<Atom>& fast, const std::vector<Atom>& plain,
                       const std::string& what) {
    ASSERT_EQ(fast.size(), plain.size()) << what;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        const Atom& f = fast[i];
        const Atom& p = plain[i];
        SCOPED_TRACE(what + " atom " + std::to_string(i + 1) + " " + p.name);
        ASSERT_EQ(f.name, p.name);
        ASSERT_EQ(f.label, p.label);
        ASSERT_EQ(f.element, p.element);
        ASSERT_EQ(f.x, p.x);
        ASSERT_EQ(f.y, p.y);
        ASSERT_EQ(f.z, p.z);
        ASSERT_EQ(f.adp, p.adp);
        ASSERT_EQ(f.element_index, p.element_index);
        ASSERT_EQ(f.colour, p.colour);
        ASSERT_EQ(f.tag, p.tag);
        ASSERT_EQ(f.iso, p.iso);
        ASSERT_EQ(f.drawn, p.drawn);
        ASSERT_EQ(f.labelled, p.labelled);
        ASSERT_EQ(f.part, p.part);
    }
}

void expect_same_bonds(const std::vector<CalcBond>& fast, const std::vector<CalcBond>& plain) {
    ASSERT_EQ(fast.size(), plain.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
        SCOPED_TRACE("bond " + std::to_string(i + 1));
        ASSERT_EQ(fast[i].atom1, plain[i].atom1);
        ASSERT_EQ(fast[i].atom2, plain[i].atom2);
        ASSERT_EQ(fast[i].length, plain[i].length);
        ASSERT_EQ(fast[i].multiplicity, plain[i].multiplicity);
        ASSERT_EQ(fast[i].width, plain[i].width);
        ASSERT_EQ(fast[i].colour, plain[i].colour);
    }
}

std::string describe(const StructureDocument& doc, std::uint64_t seed) {
    const char* modes[] = {"none", "box", "sphere", "fragments", "cell contents"};
    std::string s = "seed " + std::to_string(seed) + " " + doc.space_group + " " +
                    std::to_string(doc.asym.size()) + " atoms, " +
                    std::to_string(doc.generation_ops.size()) + " operators, " +
                    modes[static_cast<int>(doc.generation_mode)];
    if (doc.generation_mode == GenerationMode::Box) s += doc.cut_box ? " cut" : " whole";
    if (doc.generation_mode == GenerationMode::Sphere) s += doc.cut_sphere ? " cut" : " whole";
    return s;
}

TEST(FastMatchesPlainLoops, WholeGenerationOnRandomStructures) {
    int with_bonds = 0, with_fragments = 0;
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        std::mt19937_64 rng(seed);
        StructureDocument doc = random_structure(rng);
        SCOPED_TRACE(describe(doc, seed));
        StructureDocument plain = doc;
        RecordingMessages fast_messages, plain_messages;
        generate(doc, fast_messages);
        direct::generate(plain, plain_messages);
        expect_same_atoms(doc.gen, plain.gen, "generated");
        expect_same_atoms(doc.display, plain.display, "display");
        expect_same_atoms(doc.asym, plain.asym, "asymmetric unit");
        ASSERT_EQ(doc.gen_labels, plain.gen_labels);
        expect_same_bonds(doc.bonds, plain.bonds);
        ASSERT_EQ(fast_messages.log, plain_messages.log);
        ASSERT_EQ(fast_messages.busy_depth, 0);
        if (!doc.bonds.empty()) ++with_bonds;
        if (!doc.gen.empty() && doc.gen.back().tag > 1 &&
            doc.generation_mode != GenerationMode::None &&
            doc.generation_mode != GenerationMode::CellContents)
            ++with_fragments;
    }
    // The random structures do exercise bonds and fragments.
    EXPECT_GT(with_bonds, 150);
    EXPECT_GT(with_fragments, 50);
}

TEST(FastMatchesPlainLoops, EachStepOnRandomStructures) {
    for (std::uint64_t seed = 1000; seed < 1100; ++seed) {
        std::mt19937_64 rng(seed);
        StructureDocument doc = random_structure(rng);
        SCOPED_TRACE(describe(doc, seed));
        RecordingMessages m1, m2;

        StructureDocument a = doc, b = doc;
        assemble_asym_fragments(a);
        direct::assemble_asym_fragments(b);
        expect_same_atoms(a.asym, b.asym, "asymmetric fragments");

        make_generated_atoms(a, m1);
        direct::make_generated_atoms(b, m2);
        expect_same_atoms(a.gen, b.gen, "images");

        StructureDocument c = a, d = a;
        assemble_generated_fragments(c, m1);
        direct::assemble_generated_fragments(d, m2);
        expect_same_atoms(c.gen, d.gen, "fragments");

        // Box and sphere, cut and whole, on the assembled fragments.
        for (int variant = 0; variant < 4; ++variant) {
            StructureDocument e = c, f = c;
            e.cut_box = f.cut_box = e.cut_sphere = f.cut_sphere = (variant % 2) == 0;
            if (variant < 2) {
                if (e.generation_mode != GenerationMode::CellContents)
                    e.generation_mode = f.generation_mode = GenerationMode::Box;
                fill_box(e, m1);
                direct::fill_box(f, m2);
            } else {
                if (e.enclosure.radius == 0) e.enclosure.radius = f.enclosure.radius = 6;
                fill_sphere(e, m1);
                direct::fill_sphere(f, m2);
            }
            expect_same_atoms(e.gen, f.gen, variant < 2 ? "box" : "sphere");
            search_bonds(e, m1);
            direct::search_bonds(f, m2);
            expect_same_bonds(e.bonds, f.bonds);
        }
        ASSERT_EQ(m1.log, m2.log);
    }
}

TEST(FastMatchesPlainLoops, BondSearchOnLargeRandomLists) {
    RandomOptions options;
    options.max_atoms = 200;
    options.max_generated = 3000;
    options.fragments = false;
    for (std::uint64_t seed = 5000; seed < 5040; ++seed) {
        std::mt19937_64 rng(seed);
        StructureDocument doc = random_structure(rng, options);
        SCOPED_TRACE(describe(doc, seed));
        SilentMessages quiet;
        make_generated_atoms(doc, quiet);
        StructureDocument plain = doc;
        RecordingMessages m1, m2;
        search_bonds(doc, m1);
        direct::search_bonds(plain, m2);
        expect_same_bonds(doc.bonds, plain.bonds);
        ASSERT_EQ(m1.log, m2.log);
    }
}

TEST(FastMatchesPlainLoops, CoincidentImagesOnCrowdedSites) {
    // Many images on and near special positions of Fm-3m.
    for (std::uint64_t seed = 7000; seed < 7030; ++seed) {
        std::mt19937_64 rng(seed);
        StructureDocument doc = testing::make_document({5.4, 5.4, 5.4, 90, 90, 90}, "Fm-3m");
        std::uniform_int_distribution<int> pick(0, 8);
        const double specials[] = {0, 0.25, 0.5, 0.75, 1, 0.125, 0.99995, 0.00005, -0.00003};
        for (int i = 0; i < 8; ++i)
            testing::add_atom(doc, "NA", std::to_string(i + 1), specials[pick(rng)],
                              specials[pick(rng)], specials[pick(rng)]);
        StructureDocument plain = doc;
        SilentMessages quiet;
        make_generated_atoms(doc, quiet);
        direct::make_generated_atoms(plain, quiet);
        expect_same_atoms(doc.gen, plain.gen, "images, seed " + std::to_string(seed));
    }
}

}  // namespace
}  // namespace veldor
