#include "drawing/ui/screen_picture.h"

#include <QPainter>
#include <chrono>
#include <optional>

#include "drawing/drag_frame.h"
#include "drawing/scene.h"
#include "drawing/ui/qpainter_canvas.h"

namespace veldor {

namespace {
long long steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

QImage still_picture(const StructureDocument& doc, const DrawingState& state,
                     const PageGeometry& page, double device_pixel_ratio, Messages& messages,
                     DeferredCanvas& composer) {
    QImage image = make_picture_image(page.width, page.height, device_pixel_ratio);
    // Shading is slow to rasterise too: the busy cursor lasts until it is done.
    std::optional<BusyScope> busy;
    if (state.options.colour_gradation) busy.emplace(messages);
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    // Composed, then rasterised: the same calls, faster than interleaved.
    composer.begin(canvas);
    redraw(doc, state, composer, page, messages);
    composer.play();
    return image;
}

QImage drag_picture(const StructureDocument& doc, const DrawingState& state,
                    const PageGeometry& page, double device_pixel_ratio, PixelFrame& frame) {
    QImage image = make_picture_image(page.width, page.height, device_pixel_ratio);
    static_assert(sizeof(std::uint32_t) == 4);
    frame.attach(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                 static_cast<int>(image.bytesPerLine() / 4));
    const bool drawn = draw_drag_frame(doc, state, page, image.devicePixelRatio(), frame);
    frame.attach(nullptr, 0, 0, 0);
    if (!drawn) return {};
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    SilentMessages quiet;
    draw_overlays(doc, state, canvas, page, quiet);
    return image;
}

FrameLog::FrameLog() : start_ns_(steady_ns()) {
    const QByteArray path = qgetenv("VELDOR_FRAME_LOG");
    if (!path.isEmpty()) file_.reset(std::fopen(path.constData(), "a"));
}

double FrameLog::now() const {
    return static_cast<double>(steady_ns() - start_ns_) / 1e6;
}

void FrameLog::picture(const char* kind, double started, QPointF pointer) {
    if (!file_) return;
    const double t = now();
    std::fprintf(file_.get(), "%s %.3f %.3f %.0f %.0f\n", kind, t, t - started, pointer.x(),
                 pointer.y());
    std::fflush(file_.get());
}

}  // namespace veldor
