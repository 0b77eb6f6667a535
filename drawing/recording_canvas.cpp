#include "drawing/recording_canvas.h"

#include <cmath>
#include <cstdio>

namespace veldor {

namespace {

long whole(double v) {
    return std::lround(v);
}

std::string point_text(Point p) {
    return "(" + std::to_string(whole(p.x)) + "," + std::to_string(whole(p.y)) + ")";
}

std::string points_text(std::span<const Point> points) {
    std::string s = std::to_string(points.size());
    for (const Point& p : points)
        s += " " + point_text(p);
    return s;
}

const char* style_text(PenStyle s) {
    switch (s) {
        case PenStyle::Solid:
            return "solid";
        case PenStyle::Dotted:
            return "dotted";
        case PenStyle::Dashed:
            return "dashed";
    }
    return "solid";
}

// Counts UTF-8 code points, so "1Å" is two characters wide.
std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char ch : text)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

TextSize made_up_size(std::string_view text, const Font& font) {
    return {0.5 * font.size * static_cast<double>(characters(text)), 1.25 * font.size};
}

std::string number_text(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

std::string colour_text(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", red(c), green(c), blue(c));
    return buf;
}

void RecordingCanvas::set_pen(const Pen& pen) {
    log.push_back("pen " + colour_text(pen.colour) + " " + std::to_string(pen.width) + " " +
                  style_text(pen.style));
}

void RecordingCanvas::set_brush(const Brush& brush) {
    log.push_back(brush.hollow ? std::string("brush hollow")
                               : "brush " + colour_text(brush.colour));
}

void RecordingCanvas::polygon(std::span<const Point> points) {
    log.push_back("polygon " + points_text(points));
}

void RecordingCanvas::polyline(std::span<const Point> points) {
    log.push_back("polyline " + points_text(points));
}

void RecordingCanvas::line(Point from, Point to) {
    log.push_back("line " + point_text(from) + " " + point_text(to));
}

void RecordingCanvas::ellipse(Point top_left, Point bottom_right) {
    log.push_back("ellipse " + point_text(top_left) + " " + point_text(bottom_right));
}

void RecordingCanvas::rectangle(Point top_left, Point bottom_right) {
    log.push_back("rectangle " + point_text(top_left) + " " + point_text(bottom_right));
}

void RecordingCanvas::text(Point at, std::string_view text, const TextStyle& style) {
    const Font& f = style.font;
    std::string flags;
    if (f.bold) flags += "b";
    if (f.italic) flags += "i";
    if (f.underline) flags += "u";
    if (f.strikeout) flags += "s";
    if (flags.empty()) flags = "-";
    std::string line = "text " + point_text(at) + " \"" + std::string(text) + "\" " + f.name + " " +
                       number_text(f.size) + " " + colour_text(f.colour) + " " + flags + " angle " +
                       number_text(style.angle);
    line += style.opaque ? " on " + colour_text(style.background) : std::string(" clear");
    log.push_back(line);
}

TextSize RecordingCanvas::text_size(std::string_view text, const Font& font) {
    return made_up_size(text, font);
}

std::string RecordingCanvas::str() const {
    std::string s;
    for (const std::string& line : log)
        s += line + "\n";
    return s;
}

TextSize CountingCanvas::text_size(std::string_view text, const Font& font) {
    return made_up_size(text, font);
}

}  // namespace veldor
