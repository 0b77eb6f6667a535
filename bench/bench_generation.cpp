// Generation + bond search as Plot runs them, on the structures the figures
// in README.md name, and the plain pair-by-pair loops for comparison.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/metric.h"
#include "direct.h"
#include "fixtures.h"
#include "generation/generate.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::build_sorts;
using testing::make_document;

// A molecule grown atom by atom in Cartesian space: each new atom 1.5 A
// (hydrogen 1.0 A) from a heavy atom already there, at least 1.9 A from
// every other one, within a sphere around its first atom.
std::vector<std::pair<std::string, Vec3>> molecule(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1, 1), p(0, 1);
    std::vector<std::pair<std::string, Vec3>> atoms{{"C", {0, 0, 0}}};
    while (static_cast<int>(atoms.size()) < n) {
        const std::size_t from =
            std::uniform_int_distribution<std::size_t>(0, atoms.size() - 1)(rng);
        if (atoms[from].first == "H") continue;
        const double r = p(rng);
        const std::string element = r < 0.3 ? "H" : r < 0.4 ? "O" : r < 0.45 ? "N" : "C";
        Vec3 d{u(rng), u(rng), u(rng)};
        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (len < 0.1) continue;
        const double bond = element == "H" ? 1.0 : 1.5;
        const Vec3 q{atoms[from].second[0] + d[0] / len * bond,
                     atoms[from].second[1] + d[1] / len * bond,
                     atoms[from].second[2] + d[2] / len * bond};
        // Kept compact, within a sphere that grows with the atom count.
        if (std::hypot(q[0], q[1], q[2]) > 1.4 * std::cbrt(static_cast<double>(n)) + 1) continue;
        bool clash = false;
        for (std::size_t i = 0; i < atoms.size() && !clash; ++i) {
            if (i == from) continue;
            const Vec3& a = atoms[i].second;
            clash = std::hypot(a[0] - q[0], a[1] - q[1], a[2] - q[2]) < 1.9;
        }
        if (!clash) atoms.push_back({element, q});
    }
    return atoms;
}

// k molecules of n atoms in the asymmetric unit of P21/c, on a grid 16 A
// apart in the quarter cell x, y, z in 0..1/2, so that no two molecules or
// images touch; the cell grows with k.
StructureDocument molecular_crystal(int k, int n) {
    const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(k)) - 1e-9));
    const double s = 2.0 * side;
    StructureDocument doc = make_document({16.5 * s, 16 * s, 16.2 * s, 90, 98, 90}, "P21/c");
    int label = 0;
    for (int m = 0; m < k; ++m) {
        const Vec3 centre{0.5 * (m % side + 0.5) / side, 0.5 * ((m / side) % side + 0.5) / side,
                          0.5 * (m / (side * side) + 0.5) / side};
        for (const auto& [element, cart] : molecule(n, 17 + static_cast<unsigned>(m))) {
            const Vec3 f = testing::offset(doc, centre, cart);
            add_atom(doc, element, std::to_string(++label), f[0], f[1], f[2]);
        }
    }
    build_sorts(doc);
    return doc;
}

void cell_contents(StructureDocument& doc) {
    SilentMessages quiet;
    set_generation_option(doc, GenerationMode::CellContents, quiet);
}

template <class Generate>
void run(benchmark::State& state, StructureDocument doc, Generate generate_fn) {
    SilentMessages quiet;
    for (auto _ : state) {
        generate_fn(doc, quiet);
        benchmark::DoNotOptimize(doc.bonds.data());
    }
    state.counters["atoms"] = static_cast<double>(doc.gen.size());
    state.counters["bonds"] = static_cast<double>(doc.bonds.size());
}

StructureDocument p21c_molecule() {
    StructureDocument doc = make_document({14, 16, 15, 90, 103.5, 90}, "P21/c");
    int label = 0;
    for (const auto& [element, cart] : molecule(60, 5)) {
        const Vec3 f = testing::offset(doc, {0.25, 0.25, 0.25}, cart);
        add_atom(doc, element, std::to_string(++label), f[0], f[1], f[2]);
    }
    build_sorts(doc);
    cell_contents(doc);
    return doc;
}

// Five sites of Fm-3m: 4a, 4b, 8c, 24e (x 0 0) and 32f (x x x).
StructureDocument fm3m_inorganic() {
    StructureDocument doc = make_document({9.8, 9.8, 9.8, 90, 90, 90}, "Fm-3m");
    add_atom(doc, "NA", "1", 0, 0, 0);
    add_atom(doc, "CL", "1", 0.5, 0.5, 0.5);
    add_atom(doc, "S", "1", 0.25, 0.25, 0.25);
    add_atom(doc, "O", "1", 0.23, 0, 0);
    add_atom(doc, "FE", "1", 0.38, 0.38, 0.38);
    build_sorts(doc);
    cell_contents(doc);
    return doc;
}

StructureDocument asym400_fragments() {
    StructureDocument doc = molecular_crystal(10, 40);
    doc.generation_mode = GenerationMode::Fragments;
    return doc;
}

// Diamond in a P1 cell, second neighbours bonded too (an edited C-C
// distance), in a box of 12 x 12 x 12 cells: both limits are reached.
StructureDocument limits() {
    StructureDocument doc = make_document({3.567, 3.567, 3.567, 90, 90, 90}, "P1");
    const double sites[8][3] = {{0, 0, 0},          {0, 0.5, 0.5},      {0.5, 0, 0.5},
                                {0.5, 0.5, 0},      {0.25, 0.25, 0.25}, {0.25, 0.75, 0.75},
                                {0.75, 0.25, 0.75}, {0.75, 0.75, 0.25}};
    for (int i = 0; i < 8; ++i)
        add_atom(doc, "C", std::to_string(i + 1), sites[i][0], sites[i][1], sites[i][2]);
    build_sorts(doc);
    doc.bond_sorts[0].max_distance = 2.6;
    doc.generation_mode = GenerationMode::Box;
    doc.enclosure.box = {12, 12, 12};
    doc.cut_box = true;
    return doc;
}

void BM_P21c_60AtomMolecule_CellContents(benchmark::State& state) {
    run(state, p21c_molecule(), generate);
}
void BM_Fm3m_5AtomInorganic_CellContents(benchmark::State& state) {
    run(state, fm3m_inorganic(), generate);
}
void BM_P21c_400AtomAsym_Fragments(benchmark::State& state) {
    run(state, asym400_fragments(), generate);
}
void BM_Limits_5000Atoms_10000Bonds(benchmark::State& state) {
    run(state, limits(), generate);
}

// Growth with the number of generated atoms: k 60-atom molecules per
// asymmetric unit, 240 k atoms in the cell.
void BM_Scaling_CellContents(benchmark::State& state) {
    StructureDocument doc = molecular_crystal(static_cast<int>(state.range(0)), 60);
    cell_contents(doc);
    run(state, std::move(doc), generate);
}
void BM_Scaling_Fragments(benchmark::State& state) {
    StructureDocument doc = molecular_crystal(static_cast<int>(state.range(0)), 60);
    doc.generation_mode = GenerationMode::Fragments;
    run(state, std::move(doc), generate);
}

// The plain loops on the same structures.
void BM_Plain_P21c_60AtomMolecule_CellContents(benchmark::State& state) {
    run(state, p21c_molecule(), direct::generate);
}
void BM_Plain_Fm3m_5AtomInorganic_CellContents(benchmark::State& state) {
    run(state, fm3m_inorganic(), direct::generate);
}
void BM_Plain_P21c_400AtomAsym_Fragments(benchmark::State& state) {
    run(state, asym400_fragments(), direct::generate);
}
void BM_Plain_Limits_5000Atoms_10000Bonds(benchmark::State& state) {
    run(state, limits(), direct::generate);
}

BENCHMARK(BM_P21c_60AtomMolecule_CellContents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fm3m_5AtomInorganic_CellContents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_P21c_400AtomAsym_Fragments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Limits_5000Atoms_10000Bonds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scaling_CellContents)->RangeMultiplier(2)->Range(1, 16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scaling_Fragments)->RangeMultiplier(2)->Range(1, 16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_P21c_60AtomMolecule_CellContents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_Fm3m_5AtomInorganic_CellContents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_P21c_400AtomAsym_Fragments)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Plain_Limits_5000Atoms_10000Bonds)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace veldor

BENCHMARK_MAIN();
