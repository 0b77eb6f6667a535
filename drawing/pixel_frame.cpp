#include "drawing/pixel_frame.h"

#include <algorithm>
#include <cmath>

namespace veldor {

PixelFrame::PixelFrame(int width, int height) {
    resize(width, height);
}

void PixelFrame::attach(std::uint32_t* pixels, int width, int height, int stride) {
    own_.clear();
    const bool usable = pixels && width > 0 && height > 0 && stride >= width;
    pixels_ = usable ? pixels : nullptr;
    width_ = usable ? width : 0;
    height_ = usable ? height : 0;
    stride_ = usable ? stride : 0;
    owners_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
}

void PixelFrame::resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = width_;
    own_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0xFF000000u);
    pixels_ = own_.data();
    owners_.assign(own_.size(), kNoOwner);
}

void PixelFrame::clear(Colour background) {
    const std::uint32_t word = frame_word(background);
    for (int y = 0; y < height_; ++y)
        std::fill_n(row(y), width_, word);
    std::fill(owners_.begin(), owners_.end(), kNoOwner);
}

void PixelFrame::line(Point from, Point to, Colour colour) {
    if (width_ == 0 || !std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) ||
        !std::isfinite(to.y))
        return;
    // Clip the segment to the frame (Liang-Barsky), so the walk below stays
    // short whatever the ends are.
    const double dx = to.x - from.x, dy = to.y - from.y;
    double t0 = 0, t1 = 1;
    auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    const double right = width_ - 0.5, bottom = height_ - 0.5;
    if (!clip(-dx, from.x + 0.5) || !clip(dx, right - from.x) || !clip(-dy, from.y + 0.5) ||
        !clip(dy, bottom - from.y))
        return;
    const double ax = from.x + t0 * dx, ay = from.y + t0 * dy;
    const double bx = from.x + t1 * dx, by = from.y + t1 * dy;
    const int steps = static_cast<int>(std::ceil(std::max(std::fabs(bx - ax), std::fabs(by - ay))));
    const std::uint32_t word = frame_word(colour);
    for (int i = 0; i <= steps; ++i) {
        const double f = steps == 0 ? 0 : static_cast<double>(i) / steps;
        const int x = std::clamp(static_cast<int>(std::lround(ax + f * (bx - ax))), 0, width_ - 1);
        const int y = std::clamp(static_cast<int>(std::lround(ay + f * (by - ay))), 0, height_ - 1);
        row(y)[x] = word;
    }
}

}  // namespace veldor
