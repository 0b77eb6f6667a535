#pragma once
// The canvas on a QPainter: the screen picture, PNG/JPEG/BMP images, SVG,
// PDF and the printer all draw through it. Fonts are asked for by name
// ("Times New Roman", "Arial"); fontconfig's metric twins stand in where
// those are missing.

#include <QPainter>

#include "drawing/canvas.h"

class QImage;

namespace veldor {

class QPainterCanvas : public Canvas {
  public:
    // Draws with `painter`, which must stay active while the canvas is used.
    // Font point sizes are converted at `dots_per_inch` (96 on screens).
    explicit QPainterCanvas(QPainter& painter, double dots_per_inch = 96);

    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void polygon(std::span<const Point> points) override;
    void polyline(std::span<const Point> points) override;
    void line(Point from, Point to) override;
    void ellipse(Point top_left, Point bottom_right) override;
    void rectangle(Point top_left, Point bottom_right) override;
    void text(Point at, std::string_view text, const TextStyle& style) override;
    TextSize text_size(std::string_view text, const Font& font) override;

    QFont qfont(const Font& font) const;

  private:
    QPainter& painter_;
    double dpi_;
};

QColor to_qcolor(Colour c);
// The Qt font of a canvas font whose point size is taken at `dots_per_inch`.
QFont canvas_qfont(const Font& font, double dots_per_inch);

// A picture of the given logical size, crisp at `device_pixel_ratio`, with
// the screen's 96 dots per inch so font sizes match the screen picture.
QImage make_picture_image(int width, int height, double device_pixel_ratio = 1.0);

}  // namespace veldor
