#include "fixtures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/metric.h"
#include "generation/bonds.h"
#include "symmetry/operators.h"

namespace veldor::testing {

namespace {

struct Group {
    std::string name;
    std::vector<std::string> ops;  // before centring and inversion
    std::string lattice;
    std::string system;  // for the centring vectors
    bool centrosymmetric;
};

// The proper rotations of the cube as signed permutations of X, Y, Z.
std::vector<std::string> cubic_rotations() {
    const char* axis[3] = {"X", "Y", "Z"};
    int perm[3] = {0, 1, 2};
    std::vector<std::string> out;
    do {
        // Sign of the permutation.
        int inversions = 0;
        for (int i = 0; i < 3; ++i)
            for (int j = i + 1; j < 3; ++j)
                if (perm[i] > perm[j]) ++inversions;
        const int parity = inversions % 2 == 0 ? 1 : -1;
        for (int s = 0; s < 8; ++s) {
            int sign[3] = {(s & 1) ? -1 : 1, (s & 2) ? -1 : 1, (s & 4) ? -1 : 1};
            if (parity * sign[0] * sign[1] * sign[2] != 1) continue;
            std::string text;
            for (int r = 0; r < 3; ++r) {
                if (r) text += ",";
                text += (sign[r] < 0 ? "-" : "") + std::string(axis[perm[r]]);
            }
            out.push_back(text);
        }
    } while (std::next_permutation(perm, perm + 3));
    // The identity first, as a catalogue lists it.
    std::stable_partition(out.begin(), out.end(),
                          [](const std::string& t) { return t == "X,Y,Z"; });
    return out;
}

const std::vector<Group>& groups() {
    static const std::vector<Group> list = {
        {"P1", {"X,Y,Z"}, "P", "TRIC", false},
        {"P-1", {"X,Y,Z"}, "P", "TRIC", true},
        {"P21/c", {"X,Y,Z", "-X,Y+1/2,-Z+1/2"}, "P", "MONO", true},
        {"C2/c", {"X,Y,Z", "-X,Y,-Z+1/2"}, "C", "MONO", true},
        {"Pbca",
         {"X,Y,Z", "-X+1/2,-Y,Z+1/2", "-X,Y+1/2,-Z+1/2", "X+1/2,-Y+1/2,-Z"},
         "P",
         "ORTH",
         true},
        {"R-3", {"X,Y,Z", "-Y,X-Y,Z", "-X+Y,-X,Z"}, "R", "HEXA", true},
        {"Fm-3m", cubic_rotations(), "F", "CUBI", true},
        {"P63/mmc",
         {"X,Y,Z", "-Y,X-Y,Z", "-X+Y,-X,Z", "-X,-Y,Z+1/2", "Y,-X+Y,Z+1/2", "X-Y,X,Z+1/2", "Y,X,-Z",
          "X-Y,-Y,-Z", "-X,-X+Y,-Z", "-Y,-X,-Z+1/2", "-X+Y,Y,-Z+1/2", "X,X-Y,-Z+1/2"},
         "P",
         "HEXA",
         true},
    };
    return list;
}

}  // namespace

const std::vector<std::string>& group_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const Group& g : groups())
            n.push_back(g.name);
        return n;
    }();
    return names;
}

std::vector<EquivalentPosition> group_positions(const std::string& name) {
    for (const Group& g : groups()) {
        if (g.name != name) continue;
        std::vector<EquivalentPosition> positions;
        for (const std::string& text : g.ops) {
            const auto op = decode_operator(text);
            if (!op) throw std::runtime_error("cannot decode " + text);
            positions.push_back({*op, text, 0});
        }
        expand_by_centring(positions, centring_vectors(g.lattice, g.system));
        if (g.centrosymmetric) expand_by_inversion(positions);
        return positions;
    }
    throw std::runtime_error("unknown group " + name);
}

StructureDocument make_document(const std::array<double, 6>& cell, const std::string& group) {
    StructureDocument doc;
    doc.cell_parameters = cell;
    SilentMessages quiet;
    compute_metric(doc, quiet);
    set_crystal_system_from_cell(doc);
    doc.positions = group_positions(group);
    for (EquivalentPosition& p : doc.positions) {
        p.selected = 1;
        doc.generation_ops.push_back(p.op);
    }
    doc.space_group = group;
    return doc;
}

Atom& add_atom(StructureDocument& doc, const std::string& element, const std::string& label,
               double x, double y, double z, int part, double uiso) {
    Atom a;
    a.element = element;
    a.label = label;
    a.name = make_atom_name(element, label);
    a.x = x;
    a.y = y;
    a.z = z;
    a.iso = 1;
    a.adp = {uiso, 0, 0, 0, 0, 0};
    a.part = part;
    doc.asym.push_back(a);
    return doc.asym.back();
}

RadiiTable test_radii() {
    return {{"H", 0.31}, {"C", 0.76},  {"N", 0.71},  {"O", 0.66},
            {"S", 1.05}, {"CL", 1.02}, {"FE", 1.32}, {"NA", 1.66}};
}

void build_sorts(StructureDocument& doc) {
    SilentMessages quiet;
    build_element_sorts(doc, test_radii(), quiet);
    build_bond_sorts(doc);
}

Vec3 offset(const StructureDocument& doc, const Vec3& from, const Vec3& cartesian) {
    const Vec3 d = cart_to_frac(cartesian, doc.metric);
    return {from[0] + d[0], from[1] + d[1], from[2] + d[2]};
}

StructureDocument random_structure(std::mt19937_64& rng, const RandomOptions& options) {
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng);
    };
    auto chance = [&](double p) { return uniform(0, 1) < p; };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    const std::string group =
        group_names()[static_cast<std::size_t>(pick(static_cast<int>(group_names().size())))];
    std::array<double, 6> cell{};
    const double small = chance(0.2) ? 0.4 : 1.0;  // small cells make polymeric networks
    auto length = [&] { return uniform(4, 14) * small; };
    if (chance(0.15) || group == "P1" || group == "P-1") {
        cell = {length(), length(), length(), uniform(70, 115), uniform(70, 115), uniform(70, 115)};
    } else if (group == "P21/c" || group == "C2/c") {
        cell = {length(), length(), length(), 90, uniform(92, 118), 90};
    } else if (group == "Pbca") {
        cell = {length(), length(), length(), 90, 90, 90};
    } else if (group == "Fm-3m") {
        const double a = length();
        cell = {a, a, a, 90, 90, 90};
    } else {
        const double a = length();
        cell = {a, a, length(), 90, 90, 120};
    }
    StructureDocument doc = make_document(cell, group);
    if (chance(0.3)) {  // a subset of the positions generates
        doc.generation_ops.clear();
        for (EquivalentPosition& p : doc.positions) {
            p.selected = chance(0.6) ? 1 : 0;
            if (p.selected) doc.generation_ops.push_back(p.op);
        }
    }
    const int nops = std::max<int>(1, static_cast<int>(doc.generation_ops.size()));
    const int budget = std::max(1, std::min(options.max_atoms, options.max_generated / nops));
    const int natoms = 1 + pick(budget);

    const char* elements[] = {"C", "C", "C", "C", "H", "H", "O", "N", "CL", "FE", "S", "XX"};
    auto element = [&] { return std::string(elements[pick(12)]); };
    const double specials[] = {0, 0.25, 0.5, 0.75, 1, 1.0 / 3, 2.0 / 3, 0.99999, 0.00001};
    int label = 0;
    auto add = [&](const Vec3& p) -> Atom& {
        Atom& a = add_atom(doc, element(), std::to_string(++label), p[0], p[1], p[2],
                           chance(0.2) ? 1 + pick(2) : 0, uniform(0.01, 0.05));
        if (chance(0.3)) {
            a.iso = 0;
            a.adp = {uniform(0.01, 0.05),    uniform(0.01, 0.05),    uniform(0.01, 0.05),
                     uniform(-0.005, 0.005), uniform(-0.005, 0.005), uniform(-0.005, 0.005)};
            if (chance(0.1)) a.adp[3] = 0.2;  // not positive definite
            if (chance(0.05)) a.adp = {0.02, 0.02, 0.02, 0.02, 0.02, 0.02};  // singular
        }
        if (chance(0.03)) a.name.clear();  // a deleted record
        return a;
    };
    while (static_cast<int>(doc.asym.size()) < natoms) {
        const double kind = uniform(0, 1);
        if (kind < 0.5) {  // a molecule: a chain of bonded atoms
            Vec3 p{uniform(-0.3, 1.3), uniform(-0.3, 1.3), uniform(-0.3, 1.3)};
            const int k = 1 + pick(5);
            for (int i = 0; i < k && static_cast<int>(doc.asym.size()) < natoms; ++i) {
                add(p);
                const double theta = uniform(0, 3.14159), phi = uniform(0, 6.28318),
                             r = uniform(0.9, 1.7);
                p = offset(doc, p,
                           {r * std::sin(theta) * std::cos(phi),
                            r * std::sin(theta) * std::sin(phi), r * std::cos(theta)});
            }
        } else if (kind < 0.65) {  // a special position or a face
            add({specials[pick(9)], specials[pick(9)],
                 chance(0.5) ? specials[pick(9)] : uniform(0, 1)});
        } else if (kind < 0.8 && !doc.asym.empty()) {  // a repeat that coincides with an image
            const Atom& src =
                doc.asym[static_cast<std::size_t>(pick(static_cast<int>(doc.asym.size())))];
            const SymOp& op = doc.positions[static_cast<std::size_t>(
                                                pick(static_cast<int>(doc.positions.size())))]
                                  .op;
            Vec3 p = op.apply(src.position());
            for (double& v : p)
                v += static_cast<double>(pick(3) - 1) + (chance(0.3) ? uniform(-5e-5, 5e-5) : 0);
            add(p);
        } else {
            add({uniform(-0.5, 1.5), uniform(-0.5, 1.5), uniform(-0.5, 1.5)});
        }
    }
    build_sorts(doc);
    if (chance(0.1) && !doc.bond_sorts.empty()) {  // edited sorts
        doc.bond_sorts[static_cast<std::size_t>(pick(static_cast<int>(doc.bond_sorts.size())))]
            .max_distance = 0;
        doc.bond_sorts.push_back(doc.bond_sorts[static_cast<std::size_t>(
            pick(static_cast<int>(doc.bond_sorts.size())))]);
        doc.bond_sorts.back().max_distance *= 1.3;
    }

    const int modes = options.fragments ? 5 : 2;
    switch (pick(modes)) {
        case 0:
            doc.generation_mode = GenerationMode::None;
            break;
        case 1:
            doc.generation_mode = GenerationMode::CellContents;
            doc.enclosure.box = {1.01, 1.01, 1.01};
            doc.enclosure.centre = {0.5, 0.5, 0.5};
            doc.cut_box = true;
            break;
        case 2:
            doc.generation_mode = GenerationMode::Fragments;
            break;
        case 3:
            doc.generation_mode = GenerationMode::Box;
            doc.enclosure.box = {uniform(0.2, 2.2), uniform(0.2, 2.2), uniform(0.2, 2.2)};
            doc.enclosure.centre = {uniform(-0.2, 1.2), uniform(-0.2, 1.2), uniform(-0.2, 1.2)};
            doc.cut_box = chance(0.5);
            break;
        default:
            doc.generation_mode = GenerationMode::Sphere;
            doc.enclosure.radius = chance(0.1) ? 0 : uniform(1, 12);
            doc.enclosure.centre =
                chance(0.3) ? doc.asym.front().position()
                            : Vec3{uniform(-0.2, 1.2), uniform(-0.2, 1.2), uniform(-0.2, 1.2)};
            doc.cut_sphere = chance(0.5);
            break;
    }
    return doc;
}

}  // namespace veldor::testing
