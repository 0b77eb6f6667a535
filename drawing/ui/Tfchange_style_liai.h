#pragma once
// "Bond customize": the colour and the radius that the customise-bond tool
// gives the bonds it is shown. Stays on top of the drawing while the bonds
// are picked.

#include <QDialog>

#include "core/document.h"
#include "drawing/drawing_state.h"

class QLineEdit;

namespace veldor {

class ColourChart;
class ColourSwatch;

class Tfchange_style_liai : public QDialog {
    Q_OBJECT
  public:
    Tfchange_style_liai(const StructureDocument& doc, BondStyle& style, QWidget* parent = nullptr);

    // Every activation: the bond colour and bond_width / 100 (F8.2).
    void init_style();
    // OK: the colour and the radius x 100 (nearest integer; no number
    // counts as 0) become the bond style; the dialog hides.
    void ok_style();
    void pick_colour(const QColor& c);

    QLineEdit* radius_box() const { return radius_; }
    ColourSwatch* colour_box() const { return colour_; }
    ColourChart* chart() const { return chart_; }

  signals:
    // OK (true) or Cancel (false).
    void style_chosen(bool ok);

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    const StructureDocument& doc_;
    BondStyle& style_;
    QLineEdit* radius_;
    ColourSwatch* colour_;
    ColourChart* chart_;
};

}  // namespace veldor
