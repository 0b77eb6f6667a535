// Typing a structure into the main window: the cell, the system, a group
// from each list, the atoms, the positions, then Plot; and the edge cases
// of bad or missing input.

#include "tests/main/window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "drawing/ui/Tfdessin.h"

namespace veldor {
namespace {

using Window = testing::MainWindowTest;
namespace fs = std::filesystem;

TEST_F(Window, OpensEmptyWithNoOptionChecked) {
    auto* options = find<QListWidget>("generation_options");
    EXPECT_EQ(options->item(0)->text(), "No option");
    EXPECT_EQ(options->item(0)->checkState(), Qt::Checked);
    for (int r = 1; r < 5; ++r)
        EXPECT_EQ(options->item(r)->checkState(), Qt::Unchecked);
    EXPECT_EQ(window->windowTitle(), "VELDOR V2");
    EXPECT_EQ(window->space_group_text(), "No space group defined");
    EXPECT_EQ(find<QListWidget>("ListBox1")->count(), 7);
    EXPECT_FALSE(find<QPushButton>("Calcul_varnel")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("affiche_child")->isEnabled());
    EXPECT_TRUE(msg.log.empty());
}

TEST_F(Window, TypeACellASystemGroupsAtomsAndPositionsThenPlot) {
    window->action("data_keyboard")->trigger();
    EXPECT_FALSE(find("positions_panel")->isVisible());
    EXPECT_FALSE(find("asym_panel")->isVisible());
    EXPECT_FALSE(find("Plot")->isVisible());

    // A tetragonal cell: b and the angles follow a, grey.
    type_field("Edit1", "5.2");
    click_entry(find<QListWidget>("ListBox1"), "Tetra.");
    EXPECT_EQ(find<QLineEdit>("edit2")->text(), "5.2");
    for (const char* angle : {"edit4", "edit5", "edit6"}) {
        EXPECT_EQ(find<QLineEdit>(angle)->text(), "90");
        EXPECT_TRUE(find<QLineEdit>(angle)->isReadOnly());
        EXPECT_TRUE(find<QLineEdit>(angle)->styleSheet().contains("#c0c0c0"));
    }
    EXPECT_TRUE(find<QLineEdit>("edit2")->isReadOnly());
    EXPECT_FALSE(find<QLineEdit>("edit3")->isReadOnly());

    // Monoclinic after all.
    click_entry(find<QListWidget>("ListBox1"), "Monoc.");
    EXPECT_FALSE(find<QLineEdit>("edit2")->isReadOnly());
    type_field("edit2", "6");
    type_field("edit3", "7");
    type_field("edit5", "100");

    // A group of the interpreter's list, then one of the catalogue.
    auto* getspec = find<QTreeWidget>("ListBox3");
    click_entry(getspec, "P21/c");
    EXPECT_EQ(window->space_group_text(), "Space Group: P21/c");
    EXPECT_TRUE(fs::exists(work / "scfs.dat"));
    click_entry(find<QListWidget>("ListBox2"), "P21/c");
    EXPECT_TRUE(getspec->selectedItems().isEmpty());
    EXPECT_TRUE(find("asym_panel")->isVisible());
    EXPECT_EQ(find<QGroupBox>("asym_panel")->title(), "Enter the asymetric unit contents");
    QTableWidget* positions = grid("StringGrid1");
    EXPECT_EQ(cell(positions, 1, 2), "Y+1/2");
    // Only position 1 is selected.
    EXPECT_EQ(cell(positions, 0, 4), "*");
    EXPECT_EQ(positions->item(0, 4)->background().color(), QColor(255, 208, 243));
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(cell(positions, r, 4), "");

    // Two atoms: leaving "Elem." fills the cells after it with 0.
    QTableWidget* atoms = grid("StringGrid2");
    type_cell(atoms, 0, 1, "c");
    EXPECT_EQ(cell(atoms, 0, 1), "C");
    EXPECT_EQ(cell(atoms, 0, 0), "1");
    EXPECT_EQ(cell(atoms, 0, 3), "0");
    EXPECT_EQ(cell(atoms, 0, 2), "");
    type_cell(atoms, 0, 2, "1");
    type_cell(atoms, 0, 3, "0.1");
    type_cell(atoms, 0, 4, "0.2");
    type_cell(atoms, 0, 5, "0.3");
    type_cell(atoms, 1, 1, "O");
    type_cell(atoms, 1, 2, "1");
    type_cell(atoms, 1, 3, "0.3");
    type_cell(atoms, 1, 12, "0.03", Qt::Key_Return);
    click("litdonneesclavier");
    ASSERT_TRUE(msg.warnings.empty()) << msg.warnings[0];
    ASSERT_EQ(doc.asym.size(), 2u);
    EXPECT_EQ(doc.asym[1].name, "O1");
    EXPECT_DOUBLE_EQ(doc.asym[1].adp[0], 0.03);
    EXPECT_TRUE(find("positions_panel")->isVisible());
    EXPECT_TRUE(find("Plot")->isVisible());
    EXPECT_EQ(find<QGroupBox>("asym_panel")->title(), "Asymetric unit contents");

    // The screw axis too, then Plot.
    click_cell(positions, 1, 4);
    EXPECT_EQ(cell(positions, 1, 4), "*");
    click("Plot");
    ASSERT_TRUE(window->drawing_window()->isVisible());
    EXPECT_EQ(doc.gen.size(), 4u);
    EXPECT_TRUE(fs::exists(work / "dummy.vld"));
    EXPECT_FALSE(doc.regeneration_needed);
}

TEST_F(Window, AMonoclinicCellWithGammaNot90HasNoGroup) {
    type_field("Edit1", "5");
    type_field("edit2", "6");
    type_field("edit3", "7");
    type_field("edit4", "90");
    type_field("edit5", "90");
    type_field("edit6", "100");
    click_entry(find<QListWidget>("ListBox1"), "Monoc.");
    auto* standard = find<QListWidget>("ListBox2");
    click_entry(standard, "P21/c");
    EXPECT_EQ(msg.warnings,
              std::vector<std::string>{"No Space group available for C monoclinic cell"});
    EXPECT_TRUE(standard->selectedItems().isEmpty());
    EXPECT_EQ(window->space_group_text(), "No space group defined");
    type_field("edit5", "100");
    type_field("edit6", "90");
    click_entry(standard, "P21/c");
    EXPECT_EQ(window->space_group_text(), "Space Group: P21/c");
    EXPECT_EQ(msg.warnings.size(), 1u);
}

TEST_F(Window, ACellFieldThatDoesNotReadKeepsTheFocusAndTheText) {
    type_field("Edit1", "5..2");
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"Type error!"});
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("Edit1"));
    EXPECT_EQ(find<QLineEdit>("Edit1")->text(), "5..2");
}

TEST_F(Window, TypedDataWithoutPositionsOrAtoms) {
    window->action("data_keyboard")->trigger();
    type_field("Edit1", "5");
    type_field("edit2", "6");
    type_field("edit3", "7");
    for (const char* f : {"edit4", "edit5", "edit6"})
        type_field(f, "90");
    // "OK" is on the panel of the atoms, shown once a group is chosen; the
    // command itself says what is missing.
    window->litdonneesclavier();
    EXPECT_EQ(msg.warnings.back(), "No equivalent positions");
    click_entry(find<QListWidget>("ListBox1"), "Ortho.");
    click_entry(find<QListWidget>("ListBox2"), "Pnma");
    click("litdonneesclavier");
    EXPECT_EQ(msg.warnings.back(), "No coordinates!");
    EXPECT_TRUE(find("litdonneesclavier")->isVisible());
}

TEST_F(Window, PlotWithoutASpaceGroupEvenWithTypedPositions) {
    type_field("Edit1", "5");
    type_field("edit2", "5");
    type_field("edit3", "5");
    for (const char* f : {"edit4", "edit5", "edit6"})
        type_field(f, "90");
    QTableWidget* positions = grid("StringGrid1");
    type_cell(positions, 0, 1, "x");
    type_cell(positions, 0, 2, "y");
    type_cell(positions, 0, 3, "z");
    EXPECT_EQ(cell(positions, 0, 0), "1");
    click_cell(positions, 0, 4);
    type_cell(grid("StringGrid2"), 0, 1, "Na");
    click("Plot");
    EXPECT_EQ(msg.warnings, std::vector<std::string>{"No space_group"});
    EXPECT_FALSE(window->drawing_window()->isVisible());
}

TEST_F(Window, TwoDecimalPointsMarkTheCellRedAndNameIt) {
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    QTableWidget* atoms = grid("StringGrid2");
    type_cell(atoms, 1, 3, "0.1.2");
    click("Plot");
    EXPECT_EQ(msg.warnings.back(), "Coordinates read error");
    EXPECT_GE(msg.beeps, 1);
    auto* error = find<QLabel>("grid_error");
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), QString::fromUtf8("Erreur \xC3\xA0 la ligne 2 ,colonne 4"));
    EXPECT_EQ(atoms->item(1, 3)->foreground().color(), QColor(Qt::red));
    EXPECT_EQ(cell(atoms, 1, 3), "0.1.2");  // what was typed stays
    EXPECT_FALSE(window->drawing_window()->isVisible());
    // Mended, the cell forgets its colour and Plot goes on.
    type_cell(atoms, 1, 3, "0.13095");
    EXPECT_FALSE(error->isVisible());
    click("Plot");
    EXPECT_TRUE(window->drawing_window()->isVisible());
}

TEST_F(Window, LeavingARowWhoseElementWasClearedDeletesIt) {
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    const std::size_t count = doc.asym.size();
    const std::string third = doc.asym[2].name;
    QTableWidget* atoms = grid("StringGrid2");
    type_cell(atoms, 1, 1, "");
    EXPECT_EQ(cell(atoms, 1, 0), "2");  // still in the row: kept
    atoms->setCurrentCell(5, 1);
    ASSERT_EQ(doc.asym.size(), count - 1);
    EXPECT_EQ(doc.asym[1].name, third);
    EXPECT_EQ(cell(atoms, 1, 0), "2");
    EXPECT_EQ(cell(atoms, 1, 1).toStdString() + cell(atoms, 1, 2).toStdString(), third);
    EXPECT_EQ(cell(atoms, static_cast<int>(count) - 2, 0), QString::number(count - 1));
    EXPECT_TRUE(doc.regeneration_needed);
}

TEST_F(Window, ASecondPlotWithoutAnEditOnlyRedisplays) {
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    click("Plot");
    ASSERT_TRUE(fs::exists(work / "dummy.vld"));
    fs::remove(work / "dummy.vld");
    window->drawing_window()->showMinimized();
    click("Plot");  // a minimised drawing is only brought back
    EXPECT_FALSE(window->drawing_window()->isMinimized());
    click("Plot");
    EXPECT_FALSE(fs::exists(work / "dummy.vld"));
    // An edit of a coordinate regenerates.
    type_cell(grid("StringGrid2"), 0, 3, "0.2");
    click("Plot");
    EXPECT_TRUE(fs::exists(work / "dummy.vld"));
}

TEST_F(Window, SelectAllUnselectAllAndCellContents) {
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    QTableWidget* positions = grid("StringGrid1");
    click("Select All");
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(cell(positions, r, 4), "*");
    EXPECT_EQ(cell(positions, 4, 4), "");
    EXPECT_EQ(doc.generation_ops.size(), 4u);
    click("Unselect All");
    EXPECT_EQ(cell(positions, 0, 4), "");
    EXPECT_TRUE(doc.generation_ops.empty());
    // "Cell contents" marks every position again.
    auto* options = find<QListWidget>("generation_options");
    options->setFocus();
    options->setCurrentRow(4);
    QTest::keyClick(options, Qt::Key_Space);
    EXPECT_EQ(options->item(4)->checkState(), Qt::Checked);
    EXPECT_EQ(options->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(doc.generation_mode, GenerationMode::CellContents);
    EXPECT_EQ(cell(positions, 3, 4), "*");
    // Unchecking it goes back to "No option".
    QTest::keyClick(options, Qt::Key_Space);
    EXPECT_EQ(options->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(doc.generation_mode, GenerationMode::None);
}

TEST_F(Window, ThermalExpressionAndIsotropicAverage) {
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    QTableWidget* atoms = grid("StringGrid2");
    const double u11 = doc.asym[0].adp[0];
    click("Bij");
    EXPECT_EQ(atoms->horizontalHeaderItem(6)->text(), "B11");
    EXPECT_EQ(atoms->horizontalHeaderItem(12)->text(), "Biso");
    EXPECT_NEAR(cell(atoms, 0, 6).toDouble(), u11 * kBOverU, 1e-5);
    click("Uij");
    EXPECT_EQ(atoms->horizontalHeaderItem(6)->text(), "u11");
    EXPECT_NEAR(doc.asym[0].adp[0], u11, 1e-9);

    bool iso = false;
    QObject::connect(window.get(), &Tfmainmenu::isotropic_display, [&iso](bool on) { iso = on; });
    click("Iso");
    EXPECT_TRUE(iso);
    for (const Atom& a : doc.asym)
        EXPECT_EQ(a.iso, 1) << a.name;
    EXPECT_EQ(cell(atoms, 0, 6), "");
    EXPECT_NE(cell(atoms, 0, 12), "");
    // "Aniso" reads the file again.
    click("Aniso");
    EXPECT_FALSE(iso);
    EXPECT_EQ(doc.asym[0].iso, 0);
    EXPECT_NEAR(doc.asym[0].adp[0], u11, 1e-9);
}

}  // namespace
}  // namespace veldor
