// The screen picture as the drawing window makes it: the same scenes as
// bench_drawing, rendered antialiased into a 692 x 692 image through the
// QPainter canvas (rasterising included).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "drawing/ui/qpainter_canvas.h"
#include "drawing_scene.h"

namespace veldor {
namespace {

void BM_Picture(benchmark::State& st, int nx, int ny, int nz, int bonds) {
    Scene s(nx, ny, nz, bonds);
    for (auto _ : st) {
        QImage image = make_picture_image(kPictureSize, kPictureSize);
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        redraw(s.doc, s.state, canvas, screen_page(s.state.view, s.env), s.msg);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    st.counters["atoms"] = static_cast<double>(s.doc.display.size());
}

BENCHMARK_CAPTURE(BM_Picture, molecule_60, 5, 4, 3, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldor

int main(int argc, char** argv) {
    // Fonts need a GUI application; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
