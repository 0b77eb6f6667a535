// Loading every kind of structure file into the main window and saving
// from it: what the panels show, the block chooser, the save rules.

#include "tests/main/window_fixture.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "core/elements.h"
#include "drawing/ui/Tfdessin.h"
#include "formats/ui/Tfformula.h"
#include "formats/ui/Tfquel_bloc.h"
#include "symmetry/catalogue.h"
#include "symmetry/ui/Tfget_sp.h"

namespace veldor {
namespace {

using Window = testing::MainWindowTest;
namespace fs = std::filesystem;

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct LoadCase {
    const char* file;
    const char* caption;
    const char* system;  // the selected entry of "System"
    const char* group;   // the space-group label
};

class LoadEachFormat : public testing::MainWindowTest,
                       public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadEachFormat, ShowsCellGroupPositionsAndAtoms) {
    const LoadCase& c = GetParam();
    load((std::string(VELDOR_SOURCE_DIR) + "/" + c.file).c_str());
    ASSERT_FALSE(doc.asym.empty()) << (msg.warnings.empty() ? "" : msg.warnings.back());
    EXPECT_EQ(window->windowTitle().toStdString(), c.caption);
    EXPECT_EQ(window->space_group_text().toStdString(), c.group);
    auto* systems = find<QListWidget>("ListBox1");
    ASSERT_NE(systems->currentItem(), nullptr);
    EXPECT_EQ(systems->currentItem()->text().toStdString(), c.system);
    EXPECT_EQ(find<QLineEdit>("Edit1")->text().toDouble(), doc.cell_parameters[0]);
    // The positions grid: one filled row per equivalent position.
    QTableWidget* positions = grid("StringGrid1");
    const int n = static_cast<int>(doc.positions.size());
    EXPECT_FALSE(cell(positions, n - 1, 1).isEmpty());
    EXPECT_TRUE(cell(positions, n, 1).isEmpty());
    EXPECT_EQ(cell(positions, n - 1, 0), QString::number(n));
    EXPECT_EQ(find<QLabel>("position_count")->text(), QStringLiteral("Nb of positions: %1").arg(n));
    // The asymmetric grid: one row per atom, headed for U.
    QTableWidget* atoms = grid("StringGrid2");
    const int last = static_cast<int>(doc.asym.size()) - 1;
    EXPECT_EQ(cell(atoms, last, 0), QString::number(last + 1));
    EXPECT_EQ(cell(atoms, last, 1).toStdString(), element_display_text(doc.asym.back().element));
    EXPECT_EQ(cell(atoms, last + 1, 1), "");
    EXPECT_EQ(atoms->horizontalHeaderItem(6)->text(), "u11");
    EXPECT_TRUE(find<QRadioButton>("Uij")->isChecked());
    // Plot draws it.
    click("Plot");
    EXPECT_TRUE(window->drawing_window()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadEachFormat,
    ::testing::Values(LoadCase{"examples/thpp.ins", "VELDOR V2. Data for thpp.ins", "Monoc.",
                               "Space Group: P21/n"},
                      LoadCase{"tests/data/shelxfile_p21c_minimal.res",
                               "VELDOR V2. Data for shelxfile_p21c_minimal.res", "Monoc.",
                               "Space Group: P21/c"},
                      LoadCase{"tests/data/pyobjcryst_BaTiO3.cif",
                               "VELDOR V2. Data for pyobjcryst_BaTiO3.cif", "Tetra.",
                               "Space Group: P4mm"},
                      LoadCase{"tests/data/rocksalt.lzy", "VELDOR V2. Data for rocksalt.lzy",
                               "Cubic", "Space Group: Fm-3m"},
                      LoadCase{"tests/data/silicon.cel", "VELDOR V2. Data for silicon.cel", "Cubic",
                               "Space Group: Fd-3m:2"},
                      LoadCase{"tests/data/calcite.cry", "VELDOR V2. Data for calcite.cry", "Hexa.",
                               "Space Group: R-3c"},
                      LoadCase{"tests/data/thpp_plot.vld", "VELDOR V2. Data for [thpp_plot.vld]",
                               "Monoc.", "Space Group: P21/n"}),
    [](const ::testing::TestParamInfo<LoadCase>& info) {
        std::string name = fs::path(info.param.file).filename().string();
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(Window, AVldFileShowsItsDrawingAtOnce) {
    load(VELDOR_SOURCE_DIR "/tests/data/thpp_plot.vld");
    EXPECT_TRUE(window->drawing_window()->isVisible());
    EXPECT_FALSE(doc.display.empty());
}

TEST_F(Window, SeveralCifBlocksAreChosenInTheDialog) {
    Tfquel_bloc* chooser = window->block_dialog();
    int listed = -1;
    QTimer::singleShot(0, [&] {
        listed = chooser->list()->count();
        chooser->list()->setCurrentRow(1);
        QTest::mouseClick(chooser->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    load(VELDOR_SOURCE_DIR "/tests/data/pymatgen_MultiStructure.cif");
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(chooser->windowTitle(), "Select a data block");
    EXPECT_GE(msg.beeps, 2);  // one for each block listed
    EXPECT_FALSE(doc.asym.empty());
    EXPECT_FALSE(chooser->isVisible());

    // Escape cancels: nothing is read, the panels stay as they were.
    const std::size_t count = doc.asym.size();
    QTimer::singleShot(0, [&] { QTest::keyClick(chooser, Qt::Key_Escape); });
    load(VELDOR_SOURCE_DIR "/tests/data/pymatgen_MultiStructure.cif");
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(grid("StringGrid2")->rowCount() >= static_cast<int>(count), true);
}

TEST_F(Window, SaveDataOffersTheTwoFormatsAt250And240) {
    window->sauvegarde_data();
    QMenu* menu = window->save_menu();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), QPoint(kSaveMenuX, kSaveMenuY));
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "&Shekx format (*.shx)");
    EXPECT_EQ(menu->actions()[1]->text(), "&Crystallographic Information File (*.cif)");
    EXPECT_EQ(msg.beeps, 1);
    menu->hide();
}

TEST_F(Window, SavingShelxWithAndWithoutAnExistingFile) {
    const QString base = QString::fromStdString((work / "typed").string());
    window->sauve_fichier_shelx(base);  // no atoms: nothing happens
    EXPECT_FALSE(fs::exists(work / "typed.shx"));
    EXPECT_TRUE(msg.log.empty());
    load(VELDOR_SOURCE_DIR "/examples/thpp.ins");
    // An edit in the grid goes into the file.
    type_cell(grid("StringGrid2"), 0, 3, "0.5");
    window->sauve_fichier_shelx(base);
    ASSERT_TRUE(fs::exists(work / "typed.shx"));
    const std::string first = contents(work / "typed.shx");
    EXPECT_NE(first.find("F1     1   0.50000"), std::string::npos);
    EXPECT_EQ(doc.written_file, (work / "typed.shx").string());

    std::ofstream(work / "typed.shx") << "older";
    msg.answers = {Answer::No};
    window->sauve_fichier_shelx(base);
    EXPECT_EQ(msg.log.back(), "confirm: This file already exists. Do you want to continue?");
    EXPECT_EQ(contents(work / "typed.shx"), "older");
    msg.answers = {Answer::Yes};
    window->sauve_fichier_shelx(base + ".shx");
    EXPECT_EQ(contents(work / "typed.shx"), first);

    // A grid that does not read writes nothing.
    type_cell(grid("StringGrid2"), 0, 4, "abc");
    fs::remove(work / "typed.shx");
    window->sauve_fichier_shelx(base);
    EXPECT_EQ(msg.warnings.back(), "Coordinates read error");
    EXPECT_FALSE(fs::exists(work / "typed.shx"));
}

TEST_F(Window, SavingACifAsksForTheSymbolThenTheFormula) {
    // Typed atoms with no space group: the notice instead.
    type_field("Edit1", "5");
    for (const char* f : {"edit2", "edit3"})
        type_field(f, "5");
    for (const char* f : {"edit4", "edit5", "edit6"})
        type_field(f, "90");
    Atom a;
    a.name = "Na1";
    a.element = "NA";
    doc.asym = {a};
    window->sauve_fichier_cif(QString::fromStdString((work / "x").string()));
    Tfget_sp* notice = window->space_group_notice();
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowTitle(), "Space group symbol");
    EXPECT_EQ(notice->text(),
              "Veldor needs the Space Group symbol \nto create a CIF. Please select a Space \n"
              "Group symbol  (Hermann_Mauguin or\n    Hall) and save the Data as CIF.");
    EXPECT_EQ(msg.beeps, 1);
    click(notice->findChild<QPushButton*>("OK"));
    EXPECT_FALSE(notice->isVisible());
    EXPECT_FALSE(fs::exists(work / "x.cif"));

    load(VELDOR_SOURCE_DIR "/tests/data/pyobjcryst_paracetamol_MeOH.cif");
    const std::string original = doc.formula;
    ASSERT_FALSE(original.empty());
    click("Plot");
    window->sauve_fichier_cif(QString::fromStdString((work / "x").string()));
    Tfformula* dialog = window->formula_dialog();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Create a CIF");
    auto* formula = dialog->findChild<QLineEdit*>("Chemical formula");
    auto* z = dialog->findChild<QLineEdit*>("Z number");
    EXPECT_EQ(formula->text().toStdString(), doc.formula);
    EXPECT_EQ(z->text(), QString::number(doc.positions.size()));
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("bonds_yes")->isChecked());
    type_field(z, "four");
    click(dialog->findChild<QPushButton*>("OK"));
    EXPECT_EQ(msg.warnings.back(), "'four' is not a valid integer value");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(fs::exists(work / "x.cif"));
    type_field(z, "4");
    type_field(formula, "");
    click(dialog->findChild<QPushButton*>("OK"));
    EXPECT_FALSE(dialog->isVisible());
    const std::string cif = contents(work / "x.cif");
    EXPECT_NE(cif.find("_cell_formula_units_Z           4\n"), std::string::npos);
    EXPECT_NE(cif.find("_geom_bond_distance"), std::string::npos);
    EXPECT_EQ(doc.written_file, (work / "x.cif").string());
    // Veldor worked the formula out, and keeps it for the next time.
    EXPECT_NE(doc.formula, original);
    EXPECT_NE(cif.find("_chemical_formula_sum   " + doc.formula), std::string::npos) << cif;
}

}  // namespace
}  // namespace veldor
