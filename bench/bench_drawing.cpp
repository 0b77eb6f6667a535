// The drawing engine's speed: a full redraw of the 692 x 692 picture
// (scene set-up excluded) and one mouse-rotation step (outlines + redraw),
// on a counting canvas, for a 60-atom molecule, a 500-atom packing and a
// 5000-atom scene with 10000 bonds.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "core/adp.h"
#include "core/metric.h"
#include "drawing/recording_canvas.h"
#include "drawing/scene.h"
#include "drawing/view.h"

namespace veldor {
namespace {

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

void redraw_once(Scene& s, benchmark::State& st) {
    CountingCanvas canvas;
    redraw(s.doc, s.state, canvas, screen_page(s.state.view, s.env), s.msg);
    benchmark::DoNotOptimize(canvas.points);
    st.counters["calls"] = static_cast<double>(canvas.calls);
}

void BM_Redraw(benchmark::State& st, int nx, int ny, int nz, int bonds) {
    Scene s(nx, ny, nz, bonds);
    for (auto _ : st)
        redraw_once(s, st);
    st.counters["atoms"] = static_cast<double>(s.doc.display.size());
    st.counters["bonds"] = static_cast<double>(s.doc.bonds.size());
}

void BM_RotationStep(benchmark::State& st, int nx, int ny, int nz, int bonds) {
    Scene s(nx, ny, nz, bonds);
    for (auto _ : st) {
        apply_rotation(s.state, s.doc.metric, rotation_xy(2, 1), s.msg);
        redraw_once(s, st);
    }
}

BENCHMARK_CAPTURE(BM_Redraw, molecule_60, 5, 4, 3, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Redraw, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Redraw, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RotationStep, molecule_60, 5, 4, 3, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RotationStep, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RotationStep, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldor

BENCHMARK_MAIN();
