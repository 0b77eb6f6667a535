// The drawing window driven as a user drives it: option boxes, bars, the
// colour grid, the style dialogs, the hooks for other windows, the compact
// layout, and the VLD file saved from the window.

#include <QAction>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

#include "drawing/bond_edits.h"
#include "drawing/ui/Tfchange_style_liai.h"
#include "drawing/ui/label_panels.h"
#include "tests/drawing_ui/window_fixture.h"
#include "widgets/colour_chart.h"
#include "widgets/colour_grid.h"
#include "widgets/colour_swatch.h"

namespace veldor::test {
namespace {

TEST_F(DrawingWindow, OpensWithTheStartValuesOfEveryOption) {
    save_picture("thpp_start");
    for (const char* name : {"planes", "planes_axes", "cell", "labels_centre", "labels_off_centre",
                             "gradation", "black_white", "customize_bonds"})
        EXPECT_FALSE(window->option_box(name)->isChecked()) << name;
    EXPECT_EQ(window->option_box("planes")->text(), "Draw the planes");
    EXPECT_EQ(window->option_box("customize_bonds")->text(), "Customize  bonds");
    EXPECT_EQ(window->findChild<QLineEdit*>("bond_width_box")->text(), " 0.06");
    EXPECT_EQ(window->findChild<QSlider*>("bond_width_bar")->value(), 6);
    EXPECT_EQ(window->findChild<QLineEdit*>("bond_perspective_box")->text(), " 6.00");
    EXPECT_EQ(window->findChild<QSlider*>("bond_perspective_bar")->value(), 3);
    EXPECT_EQ(window->scale_text(), "X 1.0");
    EXPECT_EQ(window->findChild<QGroupBox*>("double_triple")->title(), "Draw Double/triple bond");
    EXPECT_EQ(window->colour_grid()->row_name(0), "BackGrd");
    EXPECT_EQ(window->colour_grid()->row_colour(1), QColor(255, 255, 0));
    EXPECT_EQ(window->picture_size(), 692);
    EXPECT_EQ(window->prompt_text(), "");
    EXPECT_FALSE(window->labelling_panel()->isVisible());
    // The analysis and output commands wait for their windows.
    for (const char* name :
         {"set_coordinance", "set_mean_plane", "affiche_distances", "make_povray", "povray",
          "imprime", "sauve_bmp", "sauve_jpeg", "sauve_emf"})
        EXPECT_FALSE(window->action(name)->isEnabled()) << name;
    EXPECT_EQ(window->action("make_povray")->text(), "Export a &Povray file");
    EXPECT_EQ(window->action("povray")->text(), "&Launch POVRAY");
    EXPECT_EQ(window->action("pique_distance")->toolTip(), "Dispay a bond length");
}

TEST_F(DrawingWindow, PlanesExcludeEachOtherAndBondWidthScales) {
    window->option_box("planes")->click();
    window->option_box("planes_axes")->click();
    EXPECT_FALSE(window->option_box("planes")->isChecked());
    EXPECT_TRUE(state.options.draw_planes_and_axes);
    EXPECT_FALSE(state.options.draw_planes);
    save_picture("thpp_planes_axes");

    doc.bonds[0].width = 9;  // customised
    window->findChild<QSlider*>("bond_width_bar")->setValue(12);
    EXPECT_EQ(window->findChild<QLineEdit*>("bond_width_box")->text(), " 0.12");
    EXPECT_EQ(doc.bonds[0].width, 18);
    EXPECT_EQ(doc.bonds[1].width, 12);
    EXPECT_EQ(doc.bond_width, 12);
    window->findChild<QSlider*>("bond_perspective_bar")->setValue(5);
    EXPECT_EQ(window->findChild<QLineEdit*>("bond_perspective_box")->text(), "10.00");
    EXPECT_EQ(state.view.bond_perspective, 10.0);

    // Mouse rotation switches the shading off.
    window->option_box("gradation")->click();
    EXPECT_TRUE(state.options.colour_gradation);
    window->mouse_down({100, 100}, Qt::LeftButton);
    window->mouse_move({120, 100}, Qt::LeftButton);
    window->mouse_up({120, 100}, Qt::LeftButton);
    EXPECT_FALSE(state.options.colour_gradation);
    EXPECT_FALSE(window->option_box("gradation")->isChecked());
}

TEST_F(DrawingWindow, BondColourFromTheGridKeepsACustomisedBond) {
    // The customise-bond tool with the style dialog.
    window->option_box("customize_bonds")->click();
    EXPECT_EQ(window->prompt_text(),
              " Customize bond. Click on the first atom with the left button");
    Tfchange_style_liai* style = window->bond_style_dialog();
    ASSERT_TRUE(style->isVisible());
    EXPECT_EQ(style->windowTitle(), "Bond customize");
    EXPECT_EQ(style->radius_box()->text(), "    0.06");
    style->radius_box()->setText(QStringLiteral("0.1"));
    QTest::mouseClick(style->chart(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 64));
    const QColor chosen = style->chart()->colour_at(QPointF(3, 64));
    EXPECT_EQ(style->colour_box()->colour(), chosen);
    style->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(style->isVisible());
    EXPECT_EQ(window->prompt_text(),
              "Customize a bond. Click on the first atom. Right button to cancel");
    const auto [a, b] = pickable_bond();
    click_atom(a);
    click_atom(b);
    const int bond = *find_bond(doc, a, b, true);
    EXPECT_EQ(doc.bonds[static_cast<std::size_t>(bond)].width, 10);
    const Colour own = doc.bonds[static_cast<std::size_t>(bond)].colour;
    EXPECT_EQ(own, rgb(chosen.red(), chosen.green(), chosen.blue()));
    right_click();
    EXPECT_FALSE(window->option_box("customize_bonds")->isChecked());

    // The colour dialog answers with blue for the "Bonds" row.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QColorDialog*>(w)) {
                d->setCurrentColor(QColor(0, 0, 255));
                d->accept();
            }
    });
    window->choose_colour(1);
    EXPECT_EQ(doc.bond_colour, rgb(0, 0, 255));
    EXPECT_EQ(doc.bonds[static_cast<std::size_t>(bond)].colour, own);
    EXPECT_EQ(doc.bonds[static_cast<std::size_t>(bond == 0 ? 1 : 0)].colour, rgb(0, 0, 255));
    EXPECT_EQ(window->colour_grid()->row_colour(1), QColor(0, 0, 255));
}

TEST_F(DrawingWindow, BlackAndWhiteAndBack) {
    const QImage colour = window->picture();
    window->option_box("black_white")->click();
    for (const Atom& a : doc.display)
        EXPECT_EQ(a.colour, kWhite);
    save_picture("thpp_black_white");
    window->option_box("black_white")->click();
    EXPECT_EQ(window->picture(), colour);
}

TEST_F(DrawingWindow, HelpReturnAndOutputHooks) {
    QSignalSpy help(window.get(), &Tfdessin::help_requested);
    window->findChild<QPushButton*>("help_button")->click();
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 3);
    QSignalSpy povray(window.get(), &Tfdessin::povray_export_requested);
    window->make_povray();
    EXPECT_EQ(povray.count(), 1);
    QSignalSpy coordination(window.get(), &Tfdessin::coordination_requested);
    window->set_coordinance();
    click_atom(pickable(5));
    ASSERT_EQ(coordination.count(), 1);
    EXPECT_EQ(coordination.at(0).at(0).toInt(), pickable(5));
    // "Return" ends the tool, hides the window and lets the analysis windows go.
    QSignalSpy ended(window.get(), &Tfdessin::tools_ended);
    window->findChild<QPushButton*>("return_button")->click();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->session().active(), Tool::None);
}

TEST_F(DrawingWindow, CompactLayoutAroundA525Picture) {
    load(kThppFragments, true);
    EXPECT_EQ(window->picture_size(), 525);
    EXPECT_EQ(window->picture().deviceIndependentSize().toSize(), QSize(525, 525));
    EXPECT_EQ(window->option_box("planes")->text(), "Planes");
    EXPECT_EQ(window->option_box("planes_axes")->text(), "Planes and axes");
    EXPECT_EQ(window->option_box("cell")->text(), "Cell");
    EXPECT_EQ(window->option_box("gradation")->text(), "Gradation");
    EXPECT_EQ(window->findChild<QGroupBox*>("double_triple")->title(), "Double/triple bond");
    EXPECT_EQ(window->findChild<QGroupBox*>("bond_perspective")->title(), "B. perspectivee");
    window->adjustSize();
    EXPECT_LE(window->width(), 800);
    save_picture("thpp_compact");
}

// The figure as saved from the window comes back with the same picture.
TEST_F(DrawingWindow, SavedDrawingReopensWithTheSamePicture) {
    // Label one atom off centre, mask another, turn the structure.
    window->option_box("labels_off_centre")->click();
    window->labelling_panel()
        ->entries()
        ->list()
        ->item(LabellingPanel::WriteOffCentre)
        ->setCheckState(Qt::Checked);
    const int a = pickable(20);
    click_atom(a);
    click(pixel(a) + QPoint(30, -20));
    right_click();
    window->tue_atome();
    const int masked = pickable(40);
    click_atom(masked);
    right_click();
    // The labelling panel suspends the mouse rotation while it is shown.
    const Mat3 before = state.view.view_matrix;
    window->mouse_down({300, 300}, Qt::LeftButton);
    window->mouse_move({340, 320}, Qt::LeftButton);
    EXPECT_EQ(state.view.view_matrix, before);
    window->labelling_panel()->findChildren<QPushButton*>().back()->click();  // "Close"
    EXPECT_FALSE(window->labelling_panel()->isVisible());
    window->mouse_move({380, 340}, Qt::LeftButton);
    window->mouse_up({380, 340}, Qt::LeftButton);
    EXPECT_NE(state.view.view_matrix, before);
    // The file keeps the orientation to 7 decimals and label places to 3:
    // the window takes them so, as when the window is next activated.
    for (auto& row : state.view.view_matrix_inverse)
        for (double& v : row)
            v = std::nearbyint(v * 1e7) / 1e7;
    ASSERT_TRUE(derive_view_matrices(state.view, doc.metric));
    for (Atom& x : doc.display) {
        x.label_dx = std::nearbyint(x.label_dx * 1e3) / 1e3;
        x.label_dy = std::nearbyint(x.label_dy * 1e3) / 1e3;
    }
    window->initialise_fiche();
    const QImage shown = window->picture();
    save_picture("thpp_before_save");

    const QString file = QString::fromStdString((work / "figure").string());
    window->sauve_fichier_vld(file);
    ASSERT_TRUE(fs::exists(work / "figure.vld")) << last_warning();
    // Saving again asks before replacing; No keeps the file.
    const auto size = fs::file_size(work / "figure.vld");
    window->sauve_fichier_vld(file + ".vld");
    EXPECT_EQ(msg.log.back(), "confirm: This file already exists. Do you want to continue?");
    EXPECT_EQ(fs::file_size(work / "figure.vld"), size);

    if (const char* out = std::getenv("VELDOR_TEST_PICTURES"))
        fs::copy_file(work / "figure.vld", fs::path(out) / "figure.vld",
                      fs::copy_options::overwrite_existing);
    load((work / "figure.vld").string());
    EXPECT_EQ(doc.display.size(), 68u);
    EXPECT_EQ(doc.display[static_cast<std::size_t>(masked)].drawn, 0);
    EXPECT_NE(doc.display[static_cast<std::size_t>(a)].label_dx, 0);
    EXPECT_TRUE(state.options.labels_off_centre);
    save_picture("thpp_reopened");
    EXPECT_EQ(window->picture(), shown);
}

// Coming back to the window sets the view up again, but the activation that
// follows Plot's own set-up changes nothing (the picture is drawn once).
TEST_F(DrawingWindow, ActivationSetsUpAgainOnlyAfterTheFocusWasElsewhere) {
    auto activation = [&](QEvent::Type type) {
        QEvent e(type);
        QApplication::sendEvent(window.get(), &e);
    };
    window->initialise_fiche();
    window->change_echelle(5);
    activation(QEvent::WindowActivate);
    EXPECT_EQ(window->scale_text(), " X 2.0");
    activation(QEvent::WindowDeactivate);
    activation(QEvent::WindowActivate);
    EXPECT_EQ(window->scale_text(), "X 1.0");
    // A change that asks for a new set-up is never skipped.
    window->change_echelle(5);
    doc.regeneration_needed = true;
    activation(QEvent::WindowActivate);
    EXPECT_EQ(window->scale_text(), "X 1.0");
}

}  // namespace
}  // namespace veldor::test
