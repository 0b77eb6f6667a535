// The windows the main window joins together: the analysis windows with
// the drawing window's tools and with "Coord." and "Display the list of
// generated atoms", the drawing window's output commands, its check boxes
// after a load, and every window's help.

#include <QAction>
#include <QScreen>
#include <algorithm>

#include "analysis/ui/Tfdisp_coord.h"
#include "analysis/ui/Tfdisp_coordinance.h"
#include "analysis/ui/Tfdistances.h"
#include "analysis/ui/Tfplan_moyen.h"
#include "analysis/ui/Tfvarnel.h"
#include "drawing/ui/Tfdessin.h"
#include "drawing/ui/picture_widget.h"
#include "formats/ui/Tfformula.h"
#include "main/Tfmainmenu.h"
#include "output/ui/output_commands.h"

namespace veldor {

namespace {

// Pixels between the picture and a window placed beside it.
constexpr int kBesidePicture = 40;

// Shows a window in front; one already shown is also brought forward.
void bring_forward(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

}  // namespace

void Tfmainmenu::link_windows() {
    // The windows of the drawing's tools belong to the drawing window: the
    // drawing is not set up again when the user comes back from them.
    distances_ = new Tfdistances(doc_, paths_, messages_, dessin_);
    disp_coordinance_ = new Tfdisp_coordinance(doc_, paths_, messages_, dessin_);
    disp_coord_ = new Tfdisp_coord(doc_, paths_, messages_, this);
    plan_moyen_ = new Tfplan_moyen(doc_, paths_, messages_, dessin_);
    plan_moyen_->set_coordinate_window(disp_coord_);
    varnel_ = new Tfvarnel(doc_, paths_, messages_, this);

    // "Angles & Distances around an atom".
    connect(dessin_, &Tfdessin::coordination_requested, disp_coordinance_,
            &Tfdisp_coordinance::show_environment);
    connect(disp_coordinance_, &Tfdisp_coordinance::picking_ended, dessin_, &Tfdessin::end_picking);
    // "Mean Plane determination": the window opens once and gathers one
    // plane per run of the tool; the plane being picked is marked.
    connect(dessin_, &Tfdessin::mean_plane_opened, this, [this] {
        if (plan_moyen_->isVisible() && plan_moyen_->picking()) {
            plan_moyen_->end_pick();
            plan_moyen_->raise();
        } else {
            plan_moyen_->begin_picking();
            place_beside_picture(plan_moyen_);  // its size is known once shown
        }
    });
    connect(dessin_, &Tfdessin::mean_plane_atom_picked, this, [this](int atom) {
        if (plan_moyen_->add_picked_atom(atom)) dessin_->mark_atoms(plan_moyen_->picked_atoms());
    });
    connect(dessin_, &Tfdessin::mean_plane_picked, plan_moyen_, &Tfplan_moyen::end_pick);
    connect(plan_moyen_, &Tfplan_moyen::redraw_requested, dessin_,
            [this] { dessin_->mark_atoms(plan_moyen_->picked_atoms()); });
    connect(plan_moyen_, &Tfplan_moyen::picking_ended, dessin_, &Tfdessin::end_picking);
    connect(dessin_, &Tfdessin::tools_ended, this, &Tfmainmenu::close_drawing_tools);
    connect(dessin_, &Tfdessin::distances_requested, this, &Tfmainmenu::show_distances);
    for (const char* name : {"set_coordinance", "set_mean_plane", "affiche_distances"})
        dessin_->action(QString::fromLatin1(name))->setEnabled(true);

    // "Coord." and "Display the list of generated atoms"; the coordination
    // result goes into every CIF written while it lasts.
    set_coordination_command([this] { show_coordination_window(); });
    set_generated_list_command([this] { show_coordinate_list(); });
    varnel_->set_cif_saver([this](const CifWriteOptions&) { save_coordination_cif(); });
    formula_->set_coordination_source([this](CifWriteOptions& options) {
        const CifWriteOptions result = varnel_->coordination_options();
        options.coordination_result = result.coordination_result;
        options.coordination_with_angles = result.coordination_with_angles;
    });
    connect(formula_, &QDialog::finished, this, [this] { formula_->set_bonds_choice_shown(true); });

    // The drawing window's output commands.
    connect(dessin_, &Tfdessin::povray_export_requested, this,
            [this] { make_povray(output_context()); });
    connect(dessin_, &Tfdessin::povray_launch_requested, this,
            [this] { povray(output_context(), program_povray_engine()); });
    connect(dessin_, &Tfdessin::print_requested, this, [this] { print_picture(output_context()); });
    connect(dessin_, &Tfdessin::bmp_export_requested, this,
            [this] { export_bmp(output_context()); });
    connect(dessin_, &Tfdessin::jpeg_export_requested, this,
            [this] { export_jpeg(output_context()); });
    connect(dessin_, &Tfdessin::emf_export_requested, this,
            [this] { export_metafile(output_context()); });
    for (const char* name :
         {"make_povray", "povray", "imprime", "sauve_bmp", "sauve_jpeg", "sauve_emf"})
        dessin_->action(QString::fromLatin1(name))->setEnabled(true);

    // A new structure: the drawing's check boxes and label lists start
    // again, the results of the last structure go.
    connect(this, &Tfmainmenu::drawing_checks_reset, dessin_, &Tfdessin::reset_checks);
    connect(this, &Tfmainmenu::isotropic_display, dessin_, &Tfdessin::set_isotropic_display);
    connect(this, &Tfmainmenu::structure_loading, this, [this] {
        close_drawing_tools();
        varnel_->clear_results();
        varnel_->hide();
        dessin_->set_isotropic_display(false);
    });

    // Help of every window goes to the one help window (the drawing window
    // passes on its own, its orientation dialog's and its labelling panel's).
    connect(plan_moyen_, &Tfplan_moyen::help_requested, this, &Tfmainmenu::show_help);
}

OutputContext Tfmainmenu::output_context() const {
    return OutputContext{
        doc_, drawing_, messages_, dessin_->environment(), dessin_, windowTitle().toStdString()};
}

void Tfmainmenu::place_beside_picture(QWidget* w) const {
    // Right of the picture, over the option panels, so that the atoms stay
    // in reach of the mouse; kept on the screen.
    const QWidget* picture = dessin_->picture_widget();
    QPoint at = picture->mapToGlobal(QPoint(picture->width() + kBesidePicture, 0));
    if (const QScreen* screen = dessin_->screen()) {
        const QRect room = screen->availableGeometry();
        const QSize size = w->frameGeometry().size().expandedTo(w->size());
        at.setX(std::max(room.left(), std::min(at.x(), room.left() + room.width() - size.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.top() + room.height() - size.height())));
    }
    w->move(at);
}

void Tfmainmenu::show_coordination_window() {
    if (varnel_->isVisible()) varnel_->fill_grids();
    bring_forward(varnel_);
}

void Tfmainmenu::show_coordinate_list() {
    // The atoms were generated again: a list already open shows them.
    if (disp_coord_->isVisible()) disp_coord_->fill_memo();
    bring_forward(disp_coord_);
}

void Tfmainmenu::show_distances() {
    if (distances_->isVisible()) distances_->fill_grid();
    bring_forward(distances_);
}

void Tfmainmenu::save_coordination_cif() {
    formula_->set_bonds_choice_shown(false);
    sauve_fichier_cif();
    // The command stopped before its dialog (no symbol, no file chosen).
    if (!formula_->isVisible()) formula_->set_bonds_choice_shown(true);
}

void Tfmainmenu::close_drawing_tools() {
    if (plan_moyen_->isVisible()) plan_moyen_->end_planes();
    if (disp_coordinance_->isVisible()) disp_coordinance_->return_to_plot();
    dessin_->mark_atoms({});
}

}  // namespace veldor
