#include "main/startup_windows.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>

#include "analysis/batch_reports.h"
#include "analysis/ui/Tfdisp_coord.h"
#include "analysis/ui/Tfdisp_coordinance.h"
#include "analysis/ui/Tfdistances.h"
#include "analysis/ui/Tfplan_moyen.h"
#include "analysis/ui/Tfvarnel.h"
#include "core/messages.h"
#include "drawing/picking.h"
#include "drawing/ui/Tfchange_style_liai.h"
#include "drawing/ui/Tfcustomize.h"
#include "drawing/ui/Tfdessin.h"
#include "drawing/ui/Tflimat.h"
#include "drawing/ui/Tfmask_element.h"
#include "formats/cif_read.h"
#include "formats/ui/Tfformula.h"
#include "formats/ui/Tfquel_bloc.h"
#include "generation/ui/Tfboite.h"
#include "generation/ui/TfeffaceA.h"
#include "generation/ui/TfeffaceB.h"
#include "generation/ui/TfeffaceE.h"
#include "generation/ui/Tfsphere.h"
#include "generation/ui/Tftypliai.h"
#include "main/Tfabout.h"
#include "main/Tfmainmenu.h"
#include "output/ui/Tfimprime.h"
#include "output/ui/Tfwmetafile2.h"
#include "symmetry/ui/Tfget_sp.h"

namespace veldor {

namespace {

// The generation check list's rows.
constexpr int kBoxRow = 1;
constexpr int kSphereRow = 2;

QWidget* open_main(Tfmainmenu& m, const std::string&) {
    return &m;
}

QWidget* open_delete_elements(Tfmainmenu& m, const std::string&) {
    m.effaace_element();
    return m.delete_elements_dialog();
}

QWidget* open_bond_lengths(Tfmainmenu& m, const std::string&) {
    m.modif_liaisons();
    return m.bond_lengths_dialog();
}

QWidget* open_box(Tfmainmenu& m, const std::string&) {
    m.check_generation_option(kBoxRow, true);
    return m.box_dialog();
}

QWidget* open_delete_atoms(Tfmainmenu& m, const std::string&) {
    m.efface_atome();
    TfeffaceA* d = m.delete_atoms_dialog();
    // One atom marked, as after a click on it.
    if (d->grid()->rowCount() > 1) {
        d->select_atom_to_del(0, 1);
        d->onclic();
    }
    return d;
}

QWidget* open_delete_block(Tfmainmenu& m, const std::string&) {
    m.efface_bloc();
    return m.delete_block_dialog();
}

QWidget* open_sphere(Tfmainmenu& m, const std::string&) {
    m.check_generation_option(kSphereRow, true);
    return m.sphere_dialog();
}

QWidget* open_about(Tfmainmenu& m, const std::string&) {
    m.a_propos();
    return m.about_dialog();
}

QWidget* open_drawing(Tfmainmenu& m, const std::string&) {
    m.trace_ortep();
    QWidget* d = m.drawing_window();
    return d->isVisible() ? d : nullptr;
}

// The drawing window after Plot, or nullptr when there is no drawing.
Tfdessin* plotted(Tfmainmenu& m) {
    return open_drawing(m, {}) ? m.drawing_window() : nullptr;
}

// A click of the left (or right) button on the picture where `atom` is drawn.
void click_atom(Tfmainmenu& m, int atom, Qt::MouseButton button = Qt::LeftButton) {
    Tfdessin* d = m.drawing_window();
    const DrawingState& state = m.drawing_state();
    const Point p = atom_pixel(state.view, screen_page(state.view, d->environment()), atom);
    d->mouse_down(QPointF(p.x, p.y), button);
    d->mouse_up(QPointF(p.x, p.y), button);
}

// The shown atoms of these names (a ring of thpp), or the first ones of the
// drawing for another structure.
std::vector<int> some_atoms(Tfmainmenu& m, std::size_t count) {
    const StructureDocument& doc = m.document();
    std::vector<int> atoms;
    for (const char* name : {"C9", "C4", "N3", "C2", "C1", "C10"})
        if (const auto i = find_shown_atom(doc, name)) atoms.push_back(*i);
    if (atoms.size() < count) {
        atoms.clear();
        for (int i = 0; i < static_cast<int>(doc.display.size()); ++i)
            if (doc.display[static_cast<std::size_t>(i)].drawn) atoms.push_back(i);
    }
    if (atoms.size() > count) atoms.resize(count);
    return atoms;
}

// Commands of the drawing window that open a window of their own.
template <class Window>
QWidget* after_drawing_action(Tfmainmenu& m, const char* action) {
    Tfdessin* d = plotted(m);
    if (!d) return nullptr;
    d->action(QString::fromLatin1(action))->trigger();
    return d->findChild<Window*>();
}

QWidget* open_print(Tfmainmenu& m, const std::string&) {
    return after_drawing_action<Tfimprime>(m, "imprime");
}

QWidget* open_metafile(Tfmainmenu& m, const std::string&) {
    return after_drawing_action<Tfwmetafile2>(m, "sauve_emf");
}

QWidget* open_orientation(Tfmainmenu& m, const std::string&) {
    Tfdessin* d = plotted(m);
    if (!d) return nullptr;
    d->modif_orientation();
    return d->orientation_dialog();
}

QWidget* open_mask_elements(Tfmainmenu& m, const std::string&) {
    Tfdessin* d = plotted(m);
    if (!d) return nullptr;
    d->masque_elements();
    return d->mask_element_dialog();
}

// "Customize  bonds" ticked: the bond-style dialog comes up with the tool.
QWidget* open_bond_style(Tfmainmenu& m, const std::string&) {
    Tfdessin* d = plotted(m);
    if (!d) return nullptr;
    d->option_box(QStringLiteral("customize_bonds"))->setChecked(true);
    return d->bond_style_dialog();
}

// A ring middle made of picked atoms: the dummy-atom style dialog follows.
QWidget* open_dummy_style(Tfmainmenu& m, const std::string&) {
    Tfdessin* d = plotted(m);
    if (!d) return nullptr;
    d->centroid();
    for (int atom : some_atoms(m, 6))
        click_atom(m, atom);
    click_atom(m, 0, Qt::RightButton);
    return d->dummy_style_dialog()->isVisible() ? d->dummy_style_dialog() : nullptr;
}

QWidget* open_distances(Tfmainmenu& m, const std::string&) {
    if (!plotted(m)) return nullptr;
    m.drawing_window()->affiche_distances();
    return m.distances_window();
}

// The environment of a clicked atom within 1.6 A: its bonded neighbours.
QWidget* open_environment(Tfmainmenu& m, const std::string&) {
    if (!plotted(m)) return nullptr;
    m.drawing_window()->set_coordinance();
    const std::vector<int> centre = some_atoms(m, 1);
    if (centre.empty()) return nullptr;
    click_atom(m, centre.front());
    Tfdisp_coordinance* w = m.environment_window();
    w->radius_box()->setText(QStringLiteral("1.6"));
    w->compute();
    return w;
}

// A plane of six picked atoms, computed.
QWidget* open_mean_plane(Tfmainmenu& m, const std::string&) {
    if (!plotted(m)) return nullptr;
    m.drawing_window()->set_mean_plane();
    for (int atom : some_atoms(m, 6))
        click_atom(m, atom);
    click_atom(m, 0, Qt::RightButton);
    Tfplan_moyen* w = m.mean_plane_window();
    w->calcul_plan();
    return w;
}

QWidget* open_coordinate_list(Tfmainmenu& m, const std::string&) {
    m.affiche_child();
    QWidget* w = m.coordinates_window();
    return w->isVisible() ? w : nullptr;
}

// "Coord." with its first atom's shell computed.
QWidget* open_coordination(Tfmainmenu& m, const std::string&) {
    m.Calcul_varnel();
    Tfvarnel* w = m.coordination_window();
    w->calcul();
    return w;
}

QWidget* open_formula(Tfmainmenu& m, const std::string&) {
    Tfformula* d = m.formula_dialog();
    d->prepare({});
    d->open();
    return d;
}

QWidget* open_block_chooser(Tfmainmenu& m, const std::string& file) {
    Tfquel_bloc* d = m.block_dialog();
    SilentMessages quiet;
    if (!file.empty()) d->set_blocks(scan_cif_file(file, quiet).candidates);
    d->open();
    return d;
}

QWidget* open_space_group_notice(Tfmainmenu& m, const std::string&) {
    m.space_group_notice()->open();
    return m.space_group_notice();
}

}  // namespace

const std::vector<StartupWindow>& startup_windows() {
    static const std::vector<StartupWindow> windows = {
        {"Tfmainmenu", open_main},
        {"TfeffaceE", open_delete_elements},
        {"Tftypliai", open_bond_lengths},
        {"Tfboite", open_box},
        {"Tfimprime", open_print},
        {"TfeffaceA", open_delete_atoms},
        {"TfeffaceB", open_delete_block},
        {"Tflimat", open_orientation},
        {"Tfsphere", open_sphere},
        {"Tfabout", open_about},
        {"Tfdistances", open_distances},
        {"Tfdisp_coordinance", open_environment},
        {"Tfdisp_coord", open_coordinate_list},
        {"Tfdessin", open_drawing},
        {"Tfplan_moyen", open_mean_plane},
        {"Tfwmetafile2", open_metafile},
        {"Tfmask_element", open_mask_elements},
        {"Tfformula", open_formula},
        {"Tfquel_bloc", open_block_chooser},
        {"Tfget_sp", open_space_group_notice},
        {"Tfvarnel", open_coordination},
        {"Tfcustomize", open_dummy_style},
        {"Tfchange_style_liai", open_bond_style},
    };
    return windows;
}

const StartupWindow* find_startup_window(std::string_view name) {
    for (const StartupWindow& w : startup_windows())
        if (name == w.name) return &w;
    return nullptr;
}

}  // namespace veldor
