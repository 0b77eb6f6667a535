#pragma once
// The abstract surface the scene renderer draws on. One renderer feeds the
// screen picture, the printer, image files and the test recorder; each
// back-end implements these few calls. Coordinates are device pixels, y
// downwards, as the renderer has already mapped view angstroms to pixels.
//
// Pen and brush are state, as on the devices they stand for: filled shapes
// take the brush inside and the pen on their border, lines take the pen.
// Text carries its own font and background with each call.

#include <cmath>
#include <span>
#include <string>
#include <string_view>

#include "core/colour.h"

namespace veldor {

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class PenStyle { Solid, Dotted, Dashed };

struct Pen {
    Colour colour = kBlack;
    int width = 1;  // device pixels
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
};

struct Brush {
    Colour colour = kWhite;
    bool hollow = false;  // shapes are not filled
    bool operator==(const Brush&) const = default;
};

struct Font {
    std::string name = "Times New Roman";
    double size = 12;  // points; the back-end knows its own resolution
    Colour colour = kBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const Font&) const = default;
};

struct TextStyle {
    Font font;
    double angle = 0;     // degrees, counter-clockwise on the screen
    bool opaque = false;  // fill the text box with `background`
    Colour background = kWhite;
};

struct TextSize {
    double width = 0, height = 0;  // device pixels
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void set_pen(const Pen& pen) = 0;
    virtual void set_brush(const Brush& brush) = 0;

    // Closed polygon, filled with the brush and outlined with the pen.
    virtual void polygon(std::span<const Point> points) = 0;
    // Open polyline with the pen.
    virtual void polyline(std::span<const Point> points) = 0;
    virtual void line(Point from, Point to) = 0;
    // Ellipse inscribed in the box, filled and outlined.
    virtual void ellipse(Point top_left, Point bottom_right) = 0;
    // Rectangle, filled and outlined.
    virtual void rectangle(Point top_left, Point bottom_right) = 0;
    // Text whose unrotated box has its top-left corner at `at`, turned
    // about that corner by style.angle.
    virtual void text(Point at, std::string_view text, const TextStyle& style) = 0;
    // Size of the unrotated text box.
    virtual TextSize text_size(std::string_view text, const Font& font) = 0;
};

// Where the view frame lands on a page: the origin pixel, pixels per
// angstrom, the picture size, the outline resolution and the pen and font
// multipliers. The screen picture, the printed page and image files differ
// only in these numbers.
struct PageGeometry {
    int width = 692;  // picture size, device pixels
    int height = 692;
    int x0 = 346;  // pixel of the view origin
    int y0 = 346;
    double scale = 1;        // pixels per angstrom
    int outline_steps = 50;  // directions per outline turn (50 screen, 100 printer)
    int pen_width = 1;       // width of atom and bond outlines
    double font_scale = 1;   // multiplies every font size
    // The screen rounds mapped points and the scale bar to whole pixels;
    // printed pages and vector files keep the exact values, so an enlarged
    // figure stays smooth.
    bool round_to_pixels = true;

    // A length in device pixels, rounded when the page rounds (halves to even).
    double snap(double pixels) const { return round_to_pixels ? std::nearbyint(pixels) : pixels; }
    // screen x = nearest integer to X scale, plus x0; screen y = y0 minus
    // the nearest integer to Y scale.
    Point map(double X, double Y) const { return {snap(X * scale) + x0, y0 - snap(Y * scale)}; }
};

}  // namespace veldor
