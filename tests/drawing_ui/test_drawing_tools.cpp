// The drawing window's mouse tools driven with mouse events on the picture:
// the prompt bar, masks, bonds, translation, ring middle, labels, zoom,
// Reset, and the orientation dialog.

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>

#include "core/metric.h"
#include "core/text.h"
#include "drawing/bond_edits.h"
#include "drawing/tools.h"
#include "drawing/ui/Tfcustomize.h"
#include "drawing/ui/Tflimat.h"
#include "drawing/ui/Tfmask_element.h"
#include "drawing/ui/label_panels.h"
#include "tests/drawing_ui/window_fixture.h"

namespace veldor::test {
namespace {

double distance_between(const StructureDocument& doc, int a, int b) {
    return distance(doc.display[static_cast<std::size_t>(a)].position(),
                    doc.display[static_cast<std::size_t>(b)].position(), doc.metric);
}

TEST_F(DrawingWindow, DistanceAndAngleOnThePromptBar) {
    const auto [a, b] = pickable_bond();
    ASSERT_GE(a, 0);
    window->action("pique_distance")->trigger();
    EXPECT_EQ(window->prompt_text(),
              "To display a bond length: Click on two atoms. (Click on the right button to stop)");
    EXPECT_EQ(window->prompt_colour(), QColor(255, 255, 0));
    click_atom(a);
    click_atom(b);
    const std::string& na = doc.display[static_cast<std::size_t>(a)].name;
    const std::string& nb = doc.display[static_cast<std::size_t>(b)].name;
    EXPECT_EQ(window->prompt_text().toStdString(),
              "\tDistance " + na + "-" + nb + " =" +
                  format_fixed(distance_between(doc, a, b), 7, 3) +
                  " (Click on the right button to end or click again on a first atom to continue)");
    // A drag of the mouse does not turn the structure while a tool waits.
    const Mat3 before = state.view.view_matrix;
    drag(QPoint(5, 40), QPoint(80, 40));
    EXPECT_EQ(state.view.view_matrix, before);
    ASSERT_FALSE(msg.warnings.empty());
    EXPECT_EQ(msg.warnings.back(), "Not identified atom");
    right_click();
    EXPECT_EQ(window->prompt_text(), "");

    // An angle of three atoms of one chain.
    int c = -1;
    for (const CalcBond& bond : doc.bonds)
        if (bond.atom1 - 1 == b && bond.atom2 - 1 != a &&
            pickable(bond.atom2 - 1) == bond.atom2 - 1)
            c = bond.atom2 - 1;
    ASSERT_GE(c, 0);
    window->pique_angle();
    click_atom(a);
    EXPECT_EQ(window->prompt_text(), "Click on the second atom. Right button to cancel");
    click_atom(b);
    click_atom(c);
    const auto cart = [&](int i) {
        return frac_to_cart(doc.display[static_cast<std::size_t>(i)].position(), doc.metric);
    };
    const double angle = *angle_at(cart(a), cart(b), cart(c));
    EXPECT_EQ(window->prompt_text().toStdString(),
              "Angle " + na + "-" + nb + "-" + doc.display[static_cast<std::size_t>(c)].name +
                  " =" + format_fixed(angle, 6, 2) + " (Click right to stop)");
    EXPECT_GT(angle, 100);
    EXPECT_LT(angle, 130);
    right_click();
}

TEST_F(DrawingWindow, MaskByClickRectangleFragmentAndElement) {
    const int a = pickable();
    window->action("tue_atome")->trigger();
    click_atom(a);
    EXPECT_EQ(doc.display[static_cast<std::size_t>(a)].drawn, 0);
    right_click();

    // A press and release 2 pixels apart is a click, not a rectangle.
    window->select_atom_rect();
    const int t = pickable(a + 1);
    const QPoint p = pixel(t);
    drag(p, p + QPoint(2, 2));
    EXPECT_TRUE(msg.log.empty() || msg.log.back().rfind("confirm", 0) != 0);
    const PageGeometry page = screen_page(state.view, window->environment());
    const std::vector<int> inside = atoms_in_rectangle(
        doc, state.view, page,
        drag_rectangle({p.x() - 3.0, p.y() - 3.0}, {p.x() + 3.0, p.y() + 3.0}), false);
    ASSERT_FALSE(inside.empty());
    msg.answers = {Answer::Yes};
    drag(p - QPoint(3, 3), p + QPoint(3, 3));
    EXPECT_EQ(msg.log.back(), "confirm: Do you want to delete the windows contents?");
    for (int i : inside)
        EXPECT_EQ(doc.display[static_cast<std::size_t>(i)].drawn, 0);
    EXPECT_EQ(std::count_if(doc.display.begin(), doc.display.end(),
                            [](const Atom& x) { return x.drawn == 0; }),
              static_cast<long>(inside.size()) + 1);
    EXPECT_FALSE(window->option_box("labels_centre")->isChecked());
    EXPECT_EQ(window->prompt_text(), "");

    window->masque_fragment();
    EXPECT_EQ(window->prompt_text(), "Click on one atom of the frament to be masked.");
    const int in_second = pickable(17);
    const int tag = doc.display[static_cast<std::size_t>(in_second)].tag;
    click_atom(in_second);
    for (const Atom& atom : doc.display)
        if (atom.tag == tag) {
            EXPECT_EQ(atom.drawn, 0);
        }

    window->masque_elements();
    Tfmask_element* dialog = window->mask_element_dialog();
    ASSERT_TRUE(dialog->isVisible());
    QTableWidget* grid = dialog->grid();
    EXPECT_EQ(grid->item(0, 0)->text(), "Elem.");
    ASSERT_EQ(grid->item(1, 0)->text(), "F");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualItemRect(grid->item(1, 0)).center());
    EXPECT_EQ(grid->item(1, 0)->text(), "F*");
    EXPECT_EQ(grid->item(1, 0)->background().color(), QColor(255, 203, 238));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(dialog->isVisible());
    for (const Atom& atom : doc.display)
        if (atom.element == "F") {
            EXPECT_EQ(atom.drawn, 0) << atom.name;
        }
    EXPECT_TRUE(std::any_of(doc.display.begin(), doc.display.end(),
                            [](const Atom& x) { return x.element != "F" && x.drawn == 1; }));
}

TEST_F(DrawingWindow, DeletedBondComesBackWithWidthTwoAndTheCurrentColour) {
    const auto [a, b] = pickable_bond();
    const std::size_t bonds = doc.bonds.size();
    doc.bond_colour = rgb(0, 0, 255);
    window->action("tue_liaison")->trigger();
    EXPECT_EQ(window->prompt_text(), "To select a bond to Add/Delete: Click on the first atom");
    click_atom(a);
    EXPECT_EQ(window->prompt_text(), "Click on the second atom. Right button to cancel");
    click_atom(b);
    EXPECT_EQ(doc.bonds.size(), bonds - 1);
    EXPECT_EQ(window->prompt_text(),
              "To select a bond to Delete or add: Click on the first atom (click with right "
              "button to end)");
    const QImage without = window->picture();
    click_atom(b);
    click_atom(a);
    ASSERT_EQ(doc.bonds.size(), bonds);
    EXPECT_EQ(doc.bonds.back().width, 2);
    EXPECT_EQ(doc.bonds.back().colour, rgb(0, 0, 255));
    EXPECT_NE(window->picture(), without);
    right_click();
}

TEST_F(DrawingWindow, TranslationOfAFragmentAndByZero) {
    const auto [from, to] = fragment_box(1, 4);
    window->set_translations();
    EXPECT_EQ(window->prompt_text(),
              "Translation: Draw a rectangle around the fragment to be translated ");
    drag(from, to);
    ASSERT_TRUE(window->translation_panel()->isVisible());
    save_picture("thpp_translation_panel");
    EXPECT_EQ(window->translation_box(0)->text(), "0");
    // (0, 0, 0): the tool ends and nothing moves.
    const std::vector<Atom> before = doc.display;
    window->findChild<QPushButton*>("ok_translation")->click();
    EXPECT_FALSE(window->translation_panel()->isVisible());
    EXPECT_EQ(window->prompt_text(), "");
    EXPECT_EQ(doc.display[0].x, before[0].x);

    window->set_translations();
    drag(from, to);
    QTest::keyClicks(window->translation_box(0), "x");
    window->translation_box(1)->setText(QStringLiteral("1"));
    window->ok_translation();
    EXPECT_EQ(msg.warnings.back(), "'x' is not a valid integer value");
    EXPECT_TRUE(window->translation_panel()->isVisible());
    window->translation_box(0)->setText(QStringLiteral(" "));
    QTest::keyClick(window->translation_box(1), Qt::Key_Return);
    EXPECT_FALSE(window->translation_panel()->isVisible());
    for (std::size_t i = 0; i < doc.display.size(); ++i) {
        const double dy = doc.display[i].y - before[i].y;
        EXPECT_DOUBLE_EQ(dy, before[i].tag == 1 ? 1.0 : 0.0) << i;
        EXPECT_EQ(doc.display[i].x, before[i].x);
    }
    EXPECT_EQ(state.view.mouse_mode, 1);
}

TEST_F(DrawingWindow, RingMiddleWithThreeAtomsAndWithOneAtomThreeTimes) {
    const int a = pickable();
    window->centroid();
    EXPECT_EQ(window->prompt_text(), "Click on the atoms. Right button to end");
    click_atom(a);
    click_atom(a);
    click_atom(a);
    right_click();
    EXPECT_EQ(msg.warnings.back(), "Not enough atoms");
    EXPECT_EQ(doc.display.size(), 68u);
    EXPECT_FALSE(window->dummy_style_dialog()->isVisible());

    const int b = pickable(a + 1), c = pickable(b + 1);
    window->centroid();
    click_atom(a);
    click_atom(b);
    click_atom(c);
    right_click();
    ASSERT_EQ(doc.display.size(), 69u);
    EXPECT_EQ(doc.display.back().name, "DU1");
    Tfcustomize* style = window->dummy_style_dialog();
    ASSERT_TRUE(style->isVisible());
    EXPECT_EQ(style->windowTitle(), "Dummy atom style");
    EXPECT_EQ(style->dimension_box()->text(), "   0.01");
    style->dimension_box()->setText(QStringLiteral("abc"));
    style->ok_style();
    EXPECT_EQ(msg.warnings.back(), "The dimension must be greater than 0");
    EXPECT_TRUE(style->isVisible());
    style->dimension_box()->setText(QStringLiteral("0.05"));
    style->pick_colour(QColor(10, 200, 30));
    style->ok_style();
    EXPECT_FALSE(style->isVisible());
    EXPECT_EQ(doc.display.back().colour, rgb(10, 200, 30));
    EXPECT_EQ(state.dummy.dimension, 0.05);
    EXPECT_EQ(state.ellipsoids.atoms.size(), 69u);
}

TEST_F(DrawingWindow, LabelsPlacedMovedAndDeleted) {
    window->option_box("labels_off_centre")->click();
    LabellingPanel* panel = window->labelling_panel();
    ASSERT_TRUE(panel->isVisible());
    QListWidget* list = panel->entries()->list();
    EXPECT_EQ(list->item(1)->text(), "Write a label off centre");
    list->item(LabellingPanel::WriteOffCentre)->setCheckState(Qt::Checked);
    EXPECT_TRUE(panel->moved_label_mode());
    ASSERT_TRUE(window->explanation()->isVisible());
    EXPECT_EQ(window->explanation()->text().toStdString(),
              std::string(kMoveLabelExplanation[0]) + "\n" + kMoveLabelExplanation[1]);
    EXPECT_TRUE(panel->findChild<QWidget*>("position_code")->isVisible());
    // Another entry while the explanation is shown is refused.
    list->item(LabellingPanel::DeleteLabel)->setCheckState(Qt::Checked);
    EXPECT_EQ(msg.warnings.back(), "Stop first the current process (click the right button)");
    EXPECT_FALSE(panel->entries()->ticked(LabellingPanel::DeleteLabel));
    EXPECT_TRUE(panel->entries()->ticked(LabellingPanel::WriteOffCentre));

    const int a = pickable();
    click_atom(a);
    ASSERT_TRUE(window->label_box_shown());
    save_picture("thpp_label_box");
    EXPECT_EQ(window->label_box()->text().toStdString(),
              doc.gen_labels[static_cast<std::size_t>(a)]);
    window->label_box()->selectAll();
    QTest::keyClicks(window->label_box(), "Fa'");
    const QImage before = window->picture();
    click(pixel(a) + QPoint(40, -25));
    EXPECT_FALSE(window->label_box_shown());
    EXPECT_EQ(doc.gen_labels[static_cast<std::size_t>(a)], "Fa'");
    const Atom& moved = doc.display[static_cast<std::size_t>(a)];
    EXPECT_NEAR(moved.label_dx, -40 / state.view.scale, 0.6 / state.view.scale);
    EXPECT_NEAR(moved.label_dy, -25 / state.view.scale, 0.6 / state.view.scale);
    EXPECT_NE(window->picture(), before);
    // Moved again.
    click_atom(a);
    click(pixel(a) + QPoint(-60, 0));
    EXPECT_NEAR(moved.label_dx, 60 / state.view.scale, 0.6 / state.view.scale);
    right_click();
    EXPECT_FALSE(panel->moved_label_mode());
    EXPECT_FALSE(window->explanation()->isVisible());

    list->item(LabellingPanel::DeleteLabel)->setCheckState(Qt::Checked);
    EXPECT_EQ(window->prompt_text(),
              "Delete label: Click on an atom with the left button.(right to end)");
    click_atom(a);
    EXPECT_EQ(doc.display[static_cast<std::size_t>(a)].labelled, 0);
    right_click();
    list->item(LabellingPanel::RestoreMoved)->setCheckState(Qt::Checked);
    EXPECT_EQ(doc.display[static_cast<std::size_t>(a)].labelled, 1);
    list->item(LabellingPanel::DeleteAll)->setCheckState(Qt::Checked);
    for (const Atom& x : doc.display)
        EXPECT_EQ(x.labelled, 0);

    QSignalSpy help(window.get(), &Tfdessin::help_requested);
    panel->findChild<QPushButton*>()->click();  // "Help" comes first
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 9);
}

TEST_F(DrawingWindow, BondLabelWrittenAndDeleted) {
    for (CalcBond& b : doc.bonds)
        b.label.clear();
    window->option_box("bond_labels")->click();
    BondLabellingPanel* panel = window->bond_labelling_panel();
    ASSERT_TRUE(panel->isVisible());
    panel->entries()->list()->item(BondLabellingPanel::WriteBondLabel)->setCheckState(Qt::Checked);
    EXPECT_EQ(window->prompt_text(),
              "Click on the first atom with the left button to slect a bond");
    EXPECT_EQ(window->prompt_colour(), QColor(0, 255, 255));
    const auto [a, b] = pickable_bond();
    click_atom(a);
    click_atom(b);
    EXPECT_EQ(window->prompt_text(), "Now Click on the place you want to write");
    save_picture("thpp_bond_label_box");
    const int bond = *find_bond(doc, a, b, true);
    const std::string proposal =
        trim(format_fixed(doc.bonds[static_cast<std::size_t>(bond)].length, 6, 3)) + " Å";
    EXPECT_EQ(window->label_box()->text().toStdString(), proposal);
    const QImage before = window->picture();
    click((pixel(a) + pixel(b)) / 2 + QPoint(0, -15));
    EXPECT_EQ(doc.bonds[static_cast<std::size_t>(bond)].label, proposal);
    EXPECT_NE(window->picture(), before);
    right_click();
    panel->entries()->list()->item(BondLabellingPanel::DeleteAll)->setCheckState(Qt::Checked);
    EXPECT_TRUE(doc.bonds[static_cast<std::size_t>(bond)].label.empty());
    EXPECT_EQ(window->picture(), before);
}

TEST_F(DrawingWindow, OrientationDialogMessages) {
    window->modif_orientation();
    Tflimat* dialog = window->orientation_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Veldor: Definition of the oientation  of the structure");
    EXPECT_EQ(dialog->pos(), QPoint(10, 40));
    EXPECT_EQ(dialog->box(2, 2)->text(), "0");
    dialog->box(0, 0)->setText(QStringLiteral("1,5"));
    dialog->verifie();
    EXPECT_EQ(msg.warnings.back(), "Type error");
    EXPECT_EQ(dialog->box(0, 0)->text(), "");
    // X = a and Y = a + b (direct) are not perpendicular.
    dialog->box(0, 0)->setText(QStringLiteral("1"));
    dialog->box(1, 0)->setText(QStringLiteral("1"));
    dialog->box(1, 1)->setText(QStringLiteral("1"));
    dialog->set_space(1, AxisSpace::Direct);
    dialog->calcul_mat();
    EXPECT_EQ(msg.warnings.back(), "Error! The vectors are not perpendicular");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->box(1, 1)->text(), "1");
    // Three axes that are no rotation.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            dialog->box(r, c)->setText(r == c ? QStringLiteral("1") : QStringLiteral("0"));
    dialog->box(2, 2)->setText(QStringLiteral("-1"));
    dialog->set_space(0, AxisSpace::Reciprocal);
    dialog->set_space(1, AxisSpace::Reciprocal);
    dialog->box(0, 1)->setText(QStringLiteral("1"));
    dialog->calcul_mat();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(msg.warnings.back(), " The matrix determinant is different from 1");
    QSignalSpy help(window.get(), &Tfdessin::help_requested);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help)->click();
    EXPECT_EQ(help.at(0).at(0).toInt(), 5);
    // Z along c alone: the view looks down c.
    dialog->init_first();
    dialog->box(2, 2)->setText(QStringLiteral("1"));
    dialog->set_space(2, AxisSpace::Direct);
    const QStringList before = window->projection_texts();
    dialog->calcul_mat();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(window->projection_texts(), (QStringList{"0.00000", "0.00000", "1.00000"}));
    EXPECT_NE(window->projection_texts(), before);
}

TEST_F(DrawingWindow, ZoomRectangleZoomOutAndReset) {
    const auto [from, to] = fragment_box(2, 10);
    window->set_zoom();
    EXPECT_EQ(window->prompt_text(), "Zoom. Click and drag the area of interest ");
    const double scale = state.view.scale;
    drag(from, to);
    EXPECT_GT(state.view.scale, scale);
    EXPECT_EQ(window->scale_text().toStdString(), zoom_text(state.view.zoom, 2));
    EXPECT_EQ(window->findChild<QSlider*>("scale_bar")->value(),
              std::clamp(static_cast<int>(std::lround(5 * state.view.zoom - 5)), -4, 10));
    EXPECT_EQ(window->prompt_text(), "");
    window->reset_zoom();
    EXPECT_EQ(window->scale_text(), "X 1.00");
    EXPECT_EQ(state.view.zoom, 1.0);
    EXPECT_NEAR(state.view.scale, scale, 1e-9);

    // Reset brings back masked atoms and moved fragments, and the zoom.
    const std::vector<Atom> start = doc.display;
    window->tue_atome();
    click_atom(pickable());
    right_click();
    doc.display[3].x += 1;
    window->change_echelle(5);
    EXPECT_EQ(window->scale_text(), " X 2.0");
    window->findChild<QPushButton*>("reset_button")->click();
    EXPECT_EQ(window->scale_text(), "X 1.0");
    EXPECT_EQ(window->findChild<QSlider*>("scale_bar")->value(), 0);
    for (std::size_t i = 0; i < doc.display.size(); ++i) {
        EXPECT_EQ(doc.display[i].drawn, 1);
        EXPECT_EQ(doc.display[i].x, start[i].x);
    }
    EXPECT_EQ(state.view.scale, state.view.base_scale);
}

}  // namespace
}  // namespace veldor::test
