#pragma once
// The synthetic scenes the drawing benchmarks share.

#include <filesystem>
#include <random>

#include "core/adp.h"
#include "core/metric.h"
#include "drawing/scene.h"
#include "drawing/view.h"

namespace veldor {

// Atoms on a slightly shaken grid 1.45 A apart, bonded to their grid
// neighbours up to `max_bonds`, with random anisotropic U, seen from a
// general direction.
struct Scene {
    StructureDocument doc;
    DrawingState state;
    SilentMessages msg;
    DrawingEnvironment env;

    Scene(int nx, int ny, int nz, int max_bonds) {
        const double step = 1.45;
        doc.cell_parameters = {nx * step + 2, ny * step + 2, nz * step + 2, 90, 90, 90};
        compute_metric(doc, msg);
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> jitter(-0.1, 0.1), u(0.012, 0.05),
            off(-0.004, 0.004);
        const auto f = anisotropic_factors(doc.metric);
        auto index = [&](int i, int j, int k) { return (i * ny + j) * nz + k; };
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j)
                for (int k = 0; k < nz; ++k) {
                    Atom a;
                    a.name = "C" + std::to_string(index(i, j, k) + 1);
                    a.element = "C";
                    a.set_position({(1 + i * step + jitter(rng)) / doc.cell_parameters[0],
                                    (1 + j * step + jitter(rng)) / doc.cell_parameters[1],
                                    (1 + k * step + jitter(rng)) / doc.cell_parameters[2]});
                    const std::array<double, 6> uij = {u(rng),   u(rng),   u(rng),
                                                       off(rng), off(rng), off(rng)};
                    for (int m = 0; m < 6; ++m)
                        a.adp[m] = uij[m] * f[m];
                    a.colour = rgb(80, 80, 80);
                    doc.display.push_back(a);
                }
        auto add = [&](int a, int b) {
            if (static_cast<int>(doc.bonds.size()) >= max_bonds) return;
            CalcBond bond;
            bond.atom1 = a + 1;
            bond.atom2 = b + 1;
            bond.width = 6;
            bond.colour = kYellow;
            doc.bonds.push_back(bond);
        };
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j)
                for (int k = 0; k < nz; ++k) {
                    if (i + 1 < nx) add(index(i, j, k), index(i + 1, j, k));
                    if (j + 1 < ny) add(index(i, j, k), index(i, j + 1, k));
                    if (k + 1 < nz) add(index(i, j, k), index(i, j, k + 1));
                }
        env.work_dir = std::filesystem::temp_directory_path().string();
        reset_orientation(state.view, doc.metric);
        initialise_view(doc, state, env, msg);
        apply_rotation(state, doc.metric, rotation_xy(37, 52), msg);
    }
};

}  // namespace veldor
