#include "drawing/ui/qpainter_canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPolygonF>
#include <vector>

namespace veldor {

namespace {

QPolygonF to_polygon(std::span<const Point> points) {
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points)
        poly.append(QPointF(p.x, p.y));
    return poly;
}

Qt::PenStyle qt_style(PenStyle s) {
    switch (s) {
        case PenStyle::Dotted:
            return Qt::DotLine;
        case PenStyle::Dashed:
            return Qt::DashLine;
        case PenStyle::Solid:
            break;
    }
    return Qt::SolidLine;
}

QRectF box(Point a, Point b) {
    return QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)).normalized();
}

}  // namespace

QColor to_qcolor(Colour c) {
    return QColor(red(c), green(c), blue(c));
}

QImage make_picture_image(int width, int height, double device_pixel_ratio) {
    const double dpr = device_pixel_ratio > 0 ? device_pixel_ratio : 1.0;
    QImage image(static_cast<int>(std::ceil(width * dpr)),
                 static_cast<int>(std::ceil(height * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    // 96 dots per inch, as the screen picture has: fonts keep their size in pixels.
    const int dots_per_metre = qRound(96 / 0.0254 * dpr);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    return image;
}

QPainterCanvas::QPainterCanvas(QPainter& painter, double dots_per_inch)
    : painter_(painter), dpi_(dots_per_inch) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QFont canvas_qfont(const Font& font, double dots_per_inch) {
    QFont f(QString::fromStdString(font.name));
    // Sizes are points at the canvas's resolution, whatever the device says.
    f.setPixelSize(std::max(1, qRound(font.size * dots_per_inch / 72.0)));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeout);
    return f;
}

QFont QPainterCanvas::qfont(const Font& font) const {
    return canvas_qfont(font, dpi_);
}

void QPainterCanvas::set_pen(const Pen& pen) {
    QPen p(to_qcolor(pen.colour));
    p.setWidthF(std::max(1, pen.width));
    p.setStyle(qt_style(pen.style));
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    painter_.setPen(p);
}

void QPainterCanvas::set_brush(const Brush& brush) {
    if (brush.hollow)
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(to_qcolor(brush.colour));
}

void QPainterCanvas::polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    painter_.drawPolygon(to_polygon(points));
}

void QPainterCanvas::polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    painter_.drawPolyline(to_polygon(points));
}

void QPainterCanvas::line(Point from, Point to) {
    painter_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void QPainterCanvas::ellipse(Point top_left, Point bottom_right) {
    painter_.drawEllipse(box(top_left, bottom_right));
}

void QPainterCanvas::rectangle(Point top_left, Point bottom_right) {
    painter_.drawRect(box(top_left, bottom_right));
}

void QPainterCanvas::text(Point at, std::string_view text, const TextStyle& style) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFont f = qfont(style.font);
    const QFontMetricsF metrics(f, painter_.device());
    painter_.save();
    painter_.translate(at.x, at.y);
    if (style.angle != 0) painter_.rotate(-style.angle);  // counter-clockwise on screen
    const QRectF rect(0, 0, metrics.horizontalAdvance(s), metrics.height());
    if (style.opaque) painter_.fillRect(rect, to_qcolor(style.background));
    painter_.setFont(f);
    painter_.setPen(to_qcolor(style.font.colour));
    painter_.drawText(QPointF(0, metrics.ascent()), s);
    painter_.restore();
}

TextSize QPainterCanvas::text_size(std::string_view text, const Font& font) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetricsF metrics(qfont(font), painter_.device());
    return {metrics.horizontalAdvance(s), metrics.height()};
}

}  // namespace veldor
