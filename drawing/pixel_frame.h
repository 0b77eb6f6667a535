#pragma once
// A picture in memory for the quick frames drawn while a mouse button
// turns, moves or zooms the structure: opaque 32-bit pixels, row after row,
// and beside each pixel the number of the shape painted there last (an
// atom, for the quick frame). Through it a bond asks the depth of the atom
// surface under each of its pixels, so it is hidden by the atoms in front
// of it without intersecting outlines.
//
// Pixel words are 0xFFRRGGBB, the layout of a premultiplied ARGB image on
// every platform the program runs on, so a toolkit image can lend its own
// memory (attach) and nothing is copied. Coordinates are device pixels,
// y downwards; pixel (x, y) covers [x, x + 1) x [y, y + 1).

#include <cstdint>
#include <vector>

#include "core/colour.h"
#include "drawing/canvas.h"

namespace veldor {

// The frame's word for a colour, and back.
constexpr std::uint32_t frame_word(Colour c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(red(c)) << 16) |
           (static_cast<std::uint32_t>(green(c)) << 8) | static_cast<std::uint32_t>(blue(c));
}
constexpr Colour frame_colour(std::uint32_t word) {
    return rgb(static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF),
               static_cast<int>(word & 0xFF));
}

// The owner of a pixel nothing has painted.
inline constexpr std::int32_t kNoOwner = -1;

class PixelFrame {
  public:
    // An empty frame; attach() or resize() gives it pixels.
    PixelFrame() = default;
    // A frame that owns its pixels (sizes below 0 count as 0).
    PixelFrame(int width, int height);

    // Draws into memory owned by someone else: `height` rows of `stride`
    // words, of which the first `width` are the picture. The memory must
    // stay valid while the frame draws.
    void attach(std::uint32_t* pixels, int width, int height, int stride);
    void resize(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Every pixel the colour, every owner kNoOwner.
    void clear(Colour background);

    std::uint32_t* row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    std::int32_t* owner_row(int y) {
        return owners_.data() + static_cast<std::ptrdiff_t>(y) * width_;
    }
    // One pixel (the caller checks the bounds).
    std::uint32_t pixel(int x, int y) const {
        return pixels_[static_cast<std::ptrdiff_t>(y) * stride_ + x];
    }
    std::int32_t owner(int x, int y) const {
        return owners_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }

    // A line one pixel wide, without antialiasing, clipped to the frame;
    // ends that are not finite draw nothing.
    void line(Point from, Point to, Colour colour);

  private:
    std::vector<std::uint32_t> own_;
    std::vector<std::int32_t> owners_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0, stride_ = 0;
};

}  // namespace veldor
