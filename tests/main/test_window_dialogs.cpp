// The dialogs of the main window, driven with the mouse and the keyboard:
// deleting atoms, blocks and elements, restore and erase, the box and the
// sphere, the bond lengths, help, and the commands other windows provide.

#include "tests/main/window_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "generation/ui/Tfboite.h"
#include "generation/ui/TfeffaceA.h"
#include "generation/ui/TfeffaceB.h"
#include "generation/ui/TfeffaceE.h"
#include "generation/ui/Tfsphere.h"
#include "generation/ui/Tftypliai.h"
#include "main/Tfabout.h"
#include "main/help_window.h"

namespace veldor {
namespace {

using Window = testing::MainWindowTest;

constexpr const char* kThpp = VELDOR_SOURCE_DIR "/examples/thpp.ins";

QPushButton* ok_of(QWidget* dialog) {
    return dialog->findChild<QPushButton*>("OK");
}

TEST_F(Window, DeleteMarkedAtomsAfterTheQuestion) {
    load(kThpp);
    const std::size_t count = doc.asym.size();
    const std::string second = doc.asym[1].name;
    click("A");
    TfeffaceA* dialog = window->delete_atoms_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Delete atoms of the asymetric unit");
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QTableWidget* g = dialog->grid();
    click_cell(g, 0, 0);  // the number column marks nothing
    EXPECT_EQ(cell(g, 0, 0), "1");
    click_cell(g, 0, 1);
    click_cell(g, 2, 1);
    click_cell(g, 2, 1);  // a second click unmarks
    click_cell(g, 3, 1);
    EXPECT_EQ(cell(g, 0, 1), "F1*");
    EXPECT_EQ(g->item(0, 1)->background().color(), QColor(255, 203, 238));
    EXPECT_EQ(cell(g, 2, 1).toStdString(), doc.asym[2].name);

    msg.answers = {Answer::No};
    click(ok_of(dialog));
    EXPECT_EQ(msg.log.back(), "confirm: Are you sure to want to delete the selected atoms ?");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(doc.asym.size(), count);
    msg.answers = {Answer::Yes};
    click(ok_of(dialog));
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(doc.asym.size(), count - 2);
    EXPECT_EQ(doc.asym[0].name, second);
    EXPECT_EQ(cell(grid("StringGrid2"), 0, 1).toStdString() +
                  cell(grid("StringGrid2"), 0, 2).toStdString(),
              second);
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST_F(Window, DeleteABlockGivenBackwards) {
    load(kThpp);
    const std::size_t count = doc.asym.size();
    const std::string eighth = doc.asym[7].name;
    click("B");
    TfeffaceB* dialog = window->delete_block_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Delete a bloc of atoms of the asymetric unit");
    type_field(dialog->findChild<QLineEdit*>("Edit1"), "7");
    type_field(dialog->findChild<QLineEdit*>("Edit2"), "x3");
    QTest::keyClick(dialog->findChild<QLineEdit*>("Edit2"), Qt::Key_Return);  // Enter is OK
    EXPECT_EQ(msg.warnings.back(), "'x3' is not a valid integer value");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("Edit2")->text(), "x3");
    type_field(dialog->findChild<QLineEdit*>("Edit2"), "3");
    msg.answers = {Answer::Yes};
    click(ok_of(dialog));
    EXPECT_EQ(msg.log.back(), "confirm: Are you sure to want to delete the atoms 3 to 7 ?");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(doc.asym.size(), count - 5);
    EXPECT_EQ(doc.asym[2].name, eighth);
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("Edit1")->text().isEmpty());
}

TEST_F(Window, DeleteAnElementRebuildsTheSorts) {
    load(kThpp);
    click("E");
    TfeffaceE* dialog = window->delete_elements_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Delete Elements of the asymetric unit");
    QTableWidget* g = dialog->grid();
    EXPECT_EQ(g->horizontalHeaderItem(0)->text(), "Nb");
    EXPECT_EQ(cell(g, 0, 0), "F");
    // The keyboard marks too.
    activate(g);
    g->setFocus();
    g->setCurrentCell(0, 0);
    QTest::keyClick(g, Qt::Key_Space);
    ASSERT_EQ(cell(g, 0, 0), "F*");
    msg.answers = {Answer::Yes};
    click(ok_of(dialog));
    ASSERT_FALSE(msg.log.empty());
    EXPECT_EQ(msg.log.back(),
              "confirm: Are you sure to want to systematicaly delete the selected types of atom?");
    EXPECT_FALSE(dialog->isVisible());
    for (const Atom& a : doc.asym)
        EXPECT_NE(a.element, "F");
    for (const ElementSort& e : doc.element_sorts)
        EXPECT_NE(e.symbol, "F");
    for (const BondSort& b : doc.bond_sorts)
        EXPECT_TRUE(b.element1 != "F" && b.element2 != "F");
    EXPECT_NE(cell(grid("StringGrid2"), 0, 1), "F");
}

TEST_F(Window, RestoreBringsTheFileBackAndEraseEmptiesTheAtoms) {
    load(kThpp);
    const std::size_t count = doc.asym.size();
    click("B");
    type_field(window->delete_block_dialog()->findChild<QLineEdit*>("Edit1"), "1");
    type_field(window->delete_block_dialog()->findChild<QLineEdit*>("Edit2"), "10");
    msg.answers = {Answer::Yes};
    click(ok_of(window->delete_block_dialog()));
    ASSERT_EQ(doc.asym.size(), count - 10);
    click("Select All");
    click("restaure");
    EXPECT_EQ(doc.asym.size(), count);
    EXPECT_EQ(cell(grid("StringGrid2"), 0, 2), "1");
    EXPECT_EQ(cell(grid("StringGrid1"), 1, 4), "");  // positions unselected
    EXPECT_EQ(window->space_group_text(), "Space Group: P21/n");
    EXPECT_EQ(window->windowTitle(), "VELDOR V2. Data for thpp.ins");

    click("erase_tout");
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.data_file.empty());
    EXPECT_EQ(cell(grid("StringGrid2"), 0, 1), "");
    EXPECT_EQ(grid("StringGrid2")->horizontalHeaderItem(1)->text(), "Elem.");
    // With nothing remembered, restore leaves everything empty.
    click("restaure");
    EXPECT_TRUE(doc.asym.empty());
    EXPECT_TRUE(doc.positions.empty());
}

TEST_F(Window, TheBoxDialog) {
    load(kThpp);
    auto* options = find<QListWidget>("generation_options");
    options->setFocus();
    options->setCurrentRow(1);
    msg.answers = {Answer::Yes};
    QTest::keyClick(options, Qt::Key_Space);
    EXPECT_EQ(msg.log.back(), "confirm: Do you want to colour the fragments?");
    EXPECT_TRUE(doc.colour_fragments);
    Tfboite* box = window->box_dialog();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "Definition of the box");
    auto* edge_x = box->findChild<QLineEdit*>("Edge // x");
    EXPECT_EQ(edge_x->text(), "1.010");
    EXPECT_EQ(box->findChild<QLineEdit*>("x/a")->text(), "0.5000");
    // An atom of the list gives the centre.
    auto* atoms = box->findChild<QTableWidget*>("atoms");
    click_cell(atoms, 1, 0);
    EXPECT_EQ(box->findChild<QLineEdit*>("x/a")->text(), cell(atoms, 1, 1));
    // "No" shows the warning.
    auto* warning = box->findChild<QLabel*>("warning");
    click(box->findChild<QRadioButton*>("cut_yes"));
    EXPECT_FALSE(warning->isVisible());
    click(box->findChild<QRadioButton*>("cut_no"));
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text(),
              "Warning\nA large polymeric structure could\ncause  some problem to Veldor\n"
              "when  the  \"No cut the fragments\"\noption is selected");
    // A field that does not read beeps and keeps the dialog open.
    const int beeps = msg.beeps;
    type_field(edge_x, "two");
    EXPECT_GT(msg.beeps, beeps);
    click(ok_of(box));
    EXPECT_TRUE(box->isVisible());
    type_field(edge_x, "2");
    type_field(box->findChild<QLineEdit*>("Edge // z"), "");
    EXPECT_EQ(box->findChild<QLineEdit*>("Edge // z")->text(), "0");
    click(ok_of(box));
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(doc.enclosure.box, (Vec3{2, 1.01, 0}));
    EXPECT_NEAR(doc.enclosure.centre[0], doc.asym[1].x, 1e-4);
    EXPECT_FALSE(doc.cut_box);
    EXPECT_EQ(doc.generation_mode, GenerationMode::Box);
    EXPECT_EQ(options->item(1)->checkState(), Qt::Checked);
}

TEST_F(Window, TheSphereDialogCancelledWithEscape) {
    load(kThpp);
    auto* options = find<QListWidget>("generation_options");
    options->setFocus();
    options->setCurrentRow(2);
    QTest::keyClick(options, Qt::Key_Space);
    Tfsphere* sphere = window->sphere_dialog();
    ASSERT_TRUE(sphere->isVisible());
    EXPECT_EQ(sphere->windowTitle(), "Definition of the sphere of enclosure");
    EXPECT_EQ(sphere->findChild<QLineEdit*>("radius")->text(), "0.000");
    QTest::keyClick(sphere, Qt::Key_Escape);
    EXPECT_FALSE(sphere->isVisible());
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
    EXPECT_EQ(options->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(options->item(2)->checkState(), Qt::Unchecked);
    // Again, with a radius, Enter takes it.
    options->setCurrentRow(2);
    QTest::keyClick(options, Qt::Key_Space);
    type_field(sphere->findChild<QLineEdit*>("radius"), "6.5");
    QTest::keyClick(sphere->findChild<QLineEdit*>("radius"), Qt::Key_Return);
    EXPECT_FALSE(sphere->isVisible());
    EXPECT_DOUBLE_EQ(doc.enclosure.radius, 6.5);
    click("Plot");
    EXPECT_FALSE(doc.gen.empty());
}

TEST_F(Window, TheBondLengthsDialogAndItsReadError) {
    load(kThpp);
    click("modif_liaisons");
    Tftypliai* dialog = window->bond_lengths_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Modif the bond lengths");
    QTableWidget* g = dialog->grid();
    ASSERT_EQ(g->rowCount(), static_cast<int>(doc.bond_sorts.size()));
    EXPECT_EQ(cell(g, 0, 0), "F");
    EXPECT_EQ(cell(g, 0, 2), "1.37");
    type_cell(g, 0, 2, "1.5");
    type_cell(g, 1, 2, "l.6");
    click(ok_of(dialog));
    EXPECT_EQ(msg.warnings.back(), "Read error at line 2");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_DOUBLE_EQ(doc.bond_sorts[0].max_distance, 1.5);  // rows before are stored
    type_cell(g, 1, 2, "1.6");
    click(ok_of(dialog));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_DOUBLE_EQ(doc.bond_sorts[1].max_distance, 1.6);
}

TEST_F(Window, HelpButtonsOpenTheirTopics) {
    click("help_data");
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx4");
    click("generation_help");
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx1");
    click("BitBtn1");
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx12");
    EXPECT_EQ(find<QWidget>("BitBtn1")->toolTip(), "Help about equivalent positions generation");
    window->action("aide")->trigger();
    EXPECT_EQ(window->help_window()->current_anchor(), "ctx7");
    if (const char* out = std::getenv("VELDOR_TEST_PICTURES")) {
        QApplication::processEvents();
        window->help_window()->grab().save(QString::fromUtf8(out) + "/help_ctx7.png");
        window->show_help(kHelpGeneration);
        QApplication::processEvents();
        window->help_window()->grab().save(QString::fromUtf8(out) + "/help_ctx1.png");
    }
    window->action("a_propos")->trigger();
    EXPECT_TRUE(window->about_dialog()->isVisible());
    QTest::keyClick(window->about_dialog(), Qt::Key_Return);
    EXPECT_FALSE(window->about_dialog()->isVisible());
}

TEST_F(Window, CommandsOfOtherWindowsWaitUntilTheyAreGiven) {
    auto* coord = find<QPushButton>("Calcul_varnel");
    auto* list = find<QPushButton>("affiche_child");
    EXPECT_FALSE(coord->isEnabled());
    int opened = 0, listed = 0;
    window->set_coordination_command([&opened] { ++opened; });
    window->set_generated_list_command([&listed] { ++listed; });
    EXPECT_TRUE(coord->isEnabled());
    click(coord);
    EXPECT_EQ(opened, 1);
    load(kThpp);
    click(list);
    EXPECT_EQ(listed, 1);  // after generating, instead of the drawing
    EXPECT_FALSE(doc.gen.empty());
}

TEST_F(Window, EveryCommandHasItsKey) {
    for (const char* name : {"Select All", "Unselect All", "E", "A", "B", "restaure", "erase_tout",
                             "modif_liaisons", "sauvegarde_data", "help_data", "Calcul_varnel",
                             "generation_help", "affiche_child", "litdonneesclavier"})
        EXPECT_TRUE(find<QPushButton>(name)->text().contains('&')) << name;
    EXPECT_EQ(window->action("trace_ortep")->shortcut(), QKeySequence(Qt::Key_F5));
    // Alt and the underlined letter: Alt+E deletes elements.
    EXPECT_EQ(find<QPushButton>("E")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_E));
    EXPECT_EQ(find<QPushButton>("restaure")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_R));
}

}  // namespace
}  // namespace veldor
