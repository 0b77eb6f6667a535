#pragma once
// The orientation dialog: up to three screen axes given as directions in
// the direct or reciprocal lattice. OK checks them and sets the view's
// matrices; a refused set keeps the dialog open with the user's values.

#include <QDialog>
#include <array>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "core/messages.h"
#include "drawing/view.h"

class QButtonGroup;
class QLineEdit;

namespace veldor {

inline constexpr int kHelpOrientation = 5;

class Tflimat : public QDialog {
    Q_OBJECT
  public:
    Tflimat(ViewState& view, const Metric& metric, Messages& messages, QWidget* parent = nullptr);

    // Every activation: the nine boxes "0", X "Direct", Y and Z "Recipr.",
    // focus on the first box, the dialog at (10, 40).
    void init_first();
    // Reads the boxes: an empty box is 0, one that is no number shows
    // "Type error" and is emptied.
    void verifie();
    // OK: no row given closes without change; a refused set keeps the
    // dialog open; an accepted one sets the view and closes.
    void calcul_mat();

    QLineEdit* box(int row, int column) const { return boxes_[row][column]; }
    void set_space(int row, AxisSpace space);

  signals:
    void help_requested(int context);
    // The matrices were set: the drawing recomputes its ellipsoids and scene.
    void orientation_changed();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void verify_box(QLineEdit* box);

    ViewState& view_;
    const Metric& metric_;
    Messages& messages_;
    std::array<std::array<QLineEdit*, 3>, 3> boxes_{};
    std::array<QButtonGroup*, 3> spaces_{};
};

}  // namespace veldor
