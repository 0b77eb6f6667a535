#include "widgets/colour_swatch.h"

#include <QPainter>

namespace veldor {

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void ColourSwatch::set_colour(const QColor& c) {
    colour_ = c;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        p.fillRect(contentsRect(), colour_);
    }
    QFrame::paintEvent(e);
}

}  // namespace veldor
