#pragma once
// A canvas that keeps the calls made on it and plays them back later, in
// the same order and with the same arguments, on another canvas. The
// screen picture is composed first and rasterised afterwards: each step
// then runs with its own data in the processor's caches, which makes the
// whole faster than interleaving them, and the result is the same picture.
// The memory is kept from one picture to the next.

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/canvas.h"

namespace veldor {

class DeferredCanvas : public Canvas {
  public:
    // Starts a new recording for `target`, which answers text_size at once
    // and receives the calls on play(). Anything not played is dropped.
    void begin(Canvas& target);
    // Plays the recorded calls onto the target, then empties the recording
    // and forgets the target. Without a target (no begin) nothing happens.
    void play();

    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void polygon(std::span<const Point> points) override;
    void polyline(std::span<const Point> points) override;
    void line(Point from, Point to) override;
    void ellipse(Point top_left, Point bottom_right) override;
    void rectangle(Point top_left, Point bottom_right) override;
    void text(Point at, std::string_view text, const TextStyle& style) override;
    TextSize text_size(std::string_view text, const Font& font) override;

    std::size_t recorded_calls() const { return calls_.size(); }

  private:
    enum class Op : std::uint8_t { Pen, Brush, Polygon, Polyline, Line, Ellipse, Rectangle, Text };
    struct Call {
        Op op;
        std::size_t index;  // into points_, pens_, brushes_ or texts_
        std::size_t count;  // points
    };
    struct TextCall {
        Point at;
        std::string text;
        TextStyle style;
    };
    void add_points(Op op, std::span<const Point> points);
    void clear();

    Canvas* target_ = nullptr;
    std::vector<Call> calls_;
    std::vector<Point> points_;
    std::vector<Pen> pens_;
    std::vector<Brush> brushes_;
    std::vector<TextCall> texts_;
};

}  // namespace veldor
