#pragma once
// Shows the drawing's picture at its logical size and passes the mouse on.
// A rectangle tool's rubber band is drawn over the clean picture, which
// itself is never touched.

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace veldor {

class PictureWidget : public QWidget {
    Q_OBJECT
  public:
    explicit PictureWidget(QWidget* parent = nullptr);
    void set_picture(const QImage& image);
    const QImage& picture() const { return picture_; }
    // The dashed grey rubber band (none: nullopt).
    void set_rubber_band(std::optional<QRectF> band);
    std::optional<QRectF> rubber_band() const { return band_; }
    QSize sizeHint() const override;

  signals:
    void pressed(QPointF pos, Qt::MouseButton button);
    void moved(QPointF pos, Qt::MouseButtons buttons);
    void released(QPointF pos, Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    QImage picture_;
    std::optional<QRectF> band_;
};

}  // namespace veldor
