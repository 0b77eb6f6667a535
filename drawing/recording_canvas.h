#pragma once
// Canvases that draw nothing: the recorder logs every call as one line of
// text with coordinates rounded to whole pixels, so tests compare small
// expected recordings; the counter only counts, for benchmarks.
//
// Text sizes are made up but fixed: each character is half the font size
// wide and a line is 1.25 font sizes high (font sizes in points, taken as
// pixels).

#include <string>
#include <vector>

#include "drawing/canvas.h"

namespace veldor {

class RecordingCanvas : public Canvas {
  public:
    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void polygon(std::span<const Point> points) override;
    void polyline(std::span<const Point> points) override;
    void line(Point from, Point to) override;
    void ellipse(Point top_left, Point bottom_right) override;
    void rectangle(Point top_left, Point bottom_right) override;
    void text(Point at, std::string_view text, const TextStyle& style) override;
    TextSize text_size(std::string_view text, const Font& font) override;

    // One line per call, for example
    //   pen #000000 1 solid
    //   brush #ff0000
    //   polygon 3 (1,2) (5,2) (3,6)
    //   line (0,0) (10,0)
    //   text (10,20) "C1" Times New Roman 12 #000000 b angle 0 on #ffffff
    std::vector<std::string> log;
    // The log joined with line ends.
    std::string str() const;
};

// Counts calls and points; draws nothing.
class CountingCanvas : public Canvas {
  public:
    void set_pen(const Pen&) override { ++calls; }
    void set_brush(const Brush&) override { ++calls; }
    void polygon(std::span<const Point> p) override {
        ++calls;
        ++polygons;
        points += static_cast<long>(p.size());
    }
    void polyline(std::span<const Point> p) override {
        ++calls;
        points += static_cast<long>(p.size());
    }
    void line(Point, Point) override {
        ++calls;
        points += 2;
    }
    void ellipse(Point, Point) override { ++calls; }
    void rectangle(Point, Point) override { ++calls; }
    void text(Point, std::string_view, const TextStyle&) override { ++calls; }
    TextSize text_size(std::string_view text, const Font& font) override;

    long calls = 0;
    long polygons = 0;
    long points = 0;
};

// The recorder's colour form "#rrggbb".
std::string colour_text(Colour c);

}  // namespace veldor
