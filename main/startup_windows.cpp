#include "main/startup_windows.h"

#include <QTableWidget>

#include "core/messages.h"
#include "drawing/ui/Tfdessin.h"
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
        {"Tfimprime", {}},
        {"TfeffaceA", open_delete_atoms},
        {"TfeffaceB", open_delete_block},
        {"Tflimat", {}},
        {"Tfsphere", open_sphere},
        {"Tfabout", open_about},
        {"Tfdistances", {}},
        {"Tfdisp_coordinance", {}},
        {"Tfdisp_coord", {}},
        {"Tfdessin", open_drawing},
        {"Tfplan_moyen", {}},
        {"Tfwmetafile2", {}},
        {"Tfmask_element", {}},
        {"Tfformula", open_formula},
        {"Tfquel_bloc", open_block_chooser},
        {"Tfget_sp", open_space_group_notice},
        {"Tfvarnel", {}},
        {"Tfcustomize", {}},
        {"Tfchange_style_liai", {}},
    };
    return windows;
}

const StartupWindow* find_startup_window(std::string_view name) {
    for (const StartupWindow& w : startup_windows())
        if (name == w.name) return &w;
    return nullptr;
}

}  // namespace veldor
