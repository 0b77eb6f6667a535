#pragma once
// A framed panel painted in one colour.

#include <QColor>
#include <QFrame>

namespace veldor {

class ColourSwatch : public QFrame {
    Q_OBJECT
  public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    void set_colour(const QColor& c);
    QColor colour() const { return colour_; }
    QSize sizeHint() const override { return {48, 24}; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QColor colour_ = Qt::white;
};

}  // namespace veldor
