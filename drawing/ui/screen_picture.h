#pragma once
// The drawing window's two pictures:
// - the still picture, the redraw of drawing/scene.h composed on a
//   DeferredCanvas and then rasterised through QPainter: the picture that
//   is shown at rest, copied to the clipboard and exported;
// - the quick picture shown while a mouse button turns, moves or zooms the
//   structure: the frame of drawing/drag_frame.h, with the labels, the
//   cell, the ring middle and the scale bar drawn over it as the redraw
//   draws them. It is shown only.

#include <QImage>
#include <QPointF>
#include <cstdio>
#include <memory>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/canvas.h"
#include "drawing/deferred_canvas.h"
#include "drawing/drawing_state.h"
#include "drawing/pixel_frame.h"

namespace veldor {

// How long the pointer may rest, button held, before the still picture
// replaces the quick frames.
inline constexpr int kStillPictureDelayMs = 100;

// The still picture at the page's size, crisp at `device_pixel_ratio`.
// `composer` is working memory kept between pictures. Pixel for pixel the
// redraw drawn straight on a QPainterCanvas.
QImage still_picture(const StructureDocument& doc, const DrawingState& state,
                     const PageGeometry& page, double device_pixel_ratio, Messages& messages,
                     DeferredCanvas& composer);

// The quick picture at the page's size, crisp at `device_pixel_ratio`.
// `frame` is working memory kept between frames (its depth buffer). A null
// image when the structure is too large to draw (the redraw says why).
// Messages of the labels (an undecodable position code) are left to the
// still picture, so a drag never repeats them.
QImage drag_picture(const StructureDocument& doc, const DrawingState& state,
                    const PageGeometry& page, double device_pixel_ratio, PixelFrame& frame);

// Frame times, for measuring how a drag keeps up with the pointer: when
// the environment variable VELDOR_FRAME_LOG names a file, every picture
// the drawing window shows appends the line
// "<kind> <ms since the window opened> <ms to draw> <pointer x> <pointer y>",
// kind "drag" (a quick frame) or "still".
class FrameLog {
  public:
    FrameLog();
    bool on() const { return file_ != nullptr; }
    // Milliseconds since the log was made.
    double now() const;
    void picture(const char* kind, double started, QPointF pointer);

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    long long start_ns_ = 0;
};

}  // namespace veldor
