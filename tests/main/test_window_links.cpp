// The program's windows working as one, driven as a user drives them: the
// drawing window's output commands, its analysis tools and their windows,
// "Coord." with its CIF, the list of generated atoms, the drawing's check
// boxes after a load, and every window's help.

#include "tests/main/window_fixture.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "analysis/ui/Tfdisp_coord.h"
#include "analysis/ui/Tfdisp_coordinance.h"
#include "analysis/ui/Tfdistances.h"
#include "analysis/ui/Tfplan_moyen.h"
#include "analysis/ui/Tfvarnel.h"
#include "drawing/picking.h"
#include "drawing/ui/Tfchange_style_liai.h"
#include "drawing/ui/Tfdessin.h"
#include "drawing/ui/Tflimat.h"
#include "drawing/ui/label_panels.h"
#include "drawing/ui/picture_widget.h"
#include "formats/ui/Tfformula.h"
#include "main/help_window.h"
#include "main/startup_windows.h"
#include "output/ui/Tfimprime.h"
#include "output/ui/Tfwmetafile2.h"

namespace veldor {
namespace {

constexpr const char* kThpp = VELDOR_SOURCE_DIR "/examples/thpp.ins";
constexpr const char* kGraphite = VELDOR_TESTDATA_DIR "/pymatgen_Graphite.cif";

std::string read_all(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Linked : public testing::MainWindowTest {
  protected:
    // Loads thpp and presses Plot: the drawing window is up.
    Tfdessin* plotted() {
        load(kThpp);
        window->trace_ortep();
        Tfdessin* d = window->drawing_window();
        EXPECT_TRUE(d->isVisible());
        return d;
    }
    QPoint pixel(Tfdessin* d, int atom) const {
        const Point p = atom_pixel(drawing.view, screen_page(drawing.view, d->environment()), atom);
        return QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    // The atoms a click on their own pixel picks, in number order.
    std::vector<int> pickable(Tfdessin* d, std::size_t count) const {
        const PageGeometry page = screen_page(drawing.view, d->environment());
        std::vector<int> atoms;
        for (int i = 0; i < static_cast<int>(doc.display.size()) && atoms.size() < count; ++i)
            if (pick_atom(doc, drawing.view, page, atom_pixel(drawing.view, page, i)) == i)
                atoms.push_back(i);
        EXPECT_EQ(atoms.size(), count);
        return atoms;
    }
    void click_atom(Tfdessin* d, int atom, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(d->picture_widget(), button, Qt::NoModifier, pixel(d, atom));
    }
    void right_click(Tfdessin* d) {
        QTest::mouseClick(d->picture_widget(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    }
    // The next file dialog is answered with `name` in the work folder, as
    // a user types it and presses Save.
    void answer_file_dialog(const std::string& name) {
        const QString path = QString::fromStdString((work / name).string());
        QTimer::singleShot(0, [path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    }
};

TEST_F(Linked, OutputCommandsOfTheDrawingWindow) {
    Tfdessin* d = plotted();
    for (const char* name :
         {"make_povray", "povray", "imprime", "sauve_bmp", "sauve_jpeg", "sauve_emf"})
        EXPECT_TRUE(d->action(name)->isEnabled()) << name;

    // "Bond customize" sets the radius the scene's Bond_Dummy follows.
    QCheckBox* customize = d->option_box("customize_bonds");
    click(customize);
    Tfchange_style_liai* style = d->bond_style_dialog();
    ASSERT_TRUE(style->isVisible());
    EXPECT_EQ(style->radius_box()->text().trimmed(), "0.06");  // the bond width
    type_field(style->radius_box(), "0.12");
    QTest::keyClick(style, Qt::Key_Return);
    EXPECT_FALSE(style->isVisible());
    EXPECT_EQ(drawing.bond_style.radius, 12);
    right_click(d);

    answer_file_dialog("scene");
    d->action("make_povray")->trigger();
    const std::string scene = read_all(work / "scene.pov");
    // The header names the structure by the main window's caption.
    EXPECT_NE(scene.find("\nStructure: VELDOR V2. Data for thpp.ins\n"), std::string::npos);
    EXPECT_EQ(window->windowTitle(), "VELDOR V2. Data for thpp.ins");
    // 12 x 0.06 / 3, the radius as stored times the bond width.
    EXPECT_NE(scene.find("#declare Bond_Dummy        =  0.240 ;"), std::string::npos);

    answer_file_dialog("picture.bmp");
    d->action("sauve_bmp")->trigger();
    QImage bmp(QString::fromStdString((work / "picture.bmp").string()));
    EXPECT_EQ(bmp.width(), d->picture_size());
    answer_file_dialog("picture");
    d->action("sauve_jpeg")->trigger();
    EXPECT_TRUE(std::filesystem::exists(work / "picture.jpg"));

    // The print and metafile windows open over the drawing window; the
    // command does not wait for them.
    d->action("imprime")->trigger();
    auto* print = d->findChild<Tfimprime*>();
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isVisible());
    print->reject();
    d->action("sauve_emf")->trigger();
    auto* metafile = d->findChild<Tfwmetafile2*>();
    ASSERT_NE(metafile, nullptr);
    EXPECT_TRUE(metafile->isVisible());
    metafile->reject();
    EXPECT_TRUE(msg.warnings.empty()) << msg.warnings.front();
}

TEST_F(Linked, EnvironmentOfAClickedAtomAndBack) {
    Tfdessin* d = plotted();
    ASSERT_TRUE(d->action("set_coordinance")->isEnabled());
    const int atom = pickable(d, 1).front();
    d->action("set_coordinance")->trigger();
    click_atom(d, atom);
    Tfdisp_coordinance* env = window->environment_window();
    ASSERT_TRUE(env->isVisible());
    EXPECT_EQ(env->centre(), atom);
    EXPECT_TRUE(env->windowTitle().startsWith("Distances and angles around the atom "));
    type_field(env->radius_box(), "1.6");
    EXPECT_TRUE(env->memo()->toPlainText().contains(" d="));
    EXPECT_TRUE(std::filesystem::exists(work / "envir.txt"));
    click(env->findChild<QPushButton*>());  // "Return"
    EXPECT_FALSE(env->isVisible());
    EXPECT_FALSE(std::filesystem::exists(work / "envir.txt"));
    EXPECT_EQ(d->session().active(), Tool::None);
    EXPECT_TRUE(d->prompt_text().isEmpty());
}

TEST_F(Linked, MeanPlanesPickedInTheDrawing) {
    Tfdessin* d = plotted();
    const std::vector<int> atoms = pickable(d, 6);
    d->action("set_mean_plane")->trigger();
    Tfplan_moyen* plan = window->mean_plane_window();
    ASSERT_TRUE(plan->isVisible());
    // Right of the picture as far as the screen allows.
    const QRect screen = d->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(plan->geometry()));
    EXPECT_GT(plan->x(), d->picture_widget()->mapToGlobal(QPoint(0, 0)).x());
    for (int i = 0; i < 3; ++i)
        click_atom(d, atoms[static_cast<std::size_t>(i)]);
    // The plane being picked is marked on the drawing.
    EXPECT_EQ(d->marked_atoms(), std::vector<int>(atoms.begin(), atoms.begin() + 3));
    right_click(d);  // the plane is handed over
    EXPECT_TRUE(d->marked_atoms().empty());
    // The tool again: the window keeps its first plane, the next atoms make a second.
    d->action("set_mean_plane")->trigger();
    for (int i = 3; i < 6; ++i)
        click_atom(d, atoms[static_cast<std::size_t>(i)]);
    right_click(d);
    ASSERT_EQ(plan->table().planes().size(), 2u);
    EXPECT_EQ(plan->table().planes()[1].front(), atoms[3] + 1);
    plan->calcul_plan();
    ASSERT_GT(plan->results()->count(), 0);
    EXPECT_TRUE(plan->results()->item(0)->text().contains("Plane Nb. 2:"));
    // Help goes to the main window's help.
    plan->show_help();
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx11");
    // "Return" of the drawing closes the window and empties its table.
    d->Retour();
    EXPECT_FALSE(plan->isVisible());
    EXPECT_TRUE(plan->table().planes().empty());
}

TEST_F(Linked, CoordinationWindowItsCifAndTheNextStructure) {
    load(kThpp);
    auto* coord = find<QPushButton>("Calcul_varnel");
    ASSERT_TRUE(coord->isEnabled());
    click(coord);
    Tfvarnel* varnel = window->coordination_window();
    ASSERT_TRUE(varnel->isVisible());
    EXPECT_EQ(varnel->atom_grid()->rowCount(), static_cast<int>(doc.asym.size()));
    varnel->calcul();
    ASSERT_FALSE(varnel->result_memo()->toPlainText().trimmed().isEmpty());

    // "Export CIF": the program's CIF command, without "Include the bonds".
    answer_file_dialog("coordination");
    varnel->export_cif();
    Tfformula* formula = window->formula_dialog();
    ASSERT_TRUE(formula->isVisible());
    EXPECT_FALSE(formula->findChild<QGroupBox*>()->isVisibleTo(formula));
    click(formula->findChild<QPushButton*>("OK"));
    const std::string cif = read_all(work / "coordination.cif");
    EXPECT_NE(cif.find("_geom_bond_site_symmetry_2"), std::string::npos);
    EXPECT_EQ(cif.find("_geom_angle"), std::string::npos);                // distances only
    EXPECT_TRUE(formula->findChild<QGroupBox*>()->isVisibleTo(formula));  // shown again

    // Another structure: the result goes, the window with it.
    load(kGraphite);
    EXPECT_FALSE(varnel->isVisible());
    EXPECT_TRUE(varnel->coordination_options().coordination_result.empty());

    // "Display the list of generated atoms".
    click("affiche_child");
    Tfdisp_coord* list = window->coordinates_window();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->memo()->document()->blockCount(), static_cast<int>(doc.gen.size()) + 1);
    EXPECT_FALSE(window->drawing_window()->isVisible());
}

TEST_F(Linked, DistancesListOfTheDrawing) {
    Tfdessin* d = plotted();
    d->action("affiche_distances")->trigger();
    Tfdistances* distances = window->distances_window();
    ASSERT_TRUE(distances->isVisible());
    // One row per bond, the rest empty.
    const int bonds = static_cast<int>(doc.bonds.size());
    ASSERT_GT(bonds, 0);
    QTableWidget* grid = distances->grid();
    EXPECT_FALSE(cell(grid, bonds - 1, 10).isEmpty());
    EXPECT_TRUE(cell(grid, bonds, 10).isEmpty());
}

TEST_F(Linked, ALoadResetsTheDrawingsChecksAndIsoHidesTheThermalChoice) {
    Tfdessin* d = plotted();
    click(d->option_box("cell"));
    ASSERT_TRUE(drawing.options.draw_cell);
    click(d->option_box("labels_off_centre"));
    LabellingPanel* labels = d->labelling_panel();
    ASSERT_TRUE(labels->isVisibleTo(d));
    for (QPushButton* b : labels->findChildren<QPushButton*>())
        if (b->text() == "&Help") click(b);
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx9");
    load(kThpp);
    EXPECT_FALSE(d->option_box("cell")->isChecked());
    EXPECT_FALSE(d->option_box("labels_off_centre")->isChecked());
    EXPECT_FALSE(labels->isVisibleTo(d));
    EXPECT_EQ(labels->entries()->list()->currentRow(), LabellingPanel::Font);

    window->trace_ortep();
    QWidget* thermal = d->findChild<QWidget*>("thermal");
    EXPECT_FALSE(thermal->isHidden());
    click(find<QRadioButton>("Iso"));
    EXPECT_TRUE(thermal->isHidden());
    click(find<QRadioButton>("Aniso"));
    EXPECT_FALSE(thermal->isHidden());

    // The drawing's own help and that of its orientation dialog.
    d->aide();
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx3");
    d->modif_orientation();
    Tflimat* orientation = d->orientation_dialog();
    click(orientation->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help));
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx5");
    orientation->reject();
}

// What `veldor --grab` photographs: each of the 23 windows, opened as its
// command opens it after a load, one after the other in one program (the
// generation option stays from one structure to the next: back to the first).
TEST_F(Linked, EveryWindowOpensAsItsCommandOpensIt) {
    for (const StartupWindow& entry : startup_windows()) {
        load(kThpp);
        window->check_generation_option(0, true);  // "No option", as at start
        QWidget* w = entry.open(*window, kThpp);
        ASSERT_NE(w, nullptr) << entry.name
                              << (msg.warnings.empty() ? "" : " " + msg.warnings.back());
        EXPECT_EQ(w->objectName().toStdString(), entry.name);
        EXPECT_TRUE(w->isVisible()) << entry.name;
        // The tools' windows computed what they show.
        const std::string name = entry.name;
        if (name == "Tfplan_moyen") {
            EXPECT_GT(window->mean_plane_window()->results()->count(), 0);
        } else if (name == "Tfdisp_coordinance") {
            EXPECT_TRUE(window->environment_window()->memo()->toPlainText().contains(" d="));
        } else if (name == "Tfvarnel") {
            EXPECT_FALSE(window->coordination_window()->result_memo()->toPlainText().isEmpty());
        }
        if (w != window.get() && w != window->drawing_window()) w->hide();
    }
}

}  // namespace
}  // namespace veldor
