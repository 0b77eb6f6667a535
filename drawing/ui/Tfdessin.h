#pragma once
// The drawing window: the picture of the generated structure, turned with
// the mouse, with its scale, probability and thermal-mode controls, the
// best view and the projection-direction read-out.

#include <QImage>
#include <QWidget>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "drawing/view.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSlider;

namespace veldor {

class PictureWidget;

class Tfdessin : public QWidget {
    Q_OBJECT
  public:
    Tfdessin(StructureDocument& doc, DrawingState& state, Messages& messages, std::string work_dir,
             bool compact, QWidget* parent = nullptr);

    // Window set-up: mouse mode "Rotation XY", view origin in the picture
    // centre, ellipsoids, scene, controls from the state, redraw.
    void initialise_fiche();
    // Redraw request: reads the controls into the state, recomputes what
    // they invalidate, redraws.
    void redessine();
    // Paints the picture and copies it to the clipboard.
    void redraw();

    const QImage& picture() const;
    DrawingEnvironment environment() const;
    int picture_size() const { return picture_size_; }
    // The three projection-direction boxes.
    QStringList projection_texts() const;
    QString scale_text() const;

    // Mouse input in picture pixels, as the picture widget reports it.
    void mouse_down(QPointF pos, Qt::MouseButton button);
    void mouse_move(QPointF pos, Qt::MouseButtons buttons);
    void mouse_up(QPointF pos, Qt::MouseButton button);

  public slots:
    void set_mode_rotation(int index);  // 0 Rotation XY, 1 Rotation Z, 2 Translation
    void change_echelle(int position);  // the "Scale" track bar
    void best_view();                   // "B.View"
    void Retour();                      // "Return"

  signals:
    void closed_by_return();

  protected:
    bool event(QEvent* e) override;

  private:
    void build_controls();
    void controls_from_state();
    void show_direction();

    StructureDocument& doc_;
    DrawingState& state_;
    Messages& messages_;
    std::string work_dir_;
    int picture_size_;
    bool own_dialog_ = false;
    bool updating_controls_ = false;

    PictureWidget* picture_ = nullptr;
    QButtonGroup* mouse_group_ = nullptr;
    QSlider* scale_bar_ = nullptr;
    QLineEdit* scale_box_ = nullptr;  // Edit13
    QListWidget* probability_ = nullptr;
    QButtonGroup* thermal_group_ = nullptr;
    QLineEdit* direction_[3] = {nullptr, nullptr, nullptr};
    QLabel* orientation_picture_ = nullptr;

    bool button_down_ = false;
    Qt::MouseButton button_ = Qt::NoButton;
    QPointF previous_;
};

}  // namespace veldor
