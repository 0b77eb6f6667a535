#pragma once
// Structures for the generation tests and benchmarks: hand-listed space
// groups, documents with a cell and operators, atoms, radii, and random
// structures for comparing the fast steps with the plain loops.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/elements.h"

namespace veldor::testing {

// Operators of a group, expanded by its centring and inversion as the
// catalogue would: "P-1", "P21/c", "C2/c", "Pbca", "R-3" (hexagonal axes),
// "Fm-3m", "P63/mmc", "P1".
std::vector<EquivalentPosition> group_positions(const std::string& group);
const std::vector<std::string>& group_names();

// A document with the cell (metric computed, crystal system from the cell)
// and the group's positions, every one selected and a generation operator.
StructureDocument make_document(const std::array<double, 6>& cell, const std::string& group);

// Appends an atom (name from element and label) with an isotropic U.
Atom& add_atom(StructureDocument& doc, const std::string& element, const std::string& label,
               double x, double y, double z, int part = 0, double uiso = 0.02);

// The radii the tests use (close to common covalent radii).
RadiiTable test_radii();
// Element sorts from the atoms with test_radii(), then bond sorts.
void build_sorts(StructureDocument& doc);

// Fractional coordinates of a Cartesian offset (angstrom) from a fractional point.
Vec3 offset(const StructureDocument& doc, const Vec3& from, const Vec3& cartesian);

struct RandomOptions {
    int max_atoms = 24;
    int max_generated = 300;  // atoms x operators kept below this
    bool fragments = true;    // allow the fragment, box and sphere modes
};
// A random structure: a cell (sometimes one the group does not fit), a
// group, molecules of bonded atoms near or across the cell faces, atoms on
// special positions and faces, repeats that coincide, parts, hydrogens,
// anisotropic atoms, and a random generation mode with its enclosure.
StructureDocument random_structure(std::mt19937_64& rng, const RandomOptions& options = {});

}  // namespace veldor::testing
