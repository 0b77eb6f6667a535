// The screen picture as the drawing window makes it: the same scenes as
// bench_drawing, rendered antialiased into a 692 x 692 image through the
// QPainter canvas (rasterising included); and while the mouse turns the
// structure, the quick frame against the still picture.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "drawing/ui/qpainter_canvas.h"
#include "drawing/ui/screen_picture.h"
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

// One step of a mouse rotation as the window shows it while the button is
// held: the rotation (view table and outlines), then the quick frame with
// the labels, cell and scale bar over it.
void BM_RotationFrame(benchmark::State& st, int nx, int ny, int nz, int bonds) {
    Scene s(nx, ny, nz, bonds);
    PixelFrame frame;
    for (auto _ : st) {
        apply_rotation(s.state, s.doc.metric, rotation_xy(2, 1), s.msg);
        const QImage image =
            drag_picture(s.doc, s.state, screen_page(s.state.view, s.env), 1.0, frame);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The same step followed by the still picture as the window draws it after
// the release (composed, then rasterised: the pixels of BM_Picture).
void BM_StillPicture(benchmark::State& st, int nx, int ny, int nz, int bonds) {
    Scene s(nx, ny, nz, bonds);
    DeferredCanvas composer;
    for (auto _ : st) {
        apply_rotation(s.state, s.doc.metric, rotation_xy(2, 1), s.msg);
        const QImage image =
            still_picture(s.doc, s.state, screen_page(s.state.view, s.env), 1.0, s.msg, composer);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK_CAPTURE(BM_Picture, molecule_60, 5, 4, 3, 1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Picture, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RotationFrame, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RotationFrame, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StillPicture, packing_500, 10, 10, 5, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StillPicture, scene_5000, 25, 20, 10, 10000)->Unit(benchmark::kMillisecond);

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
