#include "drawing/deferred_canvas.h"

namespace veldor {

void DeferredCanvas::begin(Canvas& target) {
    clear();
    target_ = &target;
}

void DeferredCanvas::clear() {
    calls_.clear();
    points_.clear();
    pens_.clear();
    brushes_.clear();
    texts_.clear();
}

void DeferredCanvas::play() {
    if (!target_) return;
    Canvas& c = *target_;
    for (const Call& call : calls_) {
        auto pts = [&] { return std::span<const Point>(points_.data() + call.index, call.count); };
        switch (call.op) {
            case Op::Pen:
                c.set_pen(pens_[call.index]);
                break;
            case Op::Brush:
                c.set_brush(brushes_[call.index]);
                break;
            case Op::Polygon:
                c.polygon(pts());
                break;
            case Op::Polyline:
                c.polyline(pts());
                break;
            case Op::Line:
                c.line(pts()[0], pts()[1]);
                break;
            case Op::Ellipse:
                c.ellipse(pts()[0], pts()[1]);
                break;
            case Op::Rectangle:
                c.rectangle(pts()[0], pts()[1]);
                break;
            case Op::Text: {
                const TextCall& t = texts_[call.index];
                c.text(t.at, t.text, t.style);
                break;
            }
        }
    }
    clear();
    target_ = nullptr;
}

void DeferredCanvas::add_points(Op op, std::span<const Point> points) {
    calls_.push_back({op, points_.size(), points.size()});
    points_.insert(points_.end(), points.begin(), points.end());
}

void DeferredCanvas::set_pen(const Pen& pen) {
    calls_.push_back({Op::Pen, pens_.size(), 0});
    pens_.push_back(pen);
}

void DeferredCanvas::set_brush(const Brush& brush) {
    calls_.push_back({Op::Brush, brushes_.size(), 0});
    brushes_.push_back(brush);
}

void DeferredCanvas::polygon(std::span<const Point> points) {
    add_points(Op::Polygon, points);
}

void DeferredCanvas::polyline(std::span<const Point> points) {
    add_points(Op::Polyline, points);
}

void DeferredCanvas::line(Point from, Point to) {
    const Point pts[2] = {from, to};
    add_points(Op::Line, pts);
}

void DeferredCanvas::ellipse(Point top_left, Point bottom_right) {
    const Point pts[2] = {top_left, bottom_right};
    add_points(Op::Ellipse, pts);
}

void DeferredCanvas::rectangle(Point top_left, Point bottom_right) {
    const Point pts[2] = {top_left, bottom_right};
    add_points(Op::Rectangle, pts);
}

void DeferredCanvas::text(Point at, std::string_view text, const TextStyle& style) {
    calls_.push_back({Op::Text, texts_.size(), 0});
    texts_.push_back({at, std::string(text), style});
}

TextSize DeferredCanvas::text_size(std::string_view text, const Font& font) {
    return target_ ? target_->text_size(text, font) : TextSize{};
}

}  // namespace veldor
