// From Plot to the first picture, as the program runs them: the generation
// and the bond search, the "dummy.vld" snapshot, then the drawing window's
// set-up (ellipsoids, scene) and its first picture: for 5000 atoms the
// quick one, then (BM_PlotToStillPicture) the still picture with its
// rasterising and the clipboard copy.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>

#include "drawing/ui/Tfdessin.h"
#include "fixtures.h"
#include "main/plot.h"

namespace veldor {
namespace {

using testing::add_atom;
using testing::make_document;

// Diamond in a 12 x 12 x 12-cell box, second neighbours bonded: 4999 atoms
// and 10000 bonds, the program's limits.
StructureDocument diamond_box() {
    StructureDocument doc = make_document({3.567, 3.567, 3.567, 90, 90, 90}, "P1");
    const double sites[8][3] = {{0, 0, 0},          {0, 0.5, 0.5},      {0.5, 0, 0.5},
                                {0.5, 0.5, 0},      {0.25, 0.25, 0.25}, {0.25, 0.75, 0.75},
                                {0.75, 0.25, 0.75}, {0.75, 0.75, 0.25}};
    for (int i = 0; i < 8; ++i)
        add_atom(doc, "C", std::to_string(i + 1), sites[i][0], sites[i][1], sites[i][2]);
    testing::build_sorts(doc);
    doc.bond_sorts[0].max_distance = 2.6;
    doc.generation_mode = GenerationMode::Box;
    doc.enclosure.box = {12, 12, 12};
    doc.cut_box = true;
    return doc;
}

// Plot, then the window's set-up up to its first picture (`still` false:
// for 5000 atoms the quick one) or up to the still picture that follows it.
void plot_to_picture(benchmark::State& st, bool still) {
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "veldor_bench_plot";
    std::filesystem::create_directories(work);
    const ProgramPaths paths{VELDOR_DATA_DIR, work.string()};
    StructureDocument doc = diamond_box();
    DrawingState drawing;
    SilentMessages msg;
    Tfdessin window(doc, drawing, msg, paths.work_dir, false);
    for (auto _ : st) {
        doc.regeneration_needed = true;
        if (plot(doc, drawing, paths, msg) == PlotOutcome::Stopped) {
            st.SkipWithError("Plot stopped");
            break;
        }
        window.initialise_fiche();
        while (still && window.showing_quick_picture())
            QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.picture().constBits());
    }
    st.counters["atoms"] = static_cast<double>(doc.display.size());
    st.counters["bonds"] = static_cast<double>(doc.bonds.size());
    std::filesystem::remove_all(work);
}

void BM_PlotToPicture(benchmark::State& st) {
    plot_to_picture(st, false);
}
void BM_PlotToStillPicture(benchmark::State& st) {
    plot_to_picture(st, true);
}

BENCHMARK(BM_PlotToPicture)->Name("BM_PlotToPicture/scene_5000")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotToStillPicture)
    ->Name("BM_PlotToStillPicture/scene_5000")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldor

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
