#include "widgets/colour_chart.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veldor {

namespace {
// The grey scale takes this share of the width on the right.
constexpr double kGreyShare = 0.1;
}  // namespace

ColourChart::ColourChart(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::CrossCursor);
    setMinimumSize(128, 64);
}

QColor ColourChart::colour_at(QPointF p) const {
    const double w = std::max(1, width()), h = std::max(1, height());
    const double x = std::clamp(p.x() / w, 0.0, 0.9999);
    const double y = std::clamp(p.y() / h, 0.0, 1.0);
    // Whole steps, so neighbouring pixels of one cell give the same colour.
    const double yq = std::floor(y * 32) / 31;
    if (x >= 1 - kGreyShare) {
        const int g = std::clamp(static_cast<int>(std::lround(255 * (1 - yq))), 0, 255);
        return QColor(g, g, g);
    }
    const int hue = static_cast<int>(std::floor(x / (1 - kGreyShare) * 36)) * 10;
    // Top half: from white to the pure hue; bottom half: to black.
    const double lightness = 1 - std::clamp(yq, 0.0, 1.0);
    return QColor::fromHslF(hue / 360.0, 1.0, std::clamp(lightness, 0.0, 1.0)).toRgb();
}

void ColourChart::paintEvent(QPaintEvent*) {
    const double dpr = devicePixelRatioF();
    QImage image(static_cast<int>(std::ceil(width() * dpr)),
                 static_cast<int>(std::ceil(height() * dpr)), QImage::Format_RGB32);
    for (int py = 0; py < image.height(); ++py)
        for (int px = 0; px < image.width(); ++px)
            image.setPixelColor(px, py, colour_at({(px + 0.5) / dpr, (py + 0.5) / dpr}));
    image.setDevicePixelRatio(dpr);
    QPainter p(this);
    p.drawImage(QPointF(0, 0), image);
}

void ColourChart::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit colour_picked(colour_at(e->position()));
}

}  // namespace veldor
