// The mouse tools without a window: what each click, rectangle and right
// button does to the document, and the prompts, all on a 10 A cube whose
// view is the generated one (view X along a, Y along b).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/elements.h"
#include "drawing/bond_edits.h"
#include "drawing/colours.h"
#include "drawing/tools.h"
#include "fixtures.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;
using test::document_with_cell;
using test::iso_atom;

// Five atoms in a 10 A cube: C1 C2 C3 a right angle at C2 (1.5 A arms),
// Cl4 far off in another fragment, C5 4 pixels from C1 (the pick
// tolerance); bonds C1-C2, C2-C3.
struct Scene {
    StructureDocument doc = document_with_cell({10, 10, 10, 90, 90, 90});
    DrawingState state;
    RecordingMessages msg;
    DrawingEnvironment env;
    ToolSession tools{doc, state, msg};

    Scene() {
        env.work_dir = (fs::temp_directory_path() / "veldor_tools_test").string();
        fs::create_directories(env.work_dir);
        doc.element_sorts = {{rgb(128, 128, 128), 0.76, "C"}, {rgb(0, 255, 0), 0.99, "CL"}};
        auto atom = [&](const std::string& name, const std::string& element, Vec3 f, int tag) {
            Atom a = iso_atom(doc, name, f, 0.01);
            a.element = element;
            a.tag = tag;
            a.labelled = 0;
            doc.gen.push_back(a);
            doc.gen_labels.push_back(name);
        };
        atom("C1", "C", {0.30, 0.50, 0.50}, 1);
        atom("C2", "C", {0.45, 0.50, 0.50}, 1);
        atom("C3", "C", {0.45, 0.65, 0.50}, 1);
        atom("Cl4", "CL", {0.70, 0.30, 0.50}, 2);
        atom("C5", "C", {0.30, 0.50, 0.55}, 1);
        doc.display = doc.gen;
        add_bond(1, 2, 6);
        add_bond(2, 3, 6);
        state = test::fresh_state(doc);
        tools.set_environment(env);
        initialise_view(doc, state, env, msg);
        // C5 lies in front of C1; move it 4 pixels aside on the screen.
        doc.display[4].x += 4 / state.view.scale / 10;
        set_up_scene(doc, state, env.height);
    }
    void add_bond(int a1, int a2, int width) {
        CalcBond b;
        b.atom1 = a1;
        b.atom2 = a2;
        b.width = width;
        b.colour = doc.bond_colour;
        b.length = 1.5;
        doc.bonds.push_back(b);
    }
    Point at(int atom) const { return atom_pixel(state.view, screen_page(state.view, env), atom); }
    ToolOutcome click(int atom) { return click_at(at(atom)); }
    ToolOutcome click_at(Point p) {
        tools.press(p);
        return tools.release(p, true);
    }
    ToolOutcome drag(Point from, Point to) {
        tools.press(from);
        return tools.release(to, true);
    }
    ToolOutcome right() {
        tools.press({1, 1});
        return tools.release({1, 1}, false);
    }
    // A rectangle around every atom.
    ToolOutcome drag_all() { return drag({0, 0}, {691, 691}); }
};

TEST(Picking, LowestNumberWithinTenPixelsAndOnlyVisibleAtoms) {
    Scene s;
    const PageGeometry page = screen_page(s.state.view, s.env);
    const Point c1 = s.at(0), c5 = s.at(4);
    ASSERT_NEAR(c5.x - c1.x, 4, 1);
    // Both within 10 pixels: the lower number wins.
    EXPECT_EQ(pick_atom(s.doc, s.state.view, page, {c1.x + 2, c1.y}), 0);
    // 10 pixels off is out; 9 is in.
    EXPECT_EQ(pick_atom(s.doc, s.state.view, page, {c5.x + 10, c5.y}), std::nullopt);
    EXPECT_EQ(pick_atom(s.doc, s.state.view, page, {c5.x + 9, c5.y - 9}), 4);
    s.doc.display[0].drawn = 0;
    EXPECT_EQ(pick_atom(s.doc, s.state.view, page, {c1.x + 2, c1.y}), 4);
}

TEST(Picking, ClickOrRectangleAndItsCorners) {
    EXPECT_FALSE(is_drag({10, 10}, {12, 8}));
    EXPECT_TRUE(is_drag({10, 10}, {13, 10}));
    EXPECT_TRUE(is_drag({10, 10}, {10, 7}));
    const PixelRect r = drag_rectangle({50, 60}, {20, 10});  // drawn from lower right
    EXPECT_TRUE(r.contains({20, 10}));
    EXPECT_FALSE(r.strictly_contains({20, 10}));
    EXPECT_TRUE(r.strictly_contains({21, 11}));
    EXPECT_FALSE(r.contains({51, 30}));
}

TEST(Tools, DistanceAndAnglePrompts) {
    Scene s;
    s.tools.start(Tool::Distance);
    EXPECT_EQ(s.tools.prompt().text,
              "To display a bond length: Click on two atoms. (Click on the right button to stop)");
    EXPECT_EQ(s.msg.beeps, 1);
    s.click(0);
    s.click(1);
    EXPECT_EQ(s.tools.prompt().text,
              "\tDistance C1-C2 =  1.500 (Click on the right button to end or click again on a "
              "first atom to continue)");
    // While the tool runs every atom shows its name and number in centre.
    EXPECT_TRUE(s.state.options.labels_in_centre);
    EXPECT_EQ(s.doc.display[3].labelled, 1);
    s.click(0);
    s.click(3);
    EXPECT_NE(s.tools.prompt().text.find("C1-Cl4 =  4.472"), std::string::npos)
        << s.tools.prompt().text;

    s.tools.start(Tool::Angle);  // ends the distance, whose labels come back
    EXPECT_EQ(s.tools.prompt().text,
              "Angle Atom1-Atom2-Atom3Click on the first atom. (Click on the right button to "
              "cancel)");
    s.click(0);
    EXPECT_EQ(s.tools.prompt().text, "Click on the second atom. Right button to cancel");
    s.click(1);
    EXPECT_EQ(s.tools.prompt().text, "Click on the third atom. Right button to cancel");
    s.click(1);  // the same atom again is no arm: waits for another
    EXPECT_EQ(s.tools.prompt().text, "Click on the third atom. Right button to cancel");
    s.click(2);
    EXPECT_EQ(s.tools.prompt().text, "Angle C1-C2-C3 = 90.00 (Click right to stop)");

    s.right();
    EXPECT_EQ(s.tools.active(), Tool::None);
    EXPECT_FALSE(s.tools.prompt().visible);
    EXPECT_FALSE(s.state.options.labels_in_centre);
    EXPECT_EQ(s.doc.display[3].labelled, 0);
    EXPECT_EQ(s.state.view.mouse_mode, 1);
}

TEST(Tools, ClickBesideEveryAtomBeepsAndTheToolStays) {
    Scene s;
    s.tools.start(Tool::MaskAtoms);
    const int beeps = s.msg.beeps;
    s.click_at({5, 5});
    EXPECT_EQ(s.msg.warnings, std::vector<std::string>{"Not identified atom"});
    EXPECT_EQ(s.msg.beeps, beeps + 1);
    EXPECT_EQ(s.tools.active(), Tool::MaskAtoms);
}

TEST(Tools, DeletedAndAddedBackBondTakesWidthTwoAndTheCurrentColour) {
    Scene s;
    s.doc.bonds[0].width = 9;
    s.doc.bonds[0].colour = rgb(1, 2, 3);
    s.doc.bond_colour = rgb(200, 100, 0);
    s.tools.start(Tool::BondAddDelete);
    EXPECT_EQ(s.tools.prompt().text, "To select a bond to Add/Delete: Click on the first atom");
    s.click(1);
    EXPECT_EQ(s.tools.prompt().text, "Click on the second atom. Right button to cancel");
    s.click(0);  // either order finds C1-C2
    ASSERT_EQ(s.doc.bonds.size(), 1u);
    EXPECT_EQ(s.doc.bonds[0].atom1, 2);  // the later bond moved down
    EXPECT_EQ(s.tools.prompt().text,
              "To select a bond to Delete or add: Click on the first atom (click with right button "
              "to end)");
    s.click(0);
    s.click(1);
    ASSERT_EQ(s.doc.bonds.size(), 2u);
    const CalcBond& b = s.doc.bonds[1];
    EXPECT_EQ(b.atom1, 1);
    EXPECT_EQ(b.atom2, 2);
    EXPECT_EQ(b.width, 2);
    EXPECT_EQ(b.colour, rgb(200, 100, 0));
    EXPECT_EQ(b.multiplicity, 0);
    EXPECT_NEAR(b.length, 1.5, 1e-9);
    // A full bond list refuses the addition.
    s.doc.bonds.resize(kMaxBonds);
    EXPECT_EQ(toggle_bond(s.doc, s.state.view, 0, 3, s.msg), BondToggle::Refused);
    EXPECT_EQ(s.msg.warnings.back(), "Too much bonds!");
}

TEST(Tools, MaskByClickRectangleFragmentAndBonds) {
    Scene s;
    s.tools.start(Tool::MaskAtoms);
    EXPECT_EQ(s.tools.prompt().text,
              "Click on the atoms to be masked. (Click with the right button to stop)");
    const double scale = s.state.view.scale;
    s.click(3);
    EXPECT_EQ(s.doc.display[3].drawn, 0);
    EXPECT_NE(s.state.view.scale, scale);  // refitted on the atoms left
    s.right();

    s.tools.start(Tool::MaskRectangle);
    EXPECT_EQ(s.tools.prompt().text, "Draw a rectangle around the atoms to be masked");
    s.click(0);  // a click is no rectangle
    EXPECT_EQ(s.tools.active(), Tool::MaskRectangle);
    s.msg.answers = {Answer::No};
    s.drag_all();
    EXPECT_EQ(s.msg.log.back(), "confirm: Do you want to delete the windows contents?");
    EXPECT_EQ(s.doc.display[0].drawn, 1);
    EXPECT_EQ(s.tools.active(), Tool::None);
    // Yes hides the atoms inside, bounds included, and every label.
    s.tools.start(Tool::MaskRectangle);
    s.msg.answers = {Answer::Yes};
    const Point c2 = s.at(1);
    s.drag({0, c2.y}, {c2.x, 691});  // C1, C5 and C2 on its corner
    EXPECT_EQ(s.doc.display[1].drawn, 0);
    EXPECT_EQ(s.doc.display[2].drawn, 1);
    for (const Atom& a : s.doc.display)
        EXPECT_EQ(a.labelled, 0);

    s.doc.display = s.doc.gen;
    set_up_scene(s.doc, s.state, s.env.height);
    s.tools.start(Tool::MaskFragment);
    EXPECT_EQ(s.tools.prompt().text, "Click on one atom of the frament to be masked.");
    s.click(2);
    EXPECT_EQ(s.doc.display[0].drawn + s.doc.display[1].drawn + s.doc.display[4].drawn, 0);
    EXPECT_EQ(s.doc.display[3].drawn, 1);
    EXPECT_EQ(s.tools.active(), Tool::None);

    s.doc.display = s.doc.gen;
    set_up_scene(s.doc, s.state, s.env.height);
    s.tools.start(Tool::MaskBonds);
    EXPECT_EQ(s.tools.prompt().text, "Draw a rectangle around the bonds to be masked");
    s.msg.answers = {Answer::Yes};
    s.drag({0, s.at(1).y}, {s.at(1).x, 691});  // C1 and C2 inside, C3 not
    EXPECT_EQ(s.msg.log.back(), "confirm: Do you want to delete all the bonds in the window?");
    EXPECT_EQ(s.doc.bonds[0].width, 0);
    EXPECT_EQ(s.doc.bonds[1].width, 6);
}

TEST(AtomEdits, MaskingCarbonLeavesChlorine) {
    Scene s;
    EXPECT_EQ(maskable_elements(s.doc), (std::vector<std::string>{"C", "Cl"}));
    mask_elements(s.doc, {"C"});
    EXPECT_EQ(s.doc.display[0].drawn, 0);
    EXPECT_EQ(s.doc.display[3].drawn, 1);
}

TEST(Tools, TranslationByALatticeVector) {
    Scene s;
    s.tools.start(Tool::Translation);
    EXPECT_EQ(s.tools.prompt().text,
              "Translation: Draw a rectangle around the fragment to be translated ");
    s.tools.start(Tool::Translation);  // ignored while it runs
    const ToolOutcome o = s.drag({0, 0}, {s.at(2).x + 1, 691});
    EXPECT_EQ(o.request, ToolRequest::TranslationPanel);
    EXPECT_TRUE(s.tools.translation_panel_visible());
    // Not an integer: refused, the panel stays.
    s.tools.translation_ok({"1", "x2", ""});
    EXPECT_EQ(s.msg.warnings.back(), "'x2' is not a valid integer value");
    EXPECT_TRUE(s.tools.translation_panel_visible());
    // (0, 0, 0) ends the tool without a change.
    const auto before = s.state.view.points;
    s.tools.translation_ok({" 0", "", "0 "});
    EXPECT_EQ(s.tools.active(), Tool::None);
    EXPECT_EQ(s.state.view.points, before);
    EXPECT_EQ(s.doc.display[0].x, 0.30);

    s.tools.start(Tool::Translation);
    s.drag({0, 0}, {s.at(2).x + 1, 691});
    s.tools.translation_ok({"1", " -1", ""});
    EXPECT_DOUBLE_EQ(s.doc.display[0].x, 1.30);
    EXPECT_DOUBLE_EQ(s.doc.display[2].y, -0.35);
    EXPECT_DOUBLE_EQ(s.doc.display[3].x, 0.70);  // outside the rectangle
    EXPECT_EQ(s.doc.bonds.size(), 2u);           // bonds are not searched again
    EXPECT_EQ(s.state.view.mouse_mode, 1);
}

TEST(Tools, RingMiddleWithThreeAtomsAndWithOneAtomThreeTimes) {
    Scene s;
    s.tools.start(Tool::RingMiddle);
    EXPECT_EQ(s.tools.prompt().text, "Click on the atoms. Right button to end");
    s.click(0);
    s.click(0);
    s.click(0);
    ToolOutcome o = s.right();
    EXPECT_EQ(s.msg.warnings.back(), "Not enough atoms");
    EXPECT_EQ(o.request, ToolRequest::None);
    EXPECT_EQ(s.doc.display.size(), 5u);

    s.tools.start(Tool::RingMiddle);
    s.click(0);
    s.click(1);
    s.click(1);
    s.click(2);
    o = s.right();
    EXPECT_EQ(o.request, ToolRequest::DummyStyleDialog);
    ASSERT_EQ(s.doc.display.size(), 6u);
    const Atom& du = s.doc.display.back();
    EXPECT_EQ(du.name, "DU1");
    EXPECT_EQ(du.element, "DU");
    EXPECT_NEAR(du.x, 0.4, 1e-12);
    EXPECT_NEAR(du.y, 0.55, 1e-12);
    EXPECT_EQ(du.iso, 1);
    EXPECT_EQ(du.drawn, 1);
    EXPECT_EQ(s.doc.element_sorts.back().symbol, "DU");
    EXPECT_EQ(s.doc.element_sorts.back().colour, rgb(255, 0, 0));
    EXPECT_EQ(s.doc.element_sorts.back().radius, 2.0);
    // Drawn at once with the dummy style's tensor, never with an empty one.
    EXPECT_EQ(s.state.ellipsoids.atoms.size(), 6u);
    EXPECT_FALSE(s.state.ellipsoids.atoms.back().faulty);
    // The style dialog's OK restyles it.
    s.state.dummy = {0.04, rgb(1, 2, 3)};
    apply_dummy_style(s.doc, s.state.dummy);
    EXPECT_EQ(s.doc.display.back().colour, rgb(1, 2, 3));
    EXPECT_NEAR(s.doc.display.back().adp[0], 19.7391754562 * 0.01 * 0.04, 1e-12);
    EXPECT_NEAR(s.doc.display.back().adp[3], 0, 1e-7);
}

TEST(Tools, OrientationByAtomsRefusesRepeatsAndAlignedAtoms) {
    Scene s;
    s.tools.start(Tool::DirectionTwoAtoms);
    EXPECT_EQ(s.tools.prompt().text,
              "The direction of the projection will be defined by 2 atoms: Click on the first "
              "atom. Right button to cancel");
    s.click(0);
    EXPECT_EQ(s.tools.prompt().text, "Click on the second atom. (Right button to end)");
    s.click(0);
    EXPECT_EQ(s.tools.active(), Tool::DirectionTwoAtoms);
    s.click(1);  // C1 -> C2 along a: the view looks down a
    EXPECT_EQ(s.tools.active(), Tool::None);
    EXPECT_NEAR(s.state.view.view_matrix_inverse[0][2], 0.1, 1e-9);

    // Back to the view down c, where C1 and C2 lie apart on the screen.
    reset_orientation(s.state.view, s.doc.metric);
    initialise_view(s.doc, s.state, s.env, s.msg);
    s.tools.start(Tool::PlaneThreeAtoms);
    EXPECT_EQ(s.tools.prompt().text,
              "The base plane will be defined by 3 atoms. Click on the first atom. Right button "
              "to cancel");
    s.click(0);
    s.click(1);
    const int beeps = s.msg.beeps;
    // The atoms C1, C2 and a point on their line: no plane.
    s.doc.display[3].set_position({0.6, 0.5, 0.5});
    set_up_scene(s.doc, s.state, s.env.height);
    s.click(3);
    EXPECT_EQ(s.msg.beeps, beeps + 1);
    EXPECT_EQ(s.tools.prompt().text, "Click on the third atom. Right button to cancel");
}

TEST(Tools, CentreAtomAndZoom) {
    Scene s;
    s.tools.start(Tool::CentreAtom);
    EXPECT_EQ(s.tools.prompt().text, "Click on the atom for rotating around");
    s.click(2);
    EXPECT_EQ(s.state.view.points[2], (Vec3{0, 0, 0}));
    EXPECT_FALSE(s.tools.prompt().visible);

    s.tools.start(Tool::MaskRectangle);
    s.tools.start(Tool::ZoomIn);  // ignored while another rectangle tool runs
    EXPECT_EQ(s.tools.active(), Tool::MaskRectangle);
    s.right();
    s.tools.start(Tool::ZoomIn);
    EXPECT_EQ(s.tools.prompt().text, "Zoom. Click and drag the area of interest ");
    EXPECT_EQ(s.state.view.mouse_mode, 0);
    // The rubber band follows the pointer from the press.
    s.tools.press({10, 20});
    const auto band = s.tools.rubber_band({5, 40});
    ASSERT_TRUE(band);
    EXPECT_EQ(band->left, 5);
    EXPECT_EQ(band->bottom, 40);
    const ToolOutcome o = s.tools.release({20, 30}, true);
    ASSERT_FALSE(o.zoom_track);  // no atom inside: the view stays as it was
    EXPECT_EQ(s.tools.active(), Tool::None);
    s.tools.start(Tool::ZoomIn);
    const ToolOutcome z =
        s.drag({s.at(0).x - 20, s.at(2).y - 20}, {s.at(2).x + 20, s.at(0).y + 20});
    ASSERT_TRUE(z.zoom_track);
    EXPECT_TRUE(s.state.view.zoomed);
    EXPECT_EQ(z.zoom_text, zoom_text(s.state.view.zoom, 2));
    EXPECT_EQ(z.zoom_text.substr(0, 3), " X ");
}

TEST(Tools, MeanPlaneTakesThirtyAtomsAndClearsOldResults) {
    Scene s;
    std::ofstream(fs::path(s.env.work_dir) / "plan.sor") << "old";
    const ToolOutcome open = s.tools.start(Tool::MeanPlane);
    EXPECT_EQ(open.request, ToolRequest::MeanPlaneOpen);
    EXPECT_FALSE(fs::exists(fs::path(s.env.work_dir) / "plan.sor"));
    for (int k = 0; k < 30; ++k)
        EXPECT_EQ(s.click(k % 5).request, ToolRequest::MeanPlaneAtom);
    EXPECT_EQ(s.click(0).request, ToolRequest::None);
    EXPECT_EQ(s.msg.warnings.back(), "Nb of atoms exceeding 30!");
    const ToolOutcome done = s.right();
    EXPECT_EQ(done.request, ToolRequest::MeanPlaneDone);
    EXPECT_EQ(done.atoms.size(), 30u);
}

TEST(Tools, CoordinationReportsTheCentralAtom) {
    Scene s;
    s.tools.start(Tool::Coordination);
    EXPECT_EQ(s.tools.prompt().text,
              "Distances and Angles around a central atom: click on the central atom (Right "
              "button to cancel)");
    const ToolOutcome o = s.click(3);
    EXPECT_EQ(o.request, ToolRequest::CoordinationWindow);
    EXPECT_EQ(o.atoms, std::vector<int>{3});
}

TEST(Tools, CustomisedBondTakesTheChosenStyle) {
    Scene s;
    const ToolOutcome o = s.tools.start(Tool::CustomiseBond);
    EXPECT_EQ(o.request, ToolRequest::BondStyleDialog);
    EXPECT_EQ(s.tools.prompt().text,
              " Customize bond. Click on the first atom with the left button");
    EXPECT_EQ(s.tools.prompt().colour, rgb(0, 255, 255));
    s.state.bond_style = {rgb(10, 20, 30), 15};
    s.tools.bond_style_chosen(true);
    EXPECT_EQ(s.tools.prompt().text,
              "Customize a bond. Click on the first atom. Right button to cancel");
    s.click(2);
    EXPECT_EQ(s.tools.prompt().text,
              "Customize a bond. Click on the second atom. Right button to cancel");
    s.click(1);
    EXPECT_EQ(s.doc.bonds[1].width, 15);
    EXPECT_EQ(s.doc.bonds[1].colour, rgb(10, 20, 30));
    EXPECT_EQ(s.tools.prompt().text,
              "Customize a bond. Click on the first atom. Right button to cancel");
    s.tools.bond_style_chosen(false);
    EXPECT_EQ(s.tools.active(), Tool::None);
}

TEST(Labels, PlacedMovedAndDeletedLabelsStayWithTheGeneratedAtoms) {
    Scene s;
    s.tools.start(Tool::LabelOffCentre);
    EXPECT_TRUE(s.tools.explanation_visible());
    EXPECT_FALSE(s.tools.prompt().visible);
    EXPECT_TRUE(s.tools.refuse_label_entry());
    EXPECT_EQ(s.msg.warnings.back(), "Stop first the current process (click the right button)");
    const int beeps = s.msg.beeps;
    s.click(1);
    EXPECT_EQ(s.msg.beeps, beeps + 3);
    ASSERT_TRUE(s.tools.label_box_visible());
    EXPECT_EQ(s.tools.label_box_text(), "C2");
    s.tools.set_label_box_text("C2'");
    const Point c2 = s.at(1);
    s.click_at({c2.x + 30, c2.y - 20});
    const ViewState& v = s.state.view;
    // The click is 30 pixels right of and 20 above the atom's pixel.
    EXPECT_NEAR(s.doc.display[1].label_dx, -30 / v.scale, 0.5 / v.scale);
    EXPECT_NEAR(s.doc.display[1].label_dy, -20 / v.scale, 0.5 / v.scale);
    EXPECT_EQ(s.doc.gen[1].label_dx, s.doc.display[1].label_dx);
    EXPECT_EQ(s.doc.gen_labels[1], "C2'");
    EXPECT_EQ(s.doc.display[1].labelled, 1);
    EXPECT_FALSE(s.tools.label_box_visible());
    s.right();
    EXPECT_EQ(s.doc.display[1].labelled, 1);  // a label tool keeps what it did

    s.tools.start(Tool::LabelInCentre);
    EXPECT_EQ(s.tools.prompt().text,
              "Write label in centre: Click on an atom with the left button.(right to end)");
    s.click(0);
    EXPECT_EQ(s.doc.gen[0].labelled, 1);
    s.right();
    apply_label_action(s.doc, LabelBulkAction::DeleteMoved);
    EXPECT_EQ(s.doc.display[1].labelled, 0);
    EXPECT_EQ(s.doc.display[0].labelled, 1);
    apply_label_action(s.doc, LabelBulkAction::RestoreMoved);
    EXPECT_EQ(s.doc.display[1].labelled, 1);
    apply_label_action(s.doc, LabelBulkAction::DeleteCentred);
    EXPECT_EQ(s.doc.display[0].labelled, 0);

    s.tools.start(Tool::DeleteLabel);
    EXPECT_EQ(s.tools.prompt().text,
              "Delete label: Click on an atom with the left button.(right to end)");
    s.click(1);
    EXPECT_EQ(s.doc.gen[1].labelled, 0);
    s.right();
    apply_label_action(s.doc, LabelBulkAction::RestoreMoved);
    s.tools.start(Tool::DeleteLabelArea);
    EXPECT_EQ(s.tools.prompt().text,
              "Delete labels in a selected rectangle: Click and drag the area of interest");
    s.msg.answers = {Answer::Yes};
    s.drag_all();
    EXPECT_EQ(s.msg.log.back(), "confirm: Do you want to delete the labels in the window?");
    EXPECT_EQ(s.doc.display[1].labelled, 0);
    EXPECT_FALSE(s.tools.refuse_label_entry());
}

TEST(Labels, CheckBoxes) {
    Scene s;
    s.doc.display[1].label_dx = 0.5;
    s.doc.display[3].drawn = 0;
    set_labels_off_centre(s.doc, s.state.options, true);
    EXPECT_EQ(s.doc.display[3].labelled, 1);
    EXPECT_EQ(s.doc.display[1].label_dx, 0.5);
    set_labels_in_centre(s.doc, s.state, true);
    EXPECT_FALSE(s.state.options.labels_off_centre);
    EXPECT_EQ(s.doc.display[1].label_dx, 0);
    EXPECT_EQ(s.state.atom_label_font.name, "Times New Roman");
    EXPECT_EQ(s.state.atom_label_font.size, 8);
    EXPECT_EQ(s.state.atom_label_font.style_text, "");
    set_labels_in_centre(s.doc, s.state, false);
    EXPECT_EQ(s.doc.display[0].labelled, 0);
    LabelFont f;
    set_label_font(f, "Arial", 10, kBlack, FontStyle{false, true, true, false});
    EXPECT_EQ(f.style_text, "Italic, Underline");
}

TEST(BondLabels, LengthProposedAndAngleKeptReadable) {
    Scene s;
    s.state.options.oblique_bond_labels = true;
    s.tools.start(Tool::BondLabel);
    EXPECT_EQ(s.tools.prompt().text,
              "Click on the first atom with the left button to slect a bond");
    EXPECT_EQ(s.tools.prompt().colour, rgb(0, 255, 255));
    s.click(2);
    s.click(1);
    EXPECT_EQ(s.tools.prompt().text, "Now Click on the place you want to write");
    EXPECT_EQ(s.tools.label_box_text(), "1.500 \u00c5");
    s.click_at({s.at(1).x + 10, s.at(2).y});
    const CalcBond& b = s.doc.bonds[1];
    EXPECT_EQ(b.label, "1.500 \u00c5");
    // C2 -> C3 points straight up the screen: folded to -90..90.
    EXPECT_EQ(b.label_angle, 90);
    EXPECT_NEAR(b.label_dx, -10 / s.state.view.scale, 0.5 / s.state.view.scale);
    place_bond_label(s.doc, s.state.view, 0, 5, 5, "x", false);
    EXPECT_EQ(s.doc.bonds[0].label_angle, 0);
    // A bond pointing left on the screen is written left to right.
    std::swap(s.doc.bonds[0].atom1, s.doc.bonds[0].atom2);
    place_bond_label(s.doc, s.state.view, 0, 5, 5, "x", true);
    EXPECT_EQ(s.doc.bonds[0].label_angle, 0);
    delete_bond_labels(s.doc);
    EXPECT_TRUE(s.doc.bonds[1].label.empty());
}

TEST(BondWidth, ScaledByTheBarKeepingHiddenBondsHidden) {
    Scene s;
    s.doc.bonds[1].width = 15;  // customised
    s.add_bond(1, 4, 6);
    s.doc.bonds[2].width = 0;  // masked
    s.add_bond(3, 4, 6);
    s.doc.display[3].element = "DU";
    scale_bond_widths(s.doc, 12);
    EXPECT_EQ(s.doc.bonds[0].width, 12);
    EXPECT_EQ(s.doc.bonds[1].width, 30);
    EXPECT_EQ(s.doc.bonds[2].width, 0);
    EXPECT_EQ(s.doc.bonds[3].width, 6);  // to a dummy atom: w div 2
    EXPECT_EQ(s.doc.bond_width, 12);
    scale_bond_widths(s.doc, 1);
    EXPECT_EQ(s.doc.bonds[0].width, 1);
    EXPECT_EQ(s.doc.bonds[3].width, 1);
}

TEST(Colours, GridRowsBondColourAndBlackAndWhite) {
    Scene s;
    const auto rows = colour_grid_rows(s.doc, s.state);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].name, "BackGrd");
    EXPECT_EQ(rows[1].name, "Bonds");
    EXPECT_EQ(rows[2].name, "Scale bar");
    EXPECT_EQ(rows[4].name, "Cl");
    s.doc.bonds[1].colour = rgb(9, 9, 9);  // a bond of its own colour
    choose_colour(s.doc, s.state, kBondsRow, rgb(0, 0, 200));
    EXPECT_EQ(s.doc.bonds[0].colour, rgb(0, 0, 200));
    EXPECT_EQ(s.doc.bonds[1].colour, rgb(9, 9, 9));
    choose_colour(s.doc, s.state, 4, rgb(0, 99, 0));
    EXPECT_EQ(s.doc.display[3].colour, rgb(0, 99, 0));

    set_black_and_white(s.doc, s.state, true);
    EXPECT_EQ(s.doc.element_sorts[0].colour, kWhite);
    EXPECT_EQ(s.doc.display[3].colour, kWhite);
    EXPECT_EQ(s.doc.bond_colour, kWhite);
    set_black_and_white(s.doc, s.state, true);  // already on: the saved colours stay
    set_black_and_white(s.doc, s.state, false);
    EXPECT_EQ(s.doc.element_sorts[1].colour, rgb(0, 99, 0));
    EXPECT_EQ(s.doc.bond_colour, rgb(0, 0, 200));
    // Choosing a colour switches black and white off first.
    set_black_and_white(s.doc, s.state, true);
    EXPECT_TRUE(choose_colour(s.doc, s.state, kBackgroundRow, rgb(250, 250, 200)));
    EXPECT_FALSE(s.state.options.black_and_white);
    EXPECT_EQ(s.doc.element_sorts[0].colour, rgb(128, 128, 128));
    // A file saved in black and white: nothing put aside, defaults come back.
    DrawingState loaded;
    loaded.options.black_and_white = true;
    for (ElementSort& e : s.doc.element_sorts)
        e.colour = kWhite;
    set_black_and_white(s.doc, loaded, false);
    EXPECT_EQ(s.doc.element_sorts[1].colour, default_element_colour("CL"));
}

TEST(Reset, BringsBackEveryAtomAndSearchesTheBonds) {
    Scene s;
    s.doc.bond_sorts = {{"C", "C", 1.6}};
    s.doc.display[0].drawn = 0;
    s.doc.display[2].x += 1;
    s.doc.bonds.clear();
    s.state.view.screen_centre[0] += 40;
    s.state.view.zoom = 2;
    reset_drawing(s.doc, s.state, s.env, s.msg);
    EXPECT_EQ(s.doc.display[0].drawn, 1);
    EXPECT_EQ(s.doc.display[2].x, 0.45);
    EXPECT_EQ(s.state.view.screen_centre[0], 346);
    EXPECT_EQ(s.state.view.zoom, 1.0);
    EXPECT_EQ(s.state.view.scale, s.state.view.base_scale);
    EXPECT_GE(s.doc.bonds.size(), 2u);
}

}  // namespace
}  // namespace veldor
