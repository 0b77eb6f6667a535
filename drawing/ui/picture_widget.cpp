#include "drawing/ui/picture_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace veldor {

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setCursor(Qt::CrossCursor);
}

void PictureWidget::set_picture(const QImage& image) {
    const bool resized = image.deviceIndependentSize() != picture_.deviceIndependentSize();
    picture_ = image;
    if (resized) {
        setFixedSize(picture_.deviceIndependentSize().toSize());
        updateGeometry();
    }
    update();
}

QSize PictureWidget::sizeHint() const {
    return picture_.isNull() ? QSize(692, 692) : picture_.deviceIndependentSize().toSize();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull())
        p.fillRect(rect(), Qt::white);
    else
        p.drawImage(QPointF(0, 0), picture_);
    if (band_) {
        p.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(*band_);
    }
}

void PictureWidget::set_rubber_band(std::optional<QRectF> band) {
    if (band == band_) return;
    band_ = band;
    update();
}

void PictureWidget::mousePressEvent(QMouseEvent* e) {
    emit pressed(e->position(), e->button());
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
    emit moved(e->position(), e->buttons());
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
    emit released(e->position(), e->button());
}

}  // namespace veldor
