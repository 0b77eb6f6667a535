#pragma once
// "Dummy atom style": the dimension (square angstrom) and colour of ring
// middles and centroids. OK stores them and restyles the newest dummy atom.

#include <QDialog>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "core/messages.h"

class QLineEdit;

namespace veldor {

class ColourChart;
class ColourSwatch;

inline constexpr const char* kDummyDimensionRefused = "The dimension must be greater than 0";

class Tfcustomize : public QDialog {
    Q_OBJECT
  public:
    Tfcustomize(StructureDocument& doc, DummyStyle& style, Messages& messages,
                QWidget* parent = nullptr);

    // Every activation: the stored dimension (F7.2) and colour.
    void init_style();
    // OK: a dimension that is no number counts as 0, and 0 or less is
    // refused (the dialog stays open); otherwise the style is stored, the
    // newest dummy atom takes it and the dialog closes.
    void ok_style();
    void pick_colour(const QColor& c);

    QLineEdit* dimension_box() const { return dimension_; }
    ColourSwatch* colour_box() const { return colour_; }
    ColourChart* chart() const { return chart_; }

  signals:
    void style_applied();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    StructureDocument& doc_;
    DummyStyle& style_;
    Messages& messages_;
    QLineEdit* dimension_;
    ColourSwatch* colour_;
    ColourChart* chart_;
};

}  // namespace veldor
