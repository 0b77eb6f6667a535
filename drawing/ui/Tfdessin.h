#pragma once
// The drawing window: the picture of the generated structure with its tool
// bars and menus, the option panel (overlays, labels, black and white,
// colours, bond width and perspective, probability, scale, thermal mode),
// the yellow prompt bar of the mouse tools, the label box, the labelling
// panels and the projection-direction read-out. It forwards mouse events
// to the tool session of drawing/ and shows what that reports; every
// computation is in drawing/.
//
// Hooks for windows other branches build: the help window, the analysis
// windows (coordination environment, mean plane) and the output commands
// (POV-Ray, printing, image files) are reached through the signals below;
// their menu entries and buttons stay disabled until they are connected
// and enabled (action()).

#include <QImage>
#include <QVector>
#include <QWidget>
#include <array>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/deferred_canvas.h"
#include "drawing/drag_frame.h"
#include "drawing/drawing_state.h"
#include "drawing/pixel_frame.h"
#include "drawing/tools.h"
#include "drawing/ui/screen_picture.h"
#include "drawing/view.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;

namespace veldor {

class BondLabellingPanel;
class ColourGrid;
class LabellingPanel;
class PictureWidget;
class Tfchange_style_liai;
class Tfcustomize;
class Tflimat;
class Tfmask_element;

inline constexpr int kHelpDrawing = 3;

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
    // Paints the picture and copies it to the clipboard. The one place the
    // still picture is drawn.
    void redraw();
    // True while the picture shown is a quick one with the still picture to
    // come: during a drag (mouse rotation, translation, the scale bar held
    // down) until the release or a rest of the pointer, and for a moment
    // after the set-up of a large structure.
    bool showing_quick_picture() const { return still_owed_; }

    const QImage& picture() const;
    DrawingEnvironment environment() const;
    int picture_size() const { return picture_size_; }
    bool compact() const { return compact_; }
    // The three projection-direction boxes.
    QStringList projection_texts() const;
    QString scale_text() const;
    // The prompt bar: its text (empty when hidden) and colour.
    QString prompt_text() const;
    QColor prompt_colour() const;
    // The label box ("Type the Label :" and the text box beside it).
    QLineEdit* label_box() const { return label_text_; }
    bool label_box_shown() const;
    // The moved-label tool's two-line explanation over the picture.
    QLabel* explanation() const { return explanation_; }
    // The lattice-translation panel and its three boxes.
    QFrame* translation_panel() const { return translation_panel_; }
    QLineEdit* translation_box(int k) const { return translation_boxes_[k]; }
    PictureWidget* picture_widget() const { return picture_; }
    LabellingPanel* labelling_panel() const { return labelling_; }
    BondLabellingPanel* bond_labelling_panel() const { return bond_labelling_; }
    ColourGrid* colour_grid() const { return colour_grid_; }
    Tflimat* orientation_dialog() const { return limat_; }
    Tfmask_element* mask_element_dialog() const { return mask_element_; }
    Tfcustomize* dummy_style_dialog() const { return customize_; }
    Tfchange_style_liai* bond_style_dialog() const { return style_liai_; }
    const ToolSession& session() const { return session_; }
    // A menu or tool action by its object name (the handler's name).
    QAction* action(const QString& name) const;
    // A check box of the option panel by its object name.
    QCheckBox* option_box(const QString& name) const;

    // Atoms marked on the picture (0-based display indexes), as the
    // mean-plane window asks for the plane being picked; empty: none.
    void mark_atoms(const std::vector<int>& atoms);
    const std::vector<int>& marked_atoms() const { return marked_; }

    // Mouse input in picture pixels, as the picture widget reports it.
    void mouse_down(QPointF pos, Qt::MouseButton button);
    void mouse_move(QPointF pos, Qt::MouseButtons buttons);
    void mouse_up(QPointF pos, Qt::MouseButton button);

  public slots:
    // Mouse movement group and the "Scale" track bar.
    void set_mode_rotation(int index);  // 0 Rotation XY, 1 Rotation Z, 2 Translation
    void change_echelle(int position);
    // Orientation.
    void best_view();          // "B.View"
    void modif_orientation();  // the orientation dialog
    void set_direction_projection();
    void matrice_sur_3atomes();
    void selecte_centre();
    void set_zoom();    // "Zoop in"
    void reset_zoom();  // "Zoop out"
    // Measuring, masking and editing tools.
    void pique_distance();
    void pique_angle();
    void set_coordinance();
    void tue_liaison();
    void tue_atome();
    void select_atom_rect();
    void masque_fragment();
    void tue_liaisons();
    void masque_elements();
    void set_translations();
    void ok_translation();
    void centroid();
    void set_mean_plane();
    // Ends the active tool as the right button does (the analysis windows
    // call it when they close).
    void end_picking();
    // Options.
    void change_bond_width(int position);
    void change_perspective(int position);
    void choose_colour(int row);
    // Buttons.
    void aide();         // "Help": help context 3
    void reset_child();  // "Reset"
    void Retour();       // "Return"
    // Saves the drawing as a VLD file; an empty name opens the save dialog.
    void sauve_fichier_vld(const QString& file_name = {});
    // "Display distances": emits distances_requested.
    void affiche_distances();
    // A new structure: the check boxes show the reset flags, the labelling
    // panels close and their lists go back to their first entry, "Font"
    // (current, none ticked).
    void reset_checks();
    // "Iso" of the main window (true) hides the "Thermal parameters"
    // choice until "Aniso" (false) or another structure.
    void set_isotropic_display(bool iso);
    // Output commands: each emits its request signal.
    void make_povray();
    void povray();
    void imprime();
    void sauve_bmp();
    void sauve_jpeg();
    void sauve_emf();

  signals:
    void closed_by_return();
    void help_requested(int context);
    // Analysis hooks; atom numbers are 0-based indexes of the display copy.
    void coordination_requested(int atom);
    void mean_plane_opened();
    void mean_plane_atom_picked(int atom);
    void mean_plane_picked(const QVector<int>& atoms);
    void distances_requested();
    // Every tool ended by "Return" or closing: the analysis windows hide.
    void tools_ended();
    // Output hooks.
    void povray_export_requested();
    void povray_launch_requested();
    void print_requested();
    void bmp_export_requested();
    void jpeg_export_requested();
    void emf_export_requested();

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // Hidden (by "Return", or when another structure is loaded): no tool
    // keeps atoms of the drawing it was started on.
    void hideEvent(QHideEvent* e) override;

  private:
    void build_menus(QMenuBar* bar);
    QWidget* build_view_panel();
    QWidget* build_option_panel();
    QWidget* build_picture_column();
    QAction* make_action(const QString& text, const QString& name, const QString& hint,
                         void (Tfdessin::*slot)());
    void controls_from_state();
    void show_tool_state();
    void show_direction();
    void start_tool(Tool tool);
    void handle(const ToolOutcome& outcome);
    void after_orientation_change();
    void set_up_again();
    void labelling_entry(int entry);
    void bond_labelling_entry(int entry);
    void show_labelling_panel(bool on);
    void show_bond_labelling_panel(bool on);
    void choose_label_font(LabelFont& font);
    void option_toggled(QCheckBox* box, bool on);
    bool rotation_allowed() const;
    void end_all_tools();
    int orientation_size() const;
    void save_drawing();
    // Shows the quick picture and owes the still one, which follows after
    // `still_after_ms` unless another quick picture comes first (a drag
    // gives kStillPictureDelayMs), or on release.
    void show_quick_picture(int still_after_ms);
    void show_owed_still_picture();

    StructureDocument& doc_;
    DrawingState& state_;
    Messages& messages_;
    std::string work_dir_;
    bool compact_;
    int picture_size_;
    ToolSession session_;
    bool own_dialog_ = false;
    // Set up since the window last lost the focus: the activation that
    // follows Plot's set-up has nothing new to show.
    bool set_up_while_active_ = false;
    bool made_isotropic_ = false;  // by "Iso" in the main window
    std::vector<int> marked_;
    bool updating_controls_ = false;

    PictureWidget* picture_ = nullptr;
    QLabel* prompt_ = nullptr;
    QFrame* label_box_ = nullptr;
    QLineEdit* label_text_ = nullptr;
    QLabel* explanation_ = nullptr;
    QFrame* translation_panel_ = nullptr;
    std::array<QLineEdit*, 3> translation_boxes_{};
    QButtonGroup* mouse_group_ = nullptr;
    QSlider* scale_bar_ = nullptr;
    QLineEdit* scale_box_ = nullptr;  // Edit13
    QListWidget* probability_ = nullptr;
    QWidget* thermal_box_ = nullptr;
    QButtonGroup* thermal_group_ = nullptr;
    QButtonGroup* double_group_ = nullptr;
    QSlider* bond_width_bar_ = nullptr;
    QLineEdit* bond_width_box_ = nullptr;
    QSlider* perspective_bar_ = nullptr;
    QLineEdit* perspective_box_ = nullptr;
    QLineEdit* direction_[3] = {nullptr, nullptr, nullptr};
    QLabel* orientation_picture_ = nullptr;
    QToolButton* centre_button_ = nullptr;
    ColourGrid* colour_grid_ = nullptr;
    QStackedWidget* lower_panel_ = nullptr;
    QTabWidget* tabs_ = nullptr;  // the compact layout's panels
    LabellingPanel* labelling_ = nullptr;
    BondLabellingPanel* bond_labelling_ = nullptr;
    Tflimat* limat_ = nullptr;
    Tfmask_element* mask_element_ = nullptr;
    Tfcustomize* customize_ = nullptr;
    Tfchange_style_liai* style_liai_ = nullptr;

    bool button_down_ = false;
    Qt::MouseButton button_ = Qt::NoButton;
    QPointF previous_;
    bool still_owed_ = false;
    QTimer* still_timer_ = nullptr;
    PixelFrame drag_frame_;
    DeferredCanvas composed_;  // the still picture's calls, kept between redraws
    FrameLog frame_log_;
};

}  // namespace veldor
