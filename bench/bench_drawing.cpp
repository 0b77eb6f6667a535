// The drawing engine's speed: a full redraw of the 692 x 692 picture
// (scene set-up excluded) and one mouse-rotation step (outlines + redraw),
// on a counting canvas, for a 60-atom molecule, a 500-atom packing and a
// 5000-atom scene with 10000 bonds.

#include <benchmark/benchmark.h>

#include "drawing/recording_canvas.h"
#include "drawing_scene.h"

namespace veldor {
namespace {

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
