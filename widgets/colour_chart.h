#pragma once
// A colour chart: hues from left to right, from white at the top through
// the pure hue to black at the bottom, and a grey scale in the last column.
// A click reports the colour of the pixel under the pointer.

#include <QColor>
#include <QWidget>

namespace veldor {

class ColourChart : public QWidget {
    Q_OBJECT
  public:
    explicit ColourChart(QWidget* parent = nullptr);
    // The colour painted at a point of the chart (logical pixels).
    QColor colour_at(QPointF p) const;
    QSize sizeHint() const override { return {256, 128}; }

  signals:
    void colour_picked(const QColor& colour);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace veldor
